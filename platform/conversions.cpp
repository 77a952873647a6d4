#include "platform/conversions.h"

#include "platform/runtime_error.h"

#include <cmath>
#include <limits>
#include <string>

namespace platform {

namespace {

void requireNumber(double value, const char *what)
{
    if (std::isnan(value))
        throw RuntimeError::InvalidArgument(std::string(what) + " of a value that is not a number");
}

} // namespace

std::int16_t RoundToInt16(double value)
{
    requireNumber(value, "integer conversion");
    // Spelled out rather than left to the floating-point rounding mode.
    double rounded = std::floor(value);
    const double fraction = value - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0))
        rounded += 1.0;
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max()))
        throw RuntimeError::Overflow(std::to_string(value) + " does not fit a 16-bit integer");
    return static_cast<std::int16_t>(rounded);
}

float ToSingle(double value)
{
    requireNumber(value, "single-precision conversion");
    if (std::isinf(value))
        throw RuntimeError::Overflow("infinite value");
    // Anything beyond the largest float counts as overflow; C++ leaves that cast undefined.
    if (std::fabs(value) > std::numeric_limits<float>::max())
        throw RuntimeError::Overflow(std::to_string(value) + " does not fit single precision");
    return static_cast<float>(value);
}

} // namespace platform
