#pragma once

class QWidget;

namespace platform::qt {

// Tells AT-SPI clients that a widget's accessible description changed, with the
// new text as the event's data. Qt 6.4's own event carries the object there
// instead, and Orca, which speaks that data for the focused object, says
// nothing. Sent on Qt's accessibility connection, so that clients see it come
// from the program itself; does nothing when no screen reader is connected.
void SendDescriptionChanged(QWidget *widget);

} // namespace platform::qt
