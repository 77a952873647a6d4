#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// The process exit status after a run-time error has been reported.
inline constexpr int RuntimeErrorExitStatus = 1;

// The program's own run-time error: what went wrong, in plain words, and a number
// that tells the kinds apart in code (never shown to the user). Raised by failing
// platform calls and by checked arithmetic; caught only at the event boundary,
// where it is reported and ends the program.
class RuntimeError : public std::runtime_error
{
public:
    enum Code : int
    {
        InvalidArgumentCode = 5,
        OverflowCode = 6,
        WrongControlKindCode = 13,
        InternalCode = 51,
        NoSuchControlCode = 340,
    };

    RuntimeError(int number, const std::string &message);

    int Number() const noexcept { return number_; }

    static RuntimeError Overflow(const std::string &detail);
    static RuntimeError InvalidArgument(const std::string &detail);

private:
    int number_;
};

} // namespace platform
