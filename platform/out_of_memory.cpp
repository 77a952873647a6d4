#include "platform/out_of_memory.h"

#include "platform/runtime_error.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

namespace platform {

namespace {

std::string report; // made while memory lasts
std::terminate_handler previousTerminate = nullptr;

// An allocation that fails where no handler of ours can catch it, inside Qt's
// own code, ends in std::terminate: said here as what it is.
[[noreturn]] void Terminate()
{
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const std::bad_alloc &) {
            ReportOutOfMemory();
        } catch (...) {
        }
    }
    if (previousTerminate)
        previousTerminate();
    std::abort();
}

} // namespace

void PrepareOutOfMemoryReport(const std::string &command)
{
    report = command + ": out of memory\n";
    if (!previousTerminate)
        previousTerminate = std::set_terminate(Terminate);
}

void ReportOutOfMemory() noexcept
{
    std::fwrite(report.data(), 1, report.size(), stderr);
    std::fflush(stderr);
    std::_Exit(RuntimeErrorExitStatus);
}

} // namespace platform
