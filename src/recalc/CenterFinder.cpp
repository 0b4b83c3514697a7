#include "recalc/CenterFinder.h"

#include "base/ResultCodes.h"
#include "recalc/ScratchArray.h"
#include "recalc/SquaredLength.h"
#include "recalc/TriangleScore.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstdlib>

namespace
{
// Just outside the range of a 32-bit coordinate, on either side.
constexpr double kBelowCoordinateRange = -2147483649.0;
constexpr double kAboveCoordinateRange = 2147483648.0;
// Differences of 32-bit coordinates below this have squares whose sum fits 64 bits.
constexpr std::int64_t kSquareSumSpan = std::int64_t{1} << 31;
// Up to this many points make at most kTriangleSlots triples: the table never evicts, so the
// scores never matter, only which triples are scored at all.
constexpr int kPointsNeverEvicting = 5;
constexpr int Triples(int points)
{
    int triples = 0;
    for (int i = 0; i < points; ++i)
        for (int j = i + 1; j < points; ++j)
            triples += points - j - 1;
    return triples;
}
static_assert(Triples(kPointsNeverEvicting) <= kTriangleSlots);

// Whether the triples' scores are needed, or only whether each triple is scored at all.
enum class Scoring : std::uint8_t
{
    Scores,
    OnlyWhetherScored,
};

// Integer coordinates of a computed point, truncated toward zero; false when the value is not a
// number or does not fit a 32-bit coordinate (nearly parallel bisectors meet far away).
bool TruncToCoordinate(double v, std::int32_t& out)
{
    if (!(v > kBelowCoordinateRange && v < kAboveCoordinateRange))
        return false;
    out = static_cast<std::int32_t>(v);
    return true;
}

// The kept triples of the center search, in slot order, and the worst score among them.
class CTriangleTable
{
public:
    explicit CTriangleTable(TriangleEntry* table) : m_table(table) {}

    [[nodiscard]] int Entries() const { return m_nEntries; }
    [[nodiscard]] bool Full() const { return m_nEntries == kTriangleSlots; }
    // Known once the table is full.
    [[nodiscard]] std::int32_t WorstScore() const { return m_worst; }

    // Enters a scored triple: appended while there is room, else it replaces the highest-scoring
    // entry strictly worse than it (the lowest such slot among equals). True when the table changed.
    bool Keep(int i, int j, int k, std::int32_t score)
    {
        int slot = -1;
        if (!Full())
            slot = m_nEntries++;
        else
        {
            if (score >= m_worst)
                return false;
            for (int s = 0; s < kTriangleSlots && slot < 0; ++s)
                if (m_table[s].score == m_worst)
                    slot = s;
        }
        m_table[slot] = TriangleEntry{i, j, k, score, 0, 0};
        if (Full())
        {
            m_worst = m_table[0].score;
            for (int s = 1; s < kTriangleSlots; ++s)
                m_worst = m_table[s].score > m_worst ? m_table[s].score : m_worst;
        }
        return true;
    }

private:
    TriangleEntry* m_table;
    int m_nEntries = 0;
    std::int32_t m_worst = 0;
};

// The side length of the search: the root of the whole sum of squared differences. (Differences
// beyond 2^31, only possible between coordinates far outside any frame, are squared in double.)
double SideLength(const Point& a, const Point& b)
{
    const std::int64_t dx = std::int64_t{a.x} - b.x;
    const std::int64_t dy = std::int64_t{a.y} - b.y;
    if (std::llabs(dx) < kSquareSumSpan && std::llabs(dy) < kSquareSumSpan)
        return std::sqrt(static_cast<double>(dx * dx + dy * dy));
    const auto fx = static_cast<double>(dx);
    const auto fy = static_cast<double>(dy);
    return std::sqrt(fx * fx + fy * fy);
}

// A bisector as the meeting points need it: Y = slope * X + intercept.
struct Line
{
    double slope;
    double intercept;
};

// The bisector of a side already known to lie strictly inside the band, and the truncated
// midpoint it passes through; false for a horizontal side. Equal X gives an infinite f, and so a
// horizontal bisector; equal Y has no finite bisector slope. Either end may come first: the line
// is the same (but for the sign of a horizontal bisector's zero slope, which no meeting point
// tells apart).
bool SideBisector(int x1, int y1, int x2, int y2, double& midX, double& midY, Line& line)
{
    const double f = (static_cast<double>(y1) - y2) / (static_cast<double>(x1) - x2);
    if (f == 0.0)
        return false;
    line.slope = -1.0 / f;
    // The midpoint is truncated to whole pixels before the line is built: the centers the
    // conversion writes depend on it, so the integer division is meant.
    midX = static_cast<double>((std::int64_t{x1} + x2) / 2); // NOLINT(bugprone-integer-division)
    midY = static_cast<double>((std::int64_t{y1} + y2) / 2); // NOLINT(bugprone-integer-division)
    line.intercept = midY - midX * line.slope;
    return true;
}

// The meeting points of every pair of the count lines that lineAt(p) gives, pairs with equal
// slopes skipped; their number.
template <class LineAt> int MeetingPoints(int count, const LineAt& lineAt, Point* out)
{
    int found = 0;
    for (int p = 0; p < count; ++p)
    {
        for (int q = p + 1; q < count; ++q)
        {
            const auto& lineP = lineAt(p);
            const auto& lineQ = lineAt(q);
            if (lineP.slope == lineQ.slope)
                continue;
            // Y is taken on line p from the already truncated X. A meeting point beyond the
            // coordinate range (or not a number) is not a point at all and is left out.
            Point meet;
            if (!TruncToCoordinate((lineQ.intercept - lineP.intercept) / (lineP.slope - lineQ.slope),
                                   meet.x) ||
                !TruncToCoordinate(meet.x * lineP.slope + lineP.intercept, meet.y))
                continue;
            out[found++] = meet;
        }
    }
    return found;
}

// Squared distance of a point from (cx, cy), as the outlier pass measures it.
double SquaredDistance(const Point& p, int cx, int cy)
{
    const double dx = static_cast<double>(p.x) - cx;
    const double dy = static_cast<double>(p.y) - cy;
    return dx * dx + dy * dy;
}

// Mean of the points whose squared distance (squaredAt(c) for point c) the test accepts,
// truncated toward zero; false (mean untouched) when it accepts none. Summed without a branch a
// point: whether a center is kept is as likely as not.
template <class SquaredAt, class WithinTest>
bool MeanWithin(const Point* points, int count, const SquaredAt& squaredAt, const WithinTest& within,
                Point& mean)
{
    std::int64_t sumX = 0;
    std::int64_t sumY = 0;
    std::int64_t taken = 0;
    for (int c = 0; c < count; ++c)
    {
        const std::int64_t in = within(squaredAt(c)) ? 1 : 0;
        sumX += in * points[c].x;
        sumY += in * points[c].y;
        taken += in;
    }
    if (taken == 0)
        return false;
    mean = Point{static_cast<std::int32_t>(sumX / taken), static_cast<std::int32_t>(sumY / taken)};
    return true;
}

// The pairs of one call's points, measured on their squared lengths: every pair of target
// coordinates, and any points that lie within kExactCoordinateSpan of each other on both axes.
// Band tests are made on whole squares and angles placed without arc cosines where that is exact.
class CSquaredPairs
{
public:
    CSquaredPairs(const CCenterFinder& finder, const Point* points, int count)
        : m_pPoints(points), m_band(finder.m_nMinDist, finder.m_nMaxDist)
    {
        for (int a = 0; a < count; ++a)
        {
            // Differences below 2^15 on each axis: squares and their sum fit 32 bits.
            std::uint64_t inBand = 0;
            for (int b = a + 1; b < count; ++b)
            {
                const std::int32_t dx = points[a].x - points[b].x;
                const std::int32_t dy = points[a].y - points[b].y;
                const std::int32_t squared = dx * dx + dy * dy;
                m_squared[a][b] = squared;
                inBand |= static_cast<std::uint64_t>(m_band.Contains(squared)) << b;
            }
            m_inBandAfter[a] = inBand;
        }
    }

    // Every coordinate difference below kExactCoordinateSpan.
    static bool Fit(const Point* points, int count)
    {
        std::int64_t lowX = points[0].x;
        std::int64_t highX = lowX;
        std::int64_t lowY = points[0].y;
        std::int64_t highY = lowY;
        for (int p = 1; p < count; ++p)
        {
            lowX = std::min<std::int64_t>(lowX, points[p].x);
            highX = std::max<std::int64_t>(highX, points[p].x);
            lowY = std::min<std::int64_t>(lowY, points[p].y);
            highY = std::max<std::int64_t>(highY, points[p].y);
        }
        return highX - lowX < kExactCoordinateSpan && highY - lowY < kExactCoordinateSpan;
    }

    [[nodiscard]] std::uint64_t InBandAfter(int a) const { return m_inBandAfter[a]; }

    // The third corners k (bit k) worth scoring with the side (i, j): those in the band with both
    // and, once the filter knows the worst kept score, whose sides to i and to j both lie within
    // its ratio of the side (i, j).
    [[nodiscard]] std::uint64_t ThirdCorners(int i, int j) const
    {
        const std::uint64_t inBand = m_inBandAfter[i] & m_inBandAfter[j];
        if (inBand == 0 || !m_filter.BoundsSides())
            return inBand;
        if (m_filter.SquaredSideRatio() == 0.0)
            return 0; // a worst score of 0: nothing scores below it
        // The window in whole squares, widened to them; a square below it wraps around to far
        // above it, so one unsigned comparison a side tests both ends.
        const double side = m_squared[i][j];
        const auto lowest = static_cast<std::int64_t>(side * m_filter.InverseSquaredSideRatio());
        const double highest = side * m_filter.SquaredSideRatio();
        const std::uint64_t width =
            highest < kExactSquaredLengthLimit
                ? static_cast<std::uint64_t>(static_cast<std::int64_t>(highest) + 1 - lowest)
                : kExactSquaredLengthLimit;
        const std::int32_t* toI = m_squared[i];
        const std::int32_t* toJ = m_squared[j];
        // Without a branch a corner: most fail one test or another, unpredictably.
        std::uint64_t admitted = 0;
        for (std::uint64_t ks = inBand; ks != 0; ks &= ks - 1)
        {
            const int k = std::countr_zero(ks);
            const auto inside =
                static_cast<std::uint64_t>(static_cast<std::uint64_t>(toI[k] - lowest) <= width) &
                static_cast<std::uint64_t>(static_cast<std::uint64_t>(toJ[k] - lowest) <= width);
            admitted |= inside << k;
        }
        return admitted;
    }

    bool Score(int i, int j, int k, bool tableFull, Scoring scoring, std::int32_t& score) const
    {
        const SquaredSides sides(m_squared[i][j], m_squared[j][k], m_squared[i][k]);
        if (scoring == Scoring::OnlyWhetherScored)
            return TriangleHasAngles(sides);
        if (tableFull && m_filter.CannotEnter(sides))
            return false;
        return ScoreFromSquaredSides(sides, score);
    }
    void SetWorstScore(std::int32_t worst) { m_filter.SetWorstScore(worst); }

    bool Bisector(int a, int b, Line& line) const
    {
        const std::int32_t squared = a < b ? m_squared[a][b] : m_squared[b][a];
        double midX = 0.0;
        double midY = 0.0;
        return m_band.StrictlyContains(squared) &&
               SideBisector(m_pPoints[a].x, m_pPoints[a].y, m_pPoints[b].x, m_pPoints[b].y, midX, midY, line);
    }

private:
    const Point* m_pPoints;
    CSquaredBand m_band;
    CEntryFilter m_filter;
    std::int32_t m_squared[kMaxCenterPoints][kMaxCenterPoints]; // [a][b] for a < b only
    std::uint64_t m_inBandAfter[kMaxCenterPoints];              // bit b: pair (a, b), b > a, in the band
};

// The pairs of points too far apart for CSquaredPairs, measured on their rounded lengths with an
// arc cosine for every angle.
class CLengthPairs
{
public:
    CLengthPairs(const CCenterFinder& finder, const Point* points, int count)
        : m_finder(finder), m_pPoints(points)
    {
        const double minDist = finder.m_nMinDist;
        const double maxDist = finder.m_nMaxDist;
        for (int a = 0; a < count; ++a)
        {
            std::uint64_t inBand = 0;
            for (int b = a + 1; b < count; ++b)
            {
                const double d = SideLength(points[a], points[b]);
                m_length[a][b] = d;
                if (minDist <= d && d <= maxDist)
                    inBand |= std::uint64_t{1} << b;
            }
            m_inBandAfter[a] = inBand;
        }
    }

    [[nodiscard]] std::uint64_t InBandAfter(int a) const { return m_inBandAfter[a]; }

    // Every third corner in the band with both is scored.
    [[nodiscard]] std::uint64_t ThirdCorners(int i, int j) const
    {
        return m_inBandAfter[i] & m_inBandAfter[j];
    }

    bool Score(int i, int j, int k, bool /*tableFull*/, Scoring /*scoring*/, std::int32_t& score) const
    {
        return ScoreFromSides(m_length[i][j], m_length[j][k], m_length[i][k], score);
    }
    static void SetWorstScore(std::int32_t /*worst*/) {}

    bool Bisector(int a, int b, Line& line) const
    {
        BisectorLine bisector;
        if (m_finder.GetBisector(bisector, m_pPoints[a].x, m_pPoints[a].y, m_pPoints[b].x, m_pPoints[b].y) !=
            kBisectorFound)
            return false;
        line = Line{bisector.slope, bisector.intercept};
        return true;
    }

private:
    const CCenterFinder& m_finder;
    const Point* m_pPoints;
    double m_length[kMaxCenterPoints][kMaxCenterPoints]; // [a][b] for a < b only
    std::uint64_t m_inBandAfter[kMaxCenterPoints];
};

// The triangle table: every triple whose three pairs lie in the band, visited in lexicographic
// order, so that the table fills and evicts exactly as a walk over all triples would.
template <class Pairs> int SearchTriangles(Pairs& pairs, int count, Scoring scoring, TriangleEntry* entries)
{
    CTriangleTable table(entries);
    for (int i = 0; i + 2 < count; ++i)
    {
        for (std::uint64_t js = pairs.InBandAfter(i); js != 0; js &= js - 1)
        {
            const int j = std::countr_zero(js);
            for (std::uint64_t ks = pairs.ThirdCorners(i, j); ks != 0; ks &= ks - 1)
            {
                const int k = std::countr_zero(ks);
                std::int32_t score = 0;
                if (pairs.Score(i, j, k, table.Full(), scoring, score) && table.Keep(i, j, k, score) &&
                    table.Full())
                    pairs.SetWorstScore(table.WorstScore());
            }
        }
    }
    return table.Entries();
}

template <class Pairs>
int FillTable(const CCenterFinder& finder, const Point* points, int count, TriangleEntry* table)
{
    Pairs pairs(finder, points, count);
    return SearchTriangles(pairs, count, Scoring::Scores, table);
}

// The bisectors of the kept triangles' sides, each computed once: neighbouring triangles share
// sides, and a side's bisector is the same whichever end comes first. Only the sides asked for
// are computed; the rest of the table is never read.
template <class Pairs> class CSideBisectors
{
public:
    CSideBisectors(const Pairs& pairs, int count) : m_pairs(pairs)
    {
        std::fill_n(m_known, count, 0);
        std::fill_n(m_found, count, 0);
    }

    // The bisector of side (a, b), or nullptr when the side has none.
    const Line* Get(int a, int b)
    {
        const int low = std::min(a, b);
        const int high = std::max(a, b);
        const std::uint64_t bit = std::uint64_t{1} << high;
        if ((m_known[low] & bit) == 0)
        {
            m_known[low] |= bit;
            m_found[low] |= m_pairs.Bisector(a, b, m_lines[low][high]) ? bit : 0;
        }
        return (m_found[low] & bit) != 0 ? &m_lines[low][high] : nullptr;
    }

private:
    const Pairs& m_pairs;
    std::uint64_t m_known[kMaxCenterPoints]; // bit high: side (low, high) computed
    std::uint64_t m_found[kMaxCenterPoints]; // bit high: side (low, high) has a bisector
    Line m_lines[kMaxCenterPoints][kMaxCenterPoints];
};

// The center of the points: the circumcenter of every kept triangle, averaged, then the average
// of those within the root-mean-square distance of that first mean.
template <class Pairs>
std::optional<Point> CenterOfPoints(const CCenterFinder& finder, const Point* points, int count)
{
    Pairs pairs(finder, points, count);
    CScratchArray<TriangleEntry, kTriangleSlots> table;
    const int entries = SearchTriangles(
        pairs, count, count <= kPointsNeverEvicting ? Scoring::OnlyWhetherScored : Scoring::Scores,
        table.Data());

    // An entry without a circumcenter (a rejected side, or bisectors that do not meet in three
    // points) is invalid and takes no part in the average.
    CScratchArray<Point, kTriangleSlots> centers;
    int valid = 0;
    CSideBisectors<Pairs> bisectors(pairs, count);
    for (int e = 0; e < entries; ++e)
    {
        const TriangleEntry& entry = table[e];
        const Line* lines[3] = {bisectors.Get(entry.i, entry.j), bisectors.Get(entry.j, entry.k),
                                bisectors.Get(entry.k, entry.i)};
        CScratchArray<Point, 3> meets;
        if (lines[0] == nullptr || lines[1] == nullptr || lines[2] == nullptr ||
            MeetingPoints(
                3, [&lines](int l) -> const Line& { return *lines[l]; }, meets.Data()) != 3)
            continue;
        const Point center{
            static_cast<std::int32_t>((std::int64_t{meets[0].x} + meets[1].x + meets[2].x) / 3),
            static_cast<std::int32_t>((std::int64_t{meets[0].y} + meets[1].y + meets[2].y) / 3)};
        // A center with a coordinate of -1 reads as the invalid mark and is left out too.
        if (center.x != kInvalidCenter && center.y != kInvalidCenter)
            centers[valid++] = center;
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
        // Within the root-mean-square distance, compared on the squares: the roots are taken only
        // for a center at a hair's breadth from that distance.
        double squares[kTriangleSlots];
        double sum = 0.0;
        for (int c = 0; c < valid; ++c)
        {
            squares[c] = SquaredDistance(centers[static_cast<std::size_t>(c)], center.x, center.y);
            sum += squares[c];
        }
        const double meanSquare = sum / valid;
        MeanWithin(
            centers.Data(), valid, [&squares](int c) { return squares[c]; },
            [meanSquare](double squared) { return RootAtMostRootOf(squared, meanSquare); }, center);
    }
    return center;
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
    if (count < 3)
        return 0;
    return CSquaredPairs::Fit(points, count) ? FillTable<CSquaredPairs>(*this, points, count, table)
                                             : FillTable<CLengthPairs>(*this, points, count, table);
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
    if (count > kMaxCenterPoints)
        count = kMaxCenterPoints;
    return CSquaredPairs::Fit(points, count) ? CenterOfPoints<CSquaredPairs>(*this, points, count)
                                             : CenterOfPoints<CLengthPairs>(*this, points, count);
}

int CCenterFinder::GetBisector(BisectorLine& line, int x1, int y1, int x2, int y2) const
{
    const double dx = static_cast<double>(x2) - x1;
    const double dy = static_cast<double>(y2) - y1;
    const double length = std::sqrt(dy * dy + dx * dx);
    if (!(m_nMinDist < length && length < m_nMaxDist))
        return kNoBisector;
    Line bisector{};
    if (!SideBisector(x1, y1, x2, y2, line.midX, line.midY, bisector))
        return kNoBisector;
    line.slope = bisector.slope;
    line.intercept = bisector.intercept;
    return kBisectorFound;
}

int CCenterFinder::IntersectLines(const BisectorLine* lines, int count, Point* out)
{
    if (count < 2)
        return kTooFewLines;
    return MeetingPoints(
        count, [lines](int l) -> const BisectorLine& { return lines[l]; }, out);
}

int CCenterFinder::GetRmsDistance(const Point* points, int count, int cx, int cy, double& rms)
{
    if (count < 2)
        return kTooFewPoints;
    double sum = 0.0;
    for (int c = 0; c < count; ++c)
        sum += SquaredDistance(points[c], cx, cy);
    rms = std::sqrt(sum / count);
    return kOk;
}

int CCenterFinder::GetMeanWithin(const Point* points, int count, int cx, int cy, double radius, Point& mean)
{
    if (count <= 0)
        return kTooFewPoints;
    const auto squaredAt = [points, cx, cy](int c) { return SquaredDistance(points[c], cx, cy); };
    const auto within = [radius](double squared) { return CompareRoot(squared, radius) <= 0; };
    return MeanWithin(points, count, squaredAt, within, mean) ? kOk : kNoPointWithin;
}
