#include "platform/qt/reader_events.h"

namespace platform::qt {

// Qt's own accessibility events tell this platform's screen readers all they need.
void SendDescriptionChanged(QWidget *) {}
void SendStateChanged(QWidget *, const char *, bool) {}

} // namespace platform::qt
