#pragma once

#include "platform/runtime_error.h"

#include <functional>

namespace platform::qt {

// How a run-time error reaches the user: by default on stderr and in a modal
// message box. Tests replace it; the previous reporter is returned.
using ErrorReporter = std::function<void(const RuntimeError &)>;
ErrorReporter SetErrorReporter(ErrorReporter reporter);

// Runs one event handler. Nothing may be thrown into Qt's event loop, so every
// exception ends here: it is reported and false is returned.
bool RunHandler(const std::function<void()> &handler) noexcept;

} // namespace platform::qt
