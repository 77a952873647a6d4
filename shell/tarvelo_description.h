#pragma once

#include "platform/window_description.h"

namespace shell {

// The window Tarvelo as the platform builds it: frame, controls, texts, tab order.
platform::WindowDescription TarveloDescription();

} // namespace shell
