#include "platform/runtime_error.h"

namespace platform {

RuntimeError::RuntimeError(int number, const std::string &message)
    : std::runtime_error(message), number_(number)
{}

std::string RuntimeError::Report() const
{
    return "Run-time error " + std::to_string(number_) + ": " + what();
}

RuntimeError RuntimeError::Overflow(const std::string &detail)
{
    return RuntimeError(OverflowCode, "Overflow (" + detail + ")");
}

RuntimeError RuntimeError::InvalidArgument(const std::string &detail)
{
    return RuntimeError(InvalidArgumentCode, "Invalid procedure call or argument (" + detail + ")");
}

} // namespace platform
