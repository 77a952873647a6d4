#include "rings/geometry.h"

#include "platform/conversions.h"
#include "platform/surface.h"

namespace rings {

Geometry ComputeGeometry(float width, float height)
{
    Geometry geometry{};
    geometry.CenterX = width / 2;
    geometry.CenterY = height / 2;
    geometry.BaseRadius = platform::RoundToInt16(geometry.CenterX);
    // The unrounded height against the already rounded width: for a nearly
    // square area this is not the same as comparing the two half-sizes.
    if (geometry.CenterY < geometry.BaseRadius)
        geometry.BaseRadius = platform::RoundToInt16(geometry.CenterY);
    return geometry;
}

Geometry ComputeGeometry(const platform::Surface &surface)
{
    const float width = surface.Width();
    const float height = surface.Height();
    return ComputeGeometry(width, height);
}

float IdleCircleRadius(const Geometry &geometry, double factor)
{
    return platform::ToSingle(geometry.BaseRadius * factor - RingOffset);
}

float ArcRadius(const Geometry &geometry, double factor)
{
    return platform::ToSingle(geometry.CenterY * factor - RingOffset);
}

} // namespace rings
