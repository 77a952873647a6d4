#include "platform/qt/frame_hints.h"

namespace platform::qt {

// Qt's window flags say all there is to say to this window system.
void AskForMoveAndCloseOnly(QWidget &) {}

} // namespace platform::qt
