#include "regions/VisitRule.h"

#include <algorithm>

RegionZoneBounds MakeZoneBounds(const Rect& rect, std::int32_t margin)
{
    const Rect r = NormalizedRect(rect);
    const std::int64_t m = margin;
    return RegionZoneBounds{r.left,     r.top,     r.right,     r.bottom,
                            r.left + m, r.top + m, r.right - m, r.bottom - m};
}

std::int32_t ClassifyPosition(std::int64_t x, std::int64_t y, const Rect& rect, std::int32_t margin)
{
    return ClassifyPosition(x, y, MakeZoneBounds(rect, margin));
}

RegionZones MakeRegionZones(const RegionShape& shape, std::int32_t margin)
{
    RegionZones zones;
    zones.kind = shape.kind;
    zones.margin = std::max(margin, 0); // a negative margin leaves every inside position in the core
    switch (shape.kind)
    {
    case ShapeKind::Rectangle:
        zones.box = MakeZoneBounds(shape.rect, margin);
        break;
    case ShapeKind::Circle:
    {
        // Inside means strictly nearer than r, so the box holds cx - r + 1 .. cx + r - 1.
        const CircleShape& c = shape.circle;
        zones.cx = c.cx;
        zones.cy = c.cy;
        zones.radius = c.r;
        zones.coreRadius = std::int64_t{c.r} - margin;
        zones.box.left = zones.cx - c.r + 1;
        zones.box.top = zones.cy - c.r + 1;
        zones.box.right = zones.cx + c.r;
        zones.box.bottom = zones.cy + c.r;
        break;
    }
    case ShapeKind::Polygon:
    {
        // The crossing rule puts nothing at the largest x or y of the points, as for a rectangle.
        const Rect box = ShapeBox(shape);
        zones.box.left = box.left;
        zones.box.top = box.top;
        zones.box.right = box.right;
        zones.box.bottom = box.bottom;
        zones.points = shape.points;
        break;
    }
    }
    return zones;
}

std::int32_t ClassifyWithinBox(std::int64_t x, std::int64_t y, const RegionZones& zones)
{
    if (zones.kind == ShapeKind::Circle)
    {
        if (!CircleHolds(zones.cx, zones.cy, zones.radius, x, y))
            return kZoneOutside;
        return CircleHolds(zones.cx, zones.cy, zones.coreRadius, x, y) ? kZoneCore : kZoneBorder;
    }
    if (zones.kind == ShapeKind::Polygon)
    {
        if (zones.points.size() < kMinPolygonPoints || !PolygonHolds(zones.points, x, y))
            return kZoneOutside;
        return PolygonCoreHolds(zones.points, zones.margin, x, y) ? kZoneCore : kZoneBorder;
    }
    return ClassifyPosition(x, y, zones.box);
}
