#pragma once

#include <cstdint>

namespace platform {

// A 24-bit colour in a 32-bit word laid out 0x00BBGGRR.
using Colour = std::uint32_t;

constexpr Colour RGB(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
{
    return Colour(red) | Colour(green) << 8 | Colour(blue) << 16;
}

constexpr std::uint8_t redOf(Colour c)
{
    return c & 0xFF;
}
constexpr std::uint8_t greenOf(Colour c)
{
    return c >> 8 & 0xFF;
}
constexpr std::uint8_t blueOf(Colour c)
{
    return c >> 16 & 0xFF;
}

} // namespace platform
