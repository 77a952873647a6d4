#include "platform/runtime_error.h"

namespace platform {

RuntimeError::RuntimeError(int number, const std::string &message)
    : std::runtime_error(message), number_(number)
{}

RuntimeError RuntimeError::Overflow(const std::string &detail)
{
    return RuntimeError(OverflowCode, "a number is too large (" + detail + ")");
}

RuntimeError RuntimeError::InvalidArgument(const std::string &detail)
{
    return RuntimeError(InvalidArgumentCode, "a value is out of range (" + detail + ")");
}

} // namespace platform
