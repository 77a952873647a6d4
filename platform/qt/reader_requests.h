#pragma once

namespace platform::qt {

// What screen readers ask is checked before Qt's bridge answers, on the
// platforms whose bridge needs it; elsewhere this does nothing. The AT-SPI
// bridge of Qt 6.4 and 6.8 walks a text range character by character as the
// client gives it: a range of ten million characters froze the window for
// seconds, and one that ends at the largest int never ended. Every range is
// clamped to the text first.
void CheckReaderRequests();

} // namespace platform::qt
