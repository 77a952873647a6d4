#pragma once

#include "platform/colour.h"

#include <QColor>

namespace platform::qt {

inline QColor ToQColor(Colour colour)
{
    return QColor(redOf(colour), greenOf(colour), blueOf(colour));
}

} // namespace platform::qt
