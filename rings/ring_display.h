#pragma once

#include "platform/colour.h"

#include <optional>

namespace platform {
class Form;
class Surface;
} // namespace platform

namespace rings {

struct Geometry;

// The three concentric rings in the window's drawing area, Picture1(0), and the
// step counter of their animation.
class RingDisplay
{
public:
    explicit RingDisplay(platform::Form &form) : form_(form) {}

    // The idle picture: three thin dash-dot circles, StepIndex back at 0, and
    // the pen left solid and 5 pixels wide. Does not clear the area.
    void DrawIdleRings();

    // Moves the eight-step cycle on by one and draws that step: an arc of
    // ArcTable (1 to 6), the wiped idle picture in black (7), or nothing (0).
    void AdvanceAnimation();

    // No value until the first DrawIdleRings; from then on 0 to 7.
    std::optional<int> StepIndex() const { return stepIndex_; }

private:
    platform::Surface &Picture();
    void DrawDashDotCircles(const Geometry &geometry, std::optional<platform::Colour> colour);

    platform::Form &form_;
    std::optional<int> stepIndex_;
};

} // namespace rings
