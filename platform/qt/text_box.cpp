#include "platform/qt/text_box.h"

namespace platform::qt {

TextBox::TextBox(const std::string &text, QWidget *parent) : QPlainTextEdit(parent), text_(text)
{
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(shown);
    // Tab walks on to the next control rather than into the text.
    setTabChangesFocus(true);
}

} // namespace platform::qt
