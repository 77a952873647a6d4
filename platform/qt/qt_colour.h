#pragma once

#include "platform/colour.h"

#include <QColor>

namespace platform::qt {

inline QColor ToQColor(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

// Black or white, whichever reads better on `background`: where the program
// fixes a background, it fixes its text colour too, whatever the desktop's theme.
inline QColor ReadableOn(QColor background)
{
    return qGray(background.rgb()) >= 128 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace platform::qt
