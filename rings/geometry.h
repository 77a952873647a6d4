#pragma once

#include <array>
#include <cstdint>

namespace platform {
class Surface;
}

namespace rings {

// Inner, middle and outer ring.
inline constexpr std::array<double, 3> RingFactor{0.5, 0.7, 0.9};

// Twips taken off every radius.
inline constexpr double RingOffset = 100;

// Where the rings stand, derived afresh from the drawing area's size at every use.
struct Geometry
{
    float CenterX;           // twips, from the inner top-left corner
    float CenterY;           // twips
    std::int16_t BaseRadius; // the smaller half-size, rounded half to even
};

// From the area's outer width and height in twips. Raises platform::RuntimeError
// when a half-size does not fit a 16-bit integer or is not a number.
Geometry ComputeGeometry(float width, float height);

// Reads the surface's size, width first.
Geometry ComputeGeometry(const platform::Surface &surface);

// The dash-dot circle of a ring: BaseRadius × factor − RingOffset, in double
// precision, handed on as single.
float IdleCircleRadius(const Geometry &geometry, double factor);

// An animation arc of a ring: CenterY × factor − RingOffset, in double precision,
// handed on as single. Measured from CenterY alone, so for an area taller than
// wide the arcs lie outside their circles.
float ArcRadius(const Geometry &geometry, double factor);

} // namespace rings
