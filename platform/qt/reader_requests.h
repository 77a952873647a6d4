#pragma once

namespace platform::qt {

// Every request a client of the accessibility bus sends is checked before Qt's
// bridge sees it, on the platforms whose bridge needs it; elsewhere this does
// nothing. The AT-SPI bridge of Qt 6.4 and 6.8 trusts what it is sent: it reads
// arguments past the end of a call that has too few (Properties.GetAll ends
// the program), walks a text range character by character as the client gives
// it (a range that ends at the largest int never ended), and builds the padded
// text of an insertion before it finds that nothing can be edited.
void CheckReaderRequests();

} // namespace platform::qt
