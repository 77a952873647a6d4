#pragma once

#include <QString>

namespace platform::qt {

// While the window system starts up. Qt answers a display it cannot open with a
// fatal message, advice to reinstall and an abort; under this guard the
// platform's messages are held back and a fatal one ends the program with one
// line naming the cause, and status 1. Released, it passes on what it held.
class StartupGuard
{
public:
    explicit StartupGuard(const QString &command);
    ~StartupGuard();

    StartupGuard(const StartupGuard &) = delete;
    StartupGuard &operator=(const StartupGuard &) = delete;
};

} // namespace platform::qt
