#pragma once

namespace platform::qt {

// From here on, Qt's own messages reach the terminal escaped as the program's
// own are, line by line: a hostile DISPLAY or file name that Qt echoes can no
// longer send control sequences to the terminal.
void EscapeQtMessages();

} // namespace platform::qt
