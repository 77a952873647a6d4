#pragma once

#include "platform/window_description.h"

class QWidget;

namespace platform::qt {

// The window itself: names, caption, font, background, fixed client size and icon.
void ApplyFrame(QWidget &window, const WindowDescription &description);

} // namespace platform::qt
