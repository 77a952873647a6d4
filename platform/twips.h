#pragma once

namespace platform {

// Positions and sizes are in twips, 1/1440 inch: 15 to a logical pixel at 96 dpi.
inline constexpr int TwipsPerPixel = 15;

constexpr double TwipsToPixels(double twips)
{
    return twips / TwipsPerPixel;
}

constexpr int TwipsToWholePixels(int twips)
{
    return (twips + (twips >= 0 ? TwipsPerPixel / 2 : -TwipsPerPixel / 2)) / TwipsPerPixel;
}

} // namespace platform
