#pragma once

#include <cstdint>

namespace platform {

// Checked numeric conversions. A value that does not fit raises RuntimeError
// instead of the undefined behaviour of a plain C++ cast.

// Rounds to the nearest integer, a half going to the even neighbour.
// Raises Overflow outside -32768..32767 and for infinities, InvalidArgument for NaN.
std::int16_t RoundToInt16(double value);

// Rounds a double to single precision (to nearest). Raises Overflow when the
// result would be infinite and InvalidArgument for NaN.
float ToSingle(double value);

} // namespace platform
