#pragma once

#include "platform/colour.h"

#include <array>

namespace rings {

// The angles come from 3.141592, not a fuller π: divided in double precision,
// then rounded to single.
inline constexpr float Pi = static_cast<float>(3.141592);
inline constexpr float HalfPi = static_cast<float>(3.141592 / 2);
inline constexpr float ThreeHalfPi = static_cast<float>(9.424776 / 2);

// One thick arc of the animation, laid over a ring's dash-dot circle.
struct Arc
{
    double factor; // the ring's RingFactor
    platform::Colour colour;
    float start; // radians, counter-clockwise from three o'clock
    float end;
};

inline constexpr platform::Colour Red = platform::RGB(200, 0, 0);
inline constexpr platform::Colour Green = platform::RGB(0, 200, 0);
inline constexpr platform::Colour Blue = platform::RGB(0, 0, 200);

// Steps 1 to 6 in order: each ring gets two complementary arcs, and after
// step 6 all three are closed.
inline constexpr std::array<Arc, 6> ArcTable{{
    {0.5, Red, Pi, ThreeHalfPi},       // inner, lower-left quarter
    {0.7, Green, HalfPi, ThreeHalfPi}, // middle, left half
    {0.9, Blue, 0, ThreeHalfPi},       // outer, three quarters
    {0.9, Blue, ThreeHalfPi, 0},       // outer, lower-right quarter: closed
    {0.7, Green, ThreeHalfPi, HalfPi}, // middle, right half: closed
    {0.5, Red, ThreeHalfPi, Pi},       // inner, three quarters: closed
}};

} // namespace rings
