#pragma once

#include <QString>

namespace platform {
struct CommandLine;
}

namespace platform::qt {

// While the window system starts up and the window is first created. Qt
// answers a display it cannot open with a fatal message, advice to reinstall
// and an abort; under this guard every message is passed on as it comes, and
// a fatal one (or one that QT_FATAL_WARNINGS makes fatal) ends the program
// with one more line naming the cause, and status 1.
class StartupGuard
{
public:
    // `line` tells which display and platform were asked for.
    StartupGuard(const QString &command, const CommandLine &line);
    ~StartupGuard();

    StartupGuard(const StartupGuard &) = delete;
    StartupGuard &operator=(const StartupGuard &) = delete;
};

} // namespace platform::qt
