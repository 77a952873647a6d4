#pragma once

#include "platform/colour.h"
#include "platform/control.h"

#include <optional>

namespace platform {

enum class DrawStyle
{
    Solid = 0,
    DashDot = 3
};

// Angles in radians, 0 at three o'clock, counter-clockwise. The arc runs from
// start to end and passes three o'clock when end < start, so an end of 0 closes
// the turn.
struct ArcAngles
{
    float start;
    float end;

    friend bool operator==(const ArcAngles &, const ArcAngles &) = default;
};

// Centre and radius in twips, from the inner top-left corner of the surface.
struct CircleRequest
{
    float x;
    float y;
    float radius;
    std::optional<Colour> colour; // the foreground colour when absent
    std::optional<ArcAngles> arc; // a full circle when absent

    friend bool operator==(const CircleRequest &, const CircleRequest &) = default;
};

// A drawing surface measured in twips (15 to a pixel). Every call either does
// its work or raises RuntimeError.
class Surface : public Control
{
public:
    // Outer size, border included.
    virtual float Width() const = 0;
    virtual float Height() const = 0;

    // On: drawing goes into a persistent image that every repaint shows.
    // Off: drawing reaches the screen only until the next repaint.
    virtual void SetAutoRedraw(bool on) = 0;

    // Erases the persistent image to the background colour.
    virtual void Cls() = 0;

    // Pen width in pixels. Must be at least 1.
    virtual void SetDrawWidth(int pixels) = 0;

    // A non-solid style shows only while the pen is 1 pixel wide.
    virtual void SetDrawStyle(DrawStyle style) = 0;

    virtual void Circle(const CircleRequest &request) = 0;
};

} // namespace platform
