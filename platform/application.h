#pragma once

#include "platform/form.h"
#include "platform/window_description.h"

#include <functional>
#include <memory>

namespace platform {

using ModuleFactory = std::function<std::unique_ptr<FormModule>(Form &)>;

// Builds the window, binds its module, raises the load event, shows the window
// and runs until it is closed. Returns the process exit status.
int RunApplication(int &argc, char **argv, const WindowDescription &description,
                   const ModuleFactory &makeModule);

} // namespace platform
