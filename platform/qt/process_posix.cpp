#include "platform/qt/process.h"

#include <QGuiApplication>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace platform::qt {

namespace {

// Descriptors that starting takes beyond the three standard ones: on X11, the
// display's socket and five event-loop wake-ups stay open, and fontconfig and
// the plugins open files on the way; two more for room. Short of them, Qt and
// GLib fail naming other causes, and GLib ends the process with a trap.
constexpr int DescriptorsToStart = 8;

} // namespace

std::string PrepareProcess()
{
    // A closed stderr (`tarvelo 2>&1 | true`) must not end the program.
    std::signal(SIGPIPE, SIG_IGN);

    std::vector<int> opened;
    int error = 0;
    while (int(opened.size()) < DescriptorsToStart) {
        const int descriptor = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) {
            error = errno;
            break;
        }
        opened.push_back(descriptor);
    }
    for (const int descriptor : opened)
        close(descriptor);
    if (error == EMFILE || error == ENFILE)
        return std::strerror(error) + std::string(": starting needs ") +
               std::to_string(DescriptorsToStart) + " free file descriptors (see ulimit -n)";
    return {};
}

std::string CommandName(const char *path)
{
    return std::filesystem::path(path).filename().string();
}

int FinishProcess(int status)
{
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // The Wayland plugin of Qt 6.4 and 6.8 can hang for good while it stops
        // its event thread, leaving a closed window's process behind. Nothing of
        // ours needs tearing down, and the compositor frees the window with the
        // connection.
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace platform::qt
