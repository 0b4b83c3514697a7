#include "regions/ShapeGeometry.h"

#include <algorithm>

namespace
{
int SignOf(Int128 v)
{
    return (v > 0) - (v < 0);
}

Int128 SquaredDistance(Point a, std::int64_t x, std::int64_t y)
{
    const Int128 dx = x - a.x;
    const Int128 dy = y - a.y;
    return dx * dx + dy * dy;
}

// c lies on the closed segment a-b, given that it lies on the line through them.
bool WithinSpan(Point a, Point b, Point c)
{
    return std::min(a.x, b.x) <= c.x && c.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= c.y &&
           c.y <= std::max(a.y, b.y);
}
} // namespace

bool PolygonHolds(std::span<const Point> points, std::int64_t x, std::int64_t y)
{
    bool inside = false;
    const std::size_t n = points.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
    {
        const std::int64_t x1 = points[j].x;
        const std::int64_t y1 = points[j].y;
        const std::int64_t x2 = points[i].x;
        const std::int64_t y2 = points[i].y;
        if ((y1 > y) == (y2 > y))
            continue;
        const Int128 lhs = Int128{x - x1} * (y2 - y1);
        const Int128 rhs = Int128{y - y1} * (x2 - x1);
        if (y2 > y1 ? lhs < rhs : lhs > rhs)
            inside = !inside;
    }
    return inside;
}

bool SegmentFarEnough(Point a, Point b, std::int64_t margin, std::int64_t x, std::int64_t y)
{
    const Int128 m2 = Int128{margin} * margin;
    const Int128 ex = std::int64_t{b.x} - a.x;
    const Int128 ey = std::int64_t{b.y} - a.y;
    const Int128 length2 = ex * ex + ey * ey;
    const Int128 along = ex * (x - a.x) + ey * (y - a.y); // |b - a| times the foot's distance from a
    if (along <= 0)
        return SquaredDistance(a, x, y) >= m2;
    if (along >= length2)
        return SquaredDistance(b, x, y) >= m2;
    const Int128 cross = CrossFrom(a, b, x, y);
    return cross * cross >= m2 * length2;
}

bool PolygonCoreHolds(std::span<const Point> points, std::int64_t margin, std::int64_t x, std::int64_t y)
{
    const std::size_t n = points.size();
    for (std::size_t i = 0, j = n - 1; i < n; j = i++)
        if (!SegmentFarEnough(points[j], points[i], margin, x, y))
            return false;
    return true;
}

bool SegmentsMeet(Point a, Point b, Point c, Point d)
{
    const int abc = SignOf(CrossFrom(a, b, c.x, c.y));
    const int abd = SignOf(CrossFrom(a, b, d.x, d.y));
    const int cda = SignOf(CrossFrom(c, d, a.x, a.y));
    const int cdb = SignOf(CrossFrom(c, d, b.x, b.y));
    if (abc * abd < 0 && cda * cdb < 0)
        return true; // a proper crossing
    // Otherwise they meet only where an end of one lies on the other.
    return (abc == 0 && WithinSpan(a, b, c)) || (abd == 0 && WithinSpan(a, b, d)) ||
           (cda == 0 && WithinSpan(c, d, a)) || (cdb == 0 && WithinSpan(c, d, b));
}
