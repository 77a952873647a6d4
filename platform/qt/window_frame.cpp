#include "platform/qt/window_frame.h"

#include "platform/qt/form_font.h"
#include "platform/qt/qt_colour.h"
#include "platform/qt/qt_string.h"
#include "platform/runtime_error.h"
#include "platform/twips.h"

#include <QFileInfo>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QWidget>

namespace platform::qt {

void ApplyFrame(QWidget &window, const WindowDescription &description)
{
    window.setObjectName(ToQString(description.objectName));
    window.setWindowTitle(ToQString(description.caption));
    // The caption starts with a web address; a screen reader would spell it out.
    if (!description.accessibleName.empty())
        window.setAccessibleName(ToQString(description.accessibleName));
    if (!description.accessibleDescription.empty())
        window.setAccessibleDescription(ToQString(description.accessibleDescription));
    window.setFont(ToQFont(description.font));
    SetBackground(&window, description.background);
    window.setAutoFillBackground(true);

    const QSize client(TwipsToWholePixels(description.clientWidth),
                       TwipsToWholePixels(description.clientHeight));
    window.resize(client);
    if (description.fixedBorder) {
        // Equal minimum and maximum size tell the window manager not to resize.
        window.setFixedSize(client);
        window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    }

    if (!description.icon.empty()) {
        // Read by the format its name gives, without probing image plugins:
        // loading one would cost more start-up time than the whole window.
        QImageReader reader(ToQString(description.icon),
                            QFileInfo(ToQString(description.icon)).suffix().toLatin1());
        reader.setAutoDetectImageFormat(false);
        const QPixmap icon = QPixmap::fromImageReader(&reader);
        if (icon.isNull())
            throw RuntimeError::InvalidArgument("the window icon " + description.icon +
                                                " cannot be read");
        window.setWindowIcon(QIcon(icon));
    }
}

} // namespace platform::qt
