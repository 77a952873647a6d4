#include "platform/qt/process.h"

#include <cstdio>
#include <filesystem>

#include <windows.h>

namespace platform::qt {

namespace {

// Whether a standard stream leads anywhere: a GUI program started from a
// console, unredirected, is given none.
bool Connected(DWORD stream)
{
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

} // namespace

std::string PrepareProcess()
{
    // A GUI program has no console of its own. Started from one, it answers
    // --help and says why it cannot start there, as console programs do;
    // redirected streams stay where they lead.
    const bool out = Connected(STD_OUTPUT_HANDLE), err = Connected(STD_ERROR_HANDLE);
    if ((!out || !err) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!out)
            (void)std::freopen("CONOUT$", "w", stdout);
        if (!err)
            (void)std::freopen("CONOUT$", "w", stderr);
    }
    return {};
}

std::string CommandName(const char *path)
{
    // Typed without its extension, as Windows commands are.
    return std::filesystem::path(path).stem().string();
}

int FinishProcess(int status)
{
    return status;
}

} // namespace platform::qt
