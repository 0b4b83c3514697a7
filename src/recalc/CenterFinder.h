// CCenterFinder: the subject's position from its targets. It looks for triangles of targets whose
// sides lie within the distance band and whose angles are close to 60 degrees, keeps the 10 best,
// takes the circumcenter of each (the meeting point of the perpendicular bisectors of its sides),
// and averages those with one outlier-rejection pass.
#pragma once

#include "base/Geometry.h"
#include "recalc/RecalcTypes.h"

#include <cstdint>
#include <optional>

class CCenterFinder
{
public:
    virtual ~CCenterFinder() = default;

    // The band of allowed side lengths, set at the start of every conversion run.
    void SetDistanceLimits(int min, int max);

    // kNoCenter (center untouched) for fewer than 3 points; otherwise 0, with center written only when
    // some kept triangle gave a valid circumcenter.
    int FindCenter(const Point* points, int count, Point& center) const;

    // The center of the points, or nothing when there are fewer than 3 or no kept triangle gave a
    // valid circumcenter. FindCenter is this with the caller's center kept in the second case.
    [[nodiscard]] std::optional<Point> ComputeCenter(const Point* points, int count) const;

    // kBisectorFound and the bisector of (x1, y1)-(x2, y2); kNoBisector when the segment is not strictly
    // inside the band or is horizontal.
    int GetBisector(BisectorLine& line, int x1, int y1, int x2, int y2) const;

    // The meeting points of every pair of lines (pairs with equal slopes are skipped), written to
    // out, which holds count * (count - 1) / 2 points. Their number, or kTooFewLines for fewer than 2 lines.
    static int IntersectLines(const BisectorLine* lines, int count, Point* out);

    // Root of the mean squared distance of the points from (cx, cy); kTooFewPoints for fewer than 2 points.
    static int GetRmsDistance(const Point* points, int count, int cx, int cy, double& rms);

    // Mean of the points within radius of (cx, cy) (inclusive); kTooFewPoints when count <= 0, kNoPointWithin
    // when none is.
    static int GetMeanWithin(const Point* points, int count, int cx, int cy, double radius, Point& mean);

    // The triangle table the search keeps for these points (entries in slot order, centers not yet
    // computed). Exposed for the tests of the table's eviction rule; returns the number of entries.
    int FindTriangles(const Point* points, int count, TriangleEntry (&table)[kTriangleSlots]) const;

    std::int32_t m_nMaxDist = 0;
    std::int32_t m_nMinDist = 0;
};
