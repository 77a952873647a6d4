#pragma once

#include <string>

namespace platform::qt {

// What the process needs of its operating system beyond Qt, on each platform.

// Before anything else: fits the process for a desktop program's life. Returns
// why it cannot start, in plain words, or nothing.
std::string PrepareProcess();

// The command's name as the user knows it, from the program's path.
std::string CommandName(const char *path);

// After the event loop: ends the process with `status`, or returns it for
// main() to return.
int FinishProcess(int status);

} // namespace platform::qt
