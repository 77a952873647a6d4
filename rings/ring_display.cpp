#include "rings/ring_display.h"

#include "platform/form.h"
#include "platform/surface.h"
#include "rings/geometry.h"

namespace rings {

void RingDisplay::DrawIdleRings()
{
    stepIndex_ = 0;
    const Geometry geometry = ComputeGeometry(Picture());
    Picture().SetDrawWidth(1);
    Picture().SetDrawStyle(platform::DrawStyle::DashDot);
    for (const double factor : RingFactor)
        Picture().Circle({geometry.CenterX, geometry.CenterY, IdleCircleRadius(geometry, factor),
                          std::nullopt, std::nullopt});
    Picture().SetDrawStyle(platform::DrawStyle::Solid);
    Picture().SetDrawWidth(5);
}

platform::Surface &RingDisplay::Picture()
{
    // Looked up afresh at every use, never kept.
    return form_.Item<platform::Surface>("Picture1", 0);
}

} // namespace rings
