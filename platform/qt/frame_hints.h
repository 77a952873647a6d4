#pragma once

class QWidget;

namespace platform::qt {

// On X11, tells window managers that honour Motif hints (Openbox, KWin, …) that a
// fixed window may be moved and closed, nothing more: Qt's own hints offer a
// resize handle and, with it, minimise and maximise buttons. Elsewhere it does
// nothing. Call before the window is first shown.
void AskForMoveAndCloseOnly(QWidget &window);

} // namespace platform::qt
