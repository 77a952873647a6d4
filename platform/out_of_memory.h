#pragma once

#include <string>

namespace platform {

// From here on, memory that runs out ends the program with one line on stderr,
// "<command>: out of memory", and RuntimeErrorExitStatus, however deep in Qt it
// ran out: the report is written ready beforehand and needs no memory itself.
void PrepareOutOfMemoryReport(const std::string &command);

// Writes that line and ends the program.
[[noreturn]] void ReportOutOfMemory() noexcept;

} // namespace platform
