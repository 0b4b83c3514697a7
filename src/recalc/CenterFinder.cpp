#include "recalc/CenterFinder.h"

#include "base/ResultCodes.h"

#include <cassert>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace
{
// The search converts radians with 180/3.14, not 180/pi, so an exact 60-degree angle reads 60.03.
// The product is taken in two steps (radians * 180, then * this), as the scores rely on.
constexpr double kSearchDegreesPerRadianOver180 = 0.3184713375796178;
constexpr double kHalfTurnDegrees = 180.0;
// The angle of an equilateral triangle: a triple's score is how far its angles are from it.
constexpr double kEquilateralDegrees = 60.0;
constexpr std::int32_t kEquilateralScoreDegrees = 60;

// Just outside the range of a 32-bit coordinate, on either side.
constexpr double kBelowCoordinateRange = -2147483649.0;
constexpr double kAboveCoordinateRange = 2147483648.0;

// Integer coordinates of a computed point, truncated toward zero; false when the value is not a
// number or does not fit a 32-bit coordinate (nearly parallel bisectors meet far away).
bool TruncToCoordinate(double v, std::int32_t& out)
{
    if (!(v > kBelowCoordinateRange && v < kAboveCoordinateRange))
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

// One interior angle in the search's degrees from its two adjacent sides and the opposite one.
// False when it cannot be computed: a side of length 0, or a cosine that rounding has pushed
// outside [-1, 1] (collinear targets).
bool SearchAngle(double adjacent1, double adjacent2, double opposite, double& degrees)
{
    if (adjacent1 == 0.0 || adjacent2 == 0.0)
        return false;
    const double cosine =
        (adjacent1 * adjacent1 + adjacent2 * adjacent2 - opposite * opposite) / (2.0 * adjacent1 * adjacent2);
    if (!(cosine >= -1.0 && cosine <= 1.0))
        return false;
    degrees = std::acos(cosine) * kHalfTurnDegrees * kSearchDegreesPerRadianOver180;
    return true;
}

// Score of a triple, or false when the triple is rejected by its angles.
bool ScoreTriangle(double dij, double djk, double dki, std::int32_t& score)
{
    double angleI = 0.0;
    double angleJ = 0.0;
    double angleK = 0.0;
    if (!SearchAngle(dij, dki, djk, angleI) || !SearchAngle(dij, djk, dki, angleJ) ||
        !SearchAngle(djk, dki, dij, angleK))
        return false;
    if (!(angleI > 0.0 && angleJ > 0.0 && angleK > 0.0))
        return false;
    score = std::abs(static_cast<std::int32_t>(angleI) - kEquilateralScoreDegrees) +
            std::abs(static_cast<std::int32_t>(angleJ) - kEquilateralScoreDegrees) +
            std::abs(static_cast<std::int32_t>(angleK) - kEquilateralScoreDegrees);
    return true;
}

// Enters a scored triple into the table: appended while there is room, else it replaces the
// highest-scoring entry strictly worse than it (the lowest such slot among equals).
void KeepTriangle(TriangleEntry (&table)[kTriangleSlots], int& entries, int i, int j, int k,
                  std::int32_t score)
{
    int slot = -1;
    if (entries < kTriangleSlots)
        slot = entries++;
    else
    {
        std::int32_t runningMax = score;
        for (int s = 0; s < kTriangleSlots; ++s)
        {
            if (table[s].score > runningMax)
            {
                slot = s;
                runningMax = table[s].score;
            }
        }
        if (slot < 0)
            return;
    }
    table[slot].i = i;
    table[slot].j = j;
    table[slot].k = k;
    table[slot].score = score;
}

// Once the table is full, a triple enters only with a score below the worst kept one. A triple's
// score is at least |trunc(angle) - 60| for any one of its angles, so a triangle whose largest
// angle is far above 60 degrees or whose smallest is far below cannot enter, and is skipped
// without computing its three arc cosines. The test is made on the cosines with a wide margin, so
// it only skips triples whose exact score is certain to be too high: the table, and so every
// result, is the same as without it.
class CEntryBound
{
public:
    void SetWorstScore(std::int32_t worst)
    {
        if (worst == m_worst)
            return;
        m_worst = worst;
        constexpr double kDegreesPerRadian = kHalfTurnDegrees * kSearchDegreesPerRadianOver180;
        constexpr double kMargin = 1e-7;
        // Largest angle >= 61 + worst degrees: trunc >= 60 + worst + 1. No angle reaches 180.
        const double largest = kEquilateralDegrees + 1.0 + worst;
        m_maxCosOfLargest =
            largest < kHalfTurnDegrees ? std::cos(largest / kDegreesPerRadian) - kMargin : -2.0;
        // Smallest angle < 59 - worst degrees: trunc <= 58 - worst.
        const double smallest = kEquilateralDegrees - 1.0 - worst;
        m_minCosOfSmallest = smallest > 0.0 ? std::cos(smallest / kDegreesPerRadian) + kMargin : 2.0;
    }
    // True when the triple with these sides certainly scores at least the worst kept score.
    bool CannotEnter(double a, double b, double c) const
    {
        double longest = a;
        double shortest = a;
        if (b > longest)
            longest = b;
        if (c > longest)
            longest = c;
        if (b < shortest)
            shortest = b;
        if (c < shortest)
            shortest = c;
        if (shortest <= 0.0)
            return false; // degenerate: rejected by the full test
        const double sum = a * a + b * b + c * c;
        const double product = a * b * c;
        // cos of the angle opposite side s: (sum - 2 s^2) / (2 * product / s).
        const double cosLargest = (sum - 2.0 * longest * longest) * longest / (2.0 * product);
        const double cosSmallest = (sum - 2.0 * shortest * shortest) * shortest / (2.0 * product);
        return cosLargest < m_maxCosOfLargest || cosSmallest > m_minCosOfSmallest;
    }

private:
    std::int32_t m_worst = -1;
    double m_maxCosOfLargest = -2.0;
    double m_minCosOfSmallest = 2.0;
};

std::int32_t WorstScore(const TriangleEntry (&table)[kTriangleSlots])
{
    std::int32_t worst = table[0].score;
    for (const TriangleEntry& entry : table)
        worst = entry.score > worst ? entry.score : worst;
    return worst;
}

double SideLength(const Point& a, const Point& b)
{
    const std::int64_t dx = std::int64_t{a.x} - b.x;
    const std::int64_t dy = std::int64_t{a.y} - b.y;
    return std::sqrt(static_cast<double>(dx * dx + dy * dy));
}
} // namespace

void CCenterFinder::SetDistanceLimits(int min, int max)
{
    m_nMinDist = min;
    m_nMaxDist = max;
}

int CCenterFinder::FindTriangles(const Point* points, int count, TriangleEntry (&table)[kTriangleSlots]) const
{
    assert((points != nullptr || count <= 0) && "FindTriangles needs the points it is given a count of");
    for (TriangleEntry& entry : table)
        entry = TriangleEntry{};
    if (count > kMaxCenterPoints)
        count = kMaxCenterPoints;

    // Every pair's length once, and which pairs lie in the band (bounds inclusive): a triple is
    // only looked at when all three of its pairs do. The triples are still visited in
    // lexicographic order, so the table fills and evicts exactly as a walk over all of them would.
    double length[kMaxCenterPoints][kMaxCenterPoints];
    std::uint64_t inBandAfter[kMaxCenterPoints] = {}; // bit b set: pair (a, b) with b > a is in the band
    const double minDist = m_nMinDist;
    const double maxDist = m_nMaxDist;
    for (int a = 0; a < count; ++a)
    {
        for (int b = a + 1; b < count; ++b)
        {
            const double d = SideLength(points[a], points[b]);
            length[a][b] = d;
            if (minDist <= d && d <= maxDist)
                inBandAfter[a] |= std::uint64_t{1} << b;
        }
    }

    int entries = 0;
    CEntryBound bound;
    for (int i = 0; i + 2 < count; ++i)
    {
        for (std::uint64_t js = inBandAfter[i]; js != 0; js &= js - 1)
        {
            const int j = __builtin_ctzll(js);
            for (std::uint64_t ks = inBandAfter[i] & inBandAfter[j]; ks != 0; ks &= ks - 1)
            {
                const int k = __builtin_ctzll(ks);
                if (entries == kTriangleSlots && bound.CannotEnter(length[i][j], length[j][k], length[i][k]))
                    continue;
                std::int32_t score = 0;
                if (ScoreTriangle(length[i][j], length[j][k], length[i][k], score))
                {
                    KeepTriangle(table, entries, i, j, k, score);
                    if (entries == kTriangleSlots)
                        bound.SetWorstScore(WorstScore(table));
                }
            }
        }
    }
    return entries;
}

int CCenterFinder::FindCenter(const Point* points, int count, Point& center) const
{
    if (count < 3)
        return kNoCenter;
    if (const std::optional<Point> found = ComputeCenter(points, count))
        center = *found;
    return kOk;
}

std::optional<Point> CCenterFinder::ComputeCenter(const Point* points, int count) const
{
    if (count < 3)
        return std::nullopt;

    TriangleEntry table[kTriangleSlots];
    const int entries = FindTriangles(points, count, table);

    // Circumcenters of the kept triangles. An entry without one (a rejected side, or bisectors
    // that do not meet in three points) is invalid and takes no part in the average.
    Point centers[kTriangleSlots];
    int valid = 0;
    for (int e = 0; e < entries; ++e)
    {
        TriangleEntry& entry = table[e];
        const Point& pi = points[entry.i];
        const Point& pj = points[entry.j];
        const Point& pk = points[entry.k];
        BisectorLine lines[3];
        if (GetBisector(lines[0], pi.x, pi.y, pj.x, pj.y) != kBisectorFound ||
            GetBisector(lines[1], pj.x, pj.y, pk.x, pk.y) != kBisectorFound ||
            GetBisector(lines[2], pk.x, pk.y, pi.x, pi.y) != kBisectorFound)
        {
            entry.centerX = kInvalidCenter;
            entry.centerY = kInvalidCenter;
            continue;
        }
        Point meets[3];
        if (IntersectLines(lines, 3, meets) != 3)
            continue;
        entry.centerX = static_cast<std::int32_t>((std::int64_t{meets[0].x} + meets[1].x + meets[2].x) / 3);
        entry.centerY = static_cast<std::int32_t>((std::int64_t{meets[0].y} + meets[1].y + meets[2].y) / 3);
        // A center with a coordinate of -1 reads as the invalid mark and is left out too.
        if (entry.centerX != kInvalidCenter && entry.centerY != kInvalidCenter)
            centers[valid++] = Point{entry.centerX, entry.centerY};
    }
    if (valid == 0)
        return std::nullopt;

    std::int64_t sumX = 0;
    std::int64_t sumY = 0;
    for (int c = 0; c < valid; ++c)
    {
        sumX += centers[c].x;
        sumY += centers[c].y;
    }
    Point center{static_cast<std::int32_t>(sumX / valid), static_cast<std::int32_t>(sumY / valid)};

    if (valid >= 2)
    {
        double rms = 0.0;
        GetRmsDistance(centers, valid, center.x, center.y, rms);
        GetMeanWithin(centers, valid, center.x, center.y, rms, center);
    }
    return center;
}

int CCenterFinder::GetBisector(BisectorLine& line, int x1, int y1, int x2, int y2) const
{
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    const double length = std::sqrt(dy * dy + dx * dx);
    if (!(m_nMinDist < length && length < m_nMaxDist))
        return kNoBisector;
    // Equal X gives an infinite f, and so a horizontal bisector; equal Y (a horizontal side) has no
    // finite bisector slope and is rejected.
    const double f = (static_cast<double>(y1) - y2) / (static_cast<double>(x1) - x2);
    if (f == 0.0)
        return kNoBisector;
    line.slope = -1.0 / f;
    // The midpoint is truncated to whole pixels before the line is built: the centers the
    // conversion writes depend on it, so the integer division is meant.
    line.midX = static_cast<double>((std::int64_t{x1} + x2) / 2); // NOLINT(bugprone-integer-division)
    line.midY = static_cast<double>((std::int64_t{y1} + y2) / 2); // NOLINT(bugprone-integer-division)
    line.intercept = line.midY - line.midX * line.slope;
    return kBisectorFound;
}

int CCenterFinder::IntersectLines(const BisectorLine* lines, int count, Point* out)
{
    if (count < 2)
        return kTooFewLines;
    int found = 0;
    for (int p = 0; p < count; ++p)
    {
        for (int q = p + 1; q < count; ++q)
        {
            if (lines[p].slope == lines[q].slope)
                continue;
            // Y is taken on line p from the already truncated X. A meeting point beyond the
            // coordinate range (or not a number) is not a point at all and is left out.
            Point meet;
            if (!TruncToCoordinate(
                    (lines[q].intercept - lines[p].intercept) / (lines[p].slope - lines[q].slope), meet.x) ||
                !TruncToCoordinate(meet.x * lines[p].slope + lines[p].intercept, meet.y))
                continue;
            out[found++] = meet;
        }
    }
    return found;
}

int CCenterFinder::GetRmsDistance(const Point* points, int count, int cx, int cy, double& rms)
{
    if (count < 2)
        return kTooFewPoints;
    double sum = 0.0;
    for (int c = 0; c < count; ++c)
    {
        const double dx = static_cast<double>(points[c].x) - cx;
        const double dy = static_cast<double>(points[c].y) - cy;
        sum += dx * dx + dy * dy;
    }
    rms = std::sqrt(sum / count);
    return kOk;
}

int CCenterFinder::GetMeanWithin(const Point* points, int count, int cx, int cy, double radius, Point& mean)
{
    if (count <= 0)
        return kTooFewPoints;
    std::int64_t sumX = 0;
    std::int64_t sumY = 0;
    std::int64_t taken = 0;
    for (int c = 0; c < count; ++c)
    {
        const double dx = static_cast<double>(points[c].x) - cx;
        const double dy = static_cast<double>(points[c].y) - cy;
        if (std::sqrt(dx * dx + dy * dy) <= radius)
        {
            sumX += points[c].x;
            sumY += points[c].y;
            ++taken;
        }
    }
    if (taken == 0)
        return kNoPointWithin;
    mean = Point{static_cast<std::int32_t>(sumX / taken), static_cast<std::int32_t>(sumY / taken)};
    return kOk;
}
