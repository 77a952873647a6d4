#pragma once

#include <optional>

namespace platform {
class Form;
class Surface;
} // namespace platform

namespace rings {

// The three concentric rings in the window's drawing area, Picture1(0), and the
// step counter of their animation.
class RingDisplay
{
public:
    explicit RingDisplay(platform::Form &form) : form_(form) {}

    // The idle picture: three thin dash-dot circles, StepIndex back at 0, and
    // the pen left solid and 5 pixels wide. Does not clear the area.
    void DrawIdleRings();

    // No value until the first DrawIdleRings; from then on 0 to 7.
    std::optional<int> StepIndex() const { return stepIndex_; }

private:
    platform::Surface &Picture();

    platform::Form &form_;
    std::optional<int> stepIndex_;
};

} // namespace rings
