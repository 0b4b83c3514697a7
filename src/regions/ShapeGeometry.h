// The exact tests behind circles and polygons, in integers only: no division, no rounding, so a
// position on an edge or a vertex is judged the same way on every machine and by every output.
//
// Coordinates are within +-2^30 (regions/RegionShape.h) and positions are 32-bit; differences then
// stay below 2^32 and every product is taken in 128 bits.
#pragma once

#include "base/Geometry.h"

#include <cstdint>
#include <span>

__extension__ typedef __int128 Int128; // NOLINT(modernize-use-using): the extension marker needs typedef

// cross(b - a, (x, y) - a): positive when (x, y) lies to the left of a -> b in screen terms (x to
// the right, y downwards, so "left" is counter-clockwise on screen), 0 on the line.
[[nodiscard]] inline Int128 CrossFrom(Point a, Point b, std::int64_t x, std::int64_t y)
{
    return Int128{std::int64_t{b.x} - a.x} * (y - a.y) - Int128{std::int64_t{b.y} - a.y} * (x - a.x);
}

// (x - cx)^2 + (y - cy)^2 < radius^2; nothing lies in a circle of radius 0 or less.
[[nodiscard]] inline bool CircleHolds(std::int64_t cx, std::int64_t cy, std::int64_t radius, std::int64_t x,
                                      std::int64_t y)
{
    if (radius <= 0)
        return false;
    const Int128 dx = x - cx;
    const Int128 dy = y - cy;
    return dx * dx + dy * dy < Int128{radius} * radius;
}

// The even-odd crossing rule: edge (x1, y1)-(x2, y2) counts when (y1 > y) != (y2 > y) and x lies
// left of the edge at height y, decided as (x - x1)(y2 - y1) < (y - y1)(x2 - x1) when y2 > y1 and
// with both sides' order reversed when y2 < y1. The left and top of an axis-parallel square belong
// to it and its right and bottom do not, as for a rectangle.
[[nodiscard]] bool PolygonHolds(std::span<const Point> points, std::int64_t x, std::int64_t y);

// Squared distance of (x, y) to the segment a-b at least margin^2: with the foot of the
// perpendicular on the segment, cross(b - a, p - a)^2 >= margin^2 |b - a|^2; otherwise the squared
// distance to the nearer end >= margin^2. (x, y) must lie within the segment's polygon's box (the
// products then fit).
[[nodiscard]] bool SegmentFarEnough(Point a, Point b, std::int64_t margin, std::int64_t x, std::int64_t y);

// The core test of a polygon for a position inside it: at least margin from every edge.
[[nodiscard]] bool PolygonCoreHolds(std::span<const Point> points, std::int64_t margin, std::int64_t x,
                                    std::int64_t y);

// Whether the closed segments a-b and c-d have a point in common (crossing, touching or overlapping).
[[nodiscard]] bool SegmentsMeet(Point a, Point b, Point c, Point d);
