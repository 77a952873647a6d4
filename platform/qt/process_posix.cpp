#include "platform/qt/process.h"

#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace platform::qt {

namespace {

// Descriptors that starting takes beyond the three standard ones, as measured
// on X11 with a screen reader's bus in the session: the display's socket, two
// buses and the event loops' wake-ups stay open, and fontconfig and the plugins
// open files on the way. Short of them, fontconfig goes without its settings,
// the program without its reader, or GLib ends it with a trap.
constexpr int DescriptorsToStart = 8;

// Address space that starting takes beyond the loaded program, as measured on
// X11 with a screen reader's bus: the plugins, the fonts and the heap, and the
// stacks of the threads Qt starts (its event queue, D-Bus and two pooled),
// which glibc makes as large as the stack limit. Short of it, GLib and Qt go
// on with a thread, a keymap or the display's connection missing, or abort,
// each naming another cause. Only what failed ten starts in ten is refused:
// a little above that, some starts succeed.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
constexpr std::uint64_t MegabytesBesideStacks = 3;
#else
constexpr std::uint64_t MegabytesBesideStacks = 9;
#endif
constexpr std::uint64_t ThreadsAtStart = 4;

// A thread's stack as glibc sizes it: the stack limit, or 2 MiB without one.
std::uint64_t ThreadStackBytes()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_STACK, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::uint64_t(2) << 20;
    // Past a terabyte no thread starts anyway; the product stays in range.
    return std::min<std::uint64_t>(limit.rlim_cur, std::uint64_t(1) << 40);
}

// A standard descriptor the program was started without leads nowhere from now
// on, read-only, so that writes to it still fail as to a closed one. Else the
// next file opened takes its number, and Qt's warnings go there: into the X
// connection, say, which then hangs.
void FillClosedStandardDescriptors()
{
    for (int descriptor = 0; descriptor <= 2; ++descriptor)
        if (fcntl(descriptor, F_GETFD) == -1)  // closed: nothing else fails here
            (void)open("/dev/null", O_RDONLY); // takes the lowest free number: this one
}

// Why the address space left is too small to start, or nothing.
std::string AddressSpaceShortage()
{
    const std::uint64_t needed =
        (MegabytesBesideStacks << 20) + ThreadsAtStart * ThreadStackBytes();
    void *room = needed > SIZE_MAX ? MAP_FAILED
                                   : mmap(nullptr, std::size_t(needed), PROT_NONE,
                                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (room != MAP_FAILED) {
        munmap(room, std::size_t(needed));
        return {};
    }
    if (needed <= SIZE_MAX && errno != ENOMEM) // not a shortage: nothing to say
        return {};
    return std::strerror(ENOMEM) + std::string(": starting needs ") +
           std::to_string((needed + (1 << 20) - 1) >> 20) +
           " MiB more address space (see ulimit -v and ulimit -s)";
}

} // namespace

std::string PrepareProcess()
{
    FillClosedStandardDescriptors();
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
    return AddressSpaceShortage();
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
