#pragma once

#include "platform/window_description.h"

#include <QFont>

namespace platform::qt {

// The window's font, every control's too.
QFont ToQFont(const FontDescription &description);

} // namespace platform::qt
