#include "rings/ring_display.h"

#include "platform/form.h"
#include "platform/surface.h"
#include "rings/arc_table.h"
#include "rings/geometry.h"

namespace rings {

namespace {

constexpr int StepsPerCycle = 8;
constexpr int WipeStep = 7;

} // namespace

void RingDisplay::DrawIdleRings()
{
    stepIndex_ = 0;
    const Geometry geometry = ComputeGeometry(Picture());
    DrawDashDotCircles(geometry, std::nullopt);
    Picture().SetDrawWidth(5);
}

void RingDisplay::AdvanceAnimation()
{
    const Geometry geometry = ComputeGeometry(Picture());
    Picture().SetDrawWidth(5);
    // Counting on from "no value" starts at 1, as it would from 0.
    stepIndex_ = (stepIndex_.value_or(0) + 1) % StepsPerCycle;

    if (*stepIndex_ == WipeStep) {
        Picture().Cls();
        DrawDashDotCircles(geometry, platform::RGB(0, 0, 0));
    } else if (*stepIndex_ != 0) {
        const Arc &arc = ArcTable[std::size_t(*stepIndex_ - 1)];
        Picture().Circle({geometry.CenterX, geometry.CenterY, ArcRadius(geometry, arc.factor),
                          arc.colour, platform::ArcAngles{arc.start, arc.end}});
    }
}

// Thin, dash-dot, one circle a ring; leaves the style solid and the width at 1.
void RingDisplay::DrawDashDotCircles(const Geometry &geometry,
                                     std::optional<platform::Colour> colour)
{
    Picture().SetDrawWidth(1);
    Picture().SetDrawStyle(platform::DrawStyle::DashDot);
    for (const double factor : RingFactor)
        Picture().Circle({geometry.CenterX, geometry.CenterY, IdleCircleRadius(geometry, factor),
                          colour, std::nullopt});
    Picture().SetDrawStyle(platform::DrawStyle::Solid);
}

platform::Surface &RingDisplay::Picture()
{
    // Looked up afresh at every use, never kept.
    return form_.Item<platform::Surface>("Picture1", 0);
}

} // namespace rings
