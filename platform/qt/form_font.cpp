#include "platform/qt/form_font.h"

#include "platform/qt/qt_string.h"

#include <QStringList>

namespace platform::qt {

QFont ToQFont(const FontDescription &description)
{
    // Where a system lacks one of Windows' core faces, one that keeps its metrics
    // and carries Cyrillic, as fontconfig chooses on Linux; without it Qt would
    // fall back to a sans face for the Cyrillic text.
    static const bool substituted = [] {
        QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                                   {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos")});
        return true;
    }();
    (void)substituted;
    QFont font(ToQString(description.family));
    font.setPointSizeF(description.pointSize);
    font.setWeight(static_cast<QFont::Weight>(description.weight));
    font.setItalic(description.italic);
    font.setUnderline(description.underline);
    font.setStrikeOut(description.strikeOut);
    return font;
}

} // namespace platform::qt
