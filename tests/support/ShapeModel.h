// A plain model of the circle and polygon zones, for checking the exact integer tests against: the
// edge's x at the position's height by division, the distance to an edge through the foot of the
// perpendicular, the distance to a circle's centre by a square root, all in double precision.
//
// It is exact only for small numbers: coordinates, positions and margins within +-400. Then an
// edge's x at an integer height is either an integer (and the division gives it exactly) or at least
// 1/800 away from one, and a squared distance to an edge is either the squared margin or at least
// 1/1280000 away from it (a fraction over the edge's squared length), far beyond the 1e-7 allowed
// for the rounding of a few double operations.
#pragma once

#include "base/Geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

inline constexpr std::int32_t kShapeModelRange = 400;

inline bool ModelPolygonInside(const std::vector<Point>& points, double x, double y)
{
    bool inside = false;
    for (std::size_t i = 0; i < points.size(); ++i)
    {
        const Point a = points[i];
        const Point b = points[(i + 1) % points.size()];
        if ((a.y > y) == (b.y > y))
            continue;
        const double edgeX = a.x + (y - a.y) * (b.x - a.x) / static_cast<double>(b.y - a.y);
        if (x < edgeX)
            inside = !inside;
    }
    return inside;
}

inline double ModelSquaredDistanceToSegment(Point a, Point b, double x, double y)
{
    const double ex = b.x - a.x;
    const double ey = b.y - a.y;
    const double t = std::clamp(((x - a.x) * ex + (y - a.y) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
    const double fx = a.x + t * ex;
    const double fy = a.y + t * ey;
    return (x - fx) * (x - fx) + (y - fy) * (y - fy);
}

// 0 outside, 1 border, 2 core, as the visit rule numbers the zones.
inline int ModelPolygonZone(const std::vector<Point>& points, std::int32_t margin, double x, double y)
{
    if (!ModelPolygonInside(points, x, y))
        return 0;
    constexpr double kTolerance = 1e-7;
    const double m = std::max(margin, 0);
    for (std::size_t i = 0; i < points.size(); ++i)
        if (ModelSquaredDistanceToSegment(points[i], points[(i + 1) % points.size()], x, y) <
            m * m - kTolerance)
            return 1;
    return 2;
}

inline int ModelCircleZone(std::int32_t cx, std::int32_t cy, std::int32_t r, std::int32_t margin, double x,
                           double y)
{
    const double distance = std::hypot(x - cx, y - cy);
    if (!(distance < r))
        return 0;
    return distance < static_cast<double>(r) - margin ? 2 : 1;
}
