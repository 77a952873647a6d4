#pragma once

class QWidget;

namespace platform::qt {

// What screen readers are told beyond Qt's own events, on the platforms whose
// bridge needs it; elsewhere these do nothing.

// A widget's accessible description changed. On AT-SPI the event carries the
// new text as its data: Qt 6.4's own event carries the object there, and Orca,
// which speaks that data for the focused object, says nothing. Qt 6.8's
// carries the text, and this sends nothing there.
void SendDescriptionChanged(QWidget *widget);

// A state of a widget ("animated", "busy") turned on or off. The AT-SPI bridge
// of Qt 6.4 and 6.8 drops these changes, so listening clients would show stale
// states.
void SendStateChanged(QWidget *widget, const char *state, bool on);

} // namespace platform::qt
