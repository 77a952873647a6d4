#pragma once

#include <QString>

namespace platform::qt {

// What screen readers are told, beyond Qt's defaults: the window as a window,
// its controls in reading order, the drawing area as a graphic that is busy
// while animated, text boxes with true character positions, and the program
// described in words rather than by its file's path.
void InstallAccessibility(const QString &applicationDescription);

} // namespace platform::qt
