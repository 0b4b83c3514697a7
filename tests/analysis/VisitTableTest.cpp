// The visit table on small crafted tracks: every visit's fields, the figures of each region and of
// the session, at the edges (a visit under way at record 0, one open at the end, regions never
// entered or overlapping, positions off the plot, no records and one).
#include "VisitTestSupport.h"

#include <cmath>
#include <gtest/gtest.h>

namespace
{
constexpr Rect kBoxA{50, 50, 175, 175};  // core (58, 58, 167, 167) with margin 8
constexpr Rect kBoxB{100, 50, 300, 175}; // overlaps A for 100 <= x < 175; core (108, 58, 292, 167)
constexpr Point kOut{10, 10};            // in neither
constexpr Point kBorderA{52, 100};       // A's border band
constexpr Point kCoreA{60, 100};         // A's core only
constexpr Point kCoreBoth{120, 100};     // the core of both
constexpr Point kCoreB{200, 100};        // B's core only

// Records at times 1000, 1001, ... at the given positions.
std::vector<TrackRecord> Walk(const std::vector<Point>& points, std::int64_t first = 1000)
{
    std::vector<Spot> spots;
    for (const Point& p : points)
        spots.push_back({first + static_cast<std::int64_t>(spots.size()), p.x, p.y});
    return RecordsOf(spots);
}

std::string Describe(const VisitRow& v)
{
    return "{region " + std::to_string(v.region) + ", visit " + std::to_string(v.visit) + ", records " +
           std::to_string(v.enterRecord) + ".." + std::to_string(v.leaveRecord) + ", times " +
           std::to_string(v.enterTimestamp) + ".." +
           (v.leaveTimestamp ? std::to_string(*v.leaveTimestamp) : "none") +
           (v.complete ? ", complete}" : ", open}");
}

bool SameVisit(const VisitRow& a, const VisitRow& b)
{
    return a.region == b.region && a.visit == b.visit && a.enterRecord == b.enterRecord &&
           a.leaveRecord == b.leaveRecord && a.enterTimestamp == b.enterTimestamp &&
           a.leaveTimestamp == b.leaveTimestamp && a.complete == b.complete;
}

// Test that every visit of a crafted track has its fields and its place in the order they started.
TEST(VisitTable, VisitsOfCraftedTracks)
{
    struct Case
    {
        const char* name;
        std::vector<TrackRecord> records;
        std::vector<Rect> rects;
        std::vector<VisitRow> visits;
    };
    const std::vector<Case> cases = {
        {"a visit under way at record 0 starts there",
         Walk({kCoreA, kCoreA, kOut}),
         {kBoxA},
         {{0, 1, 0, 2, 1000, 1002, true}}},
        {"a visit starts at the first record in the border on the way in",
         Walk({kOut, kBorderA, kBorderA, kCoreA, kBorderA, kOut}),
         {kBoxA},
         {{0, 1, 1, 5, 1001, 1005, true}}},
        {"the border alone is no visit", Walk({kOut, kBorderA, kOut, kBorderA}), {kBoxA}, {}},
        {"a visit open at the end lasts to the record count",
         Walk({kOut, kCoreA, kBorderA}),
         {kBoxA},
         {{0, 1, 1, 3, 1001, std::nullopt, false}}},
        {"an open visit that began in the border at record 0",
         Walk({kBorderA, kCoreA}),
         {kBoxA},
         {{0, 1, 0, 2, 1000, std::nullopt, false}}},
        {"a region's visits are numbered from 1",
         Walk({kCoreA, kOut, kCoreA, kOut, kCoreA}),
         {kBoxA},
         {{0, 1, 0, 1, 1000, 1001, true},
          {0, 2, 2, 3, 1002, 1003, true},
          {0, 3, 4, 5, 1004, std::nullopt, false}}},
        {"visits starting at the same record come in table order",
         Walk({kCoreBoth, kOut, kCoreB, kOut}),
         {kBoxA, kBoxB},
         {{0, 1, 0, 1, 1000, 1001, true}, {1, 1, 0, 1, 1000, 1001, true}, {1, 2, 2, 3, 1002, 1003, true}}},
        {"visits come in the order they started, not ended",
         Walk({kCoreA, kCoreBoth, kCoreA, kOut}),
         {kBoxB, kBoxA},
         {{1, 1, 0, 3, 1000, 1003, true}, {0, 1, 1, 2, 1001, 1002, true}}},
        {"timestamps of 0 and below are copied as they stand",
         RecordsOf({{-5, 100, 100}, {0, 100, 100}, {0, 10, 10}, {0, 100, 100}}),
         {kBoxA},
         {{0, 1, 0, 2, -5, 0, true}, {0, 2, 3, 4, 0, std::nullopt, false}}},
        {"a rectangle drawn backwards holds what it covers",
         Walk({kOut, kCoreA, kOut}),
         {Rect{175, 175, 50, 50}},
         {{0, 1, 1, 2, 1001, 1002, true}}},
        {"a region narrower than twice the margin has no core",
         Walk({{100, 100}, kOut}),
         {Rect{95, 50, 110, 175}},
         {}},
    };
    for (const Case& c : cases)
    {
        const VisitTable table = BuildTable(c.records, TableOf(c.rects));
        ASSERT_EQ(table.visits.size(), c.visits.size()) << c.name;
        for (std::size_t k = 0; k < c.visits.size(); ++k)
            EXPECT_TRUE(SameVisit(table.visits[k], c.visits[k]))
                << c.name << ": row " << k << " is " << Describe(table.visits[k]) << ", want "
                << Describe(c.visits[k]);
    }
}

// Test the durations of a visit in records, seconds and raw timestamps, open or complete.
TEST(VisitTable, VisitDurations)
{
    const VisitRow complete{0, 1, 30, 120, -7, 500, true};
    EXPECT_EQ(complete.DurationRecords(), 90u);
    EXPECT_DOUBLE_EQ(complete.DurationSeconds(), 1.5);
    EXPECT_EQ(complete.DurationTimestamp(), std::optional<std::int64_t>(507));
    const VisitRow open{0, 1, 30, 36, 100, std::nullopt, false};
    EXPECT_EQ(open.DurationRecords(), 6u);
    EXPECT_DOUBLE_EQ(open.DurationSeconds(), 0.1);
    EXPECT_EQ(open.DurationTimestamp(), std::nullopt);
    // Opposite ends of the range wrap instead of overflowing.
    const VisitRow wide{0, 1, 0, 1, INT64_MIN, INT64_MAX, true};
    EXPECT_EQ(wide.DurationTimestamp(), std::optional<std::int64_t>(-1));
}

// Test the figures of each region: entries with the open visit, complete visits, time inside,
// share, latency, mean and longest complete visit.
TEST(VisitTable, RegionFigures)
{
    struct Figures
    {
        std::uint64_t entries;
        std::uint64_t complete;
        std::uint64_t insideRecords;
        std::optional<double> share;
        std::optional<std::uint64_t> latency;
        std::optional<double> meanSeconds;
        std::optional<double> longestSeconds;
    };
    struct Case
    {
        const char* name;
        std::vector<TrackRecord> records;
        Figures a; // of kBoxA
    };
    const std::vector<Case> cases = {
        {"never entered", Walk({kOut, kBorderA, kOut, kCoreB}), {0, 0, 0, 0.0, {}, {}, {}}},
        {"a complete visit and an open one",
         Walk({kOut, kCoreA, kOut, kOut, kCoreA, kCoreA}),
         {2, 1, 3, 0.5, 1, 1.0 / 60, 1.0 / 60}},
        {"only an open visit: no mean or longest",
         Walk({kOut, kOut, kCoreA, kCoreA}),
         {1, 0, 2, 0.5, 2, {}, {}}},
        {"complete visits of 1 and 3 records",
         Walk({kCoreA, kOut, kOut, kCoreA, kBorderA, kCoreA, kOut, kOut}),
         {2, 2, 4, 0.5, 0, 2.0 / 60, 3.0 / 60}},
        {"inside throughout", Walk({kCoreA, kCoreA, kCoreA}), {1, 0, 3, 1.0, 0, {}, {}}},
        {"no records", {}, {0, 0, 0, {}, {}, {}, {}}},
    };
    for (const Case& c : cases)
    {
        const VisitTable table = BuildTable(c.records, TableOf({kBoxA, kBoxB}, {"open arm"}), 8);
        ASSERT_EQ(table.regions.size(), 2u) << c.name;
        const RegionSummary& a = table.regions[0];
        EXPECT_EQ(a.region, 0) << c.name;
        EXPECT_EQ(a.name, "open arm") << c.name;
        EXPECT_EQ(a.rect, kBoxA) << c.name;
        EXPECT_EQ(a.margin, 8) << c.name;
        EXPECT_EQ(a.entries, c.a.entries) << c.name;
        EXPECT_EQ(a.completeVisits, c.a.complete) << c.name;
        EXPECT_EQ(a.timeInsideRecords, c.a.insideRecords) << c.name;
        EXPECT_DOUBLE_EQ(a.timeInsideSeconds, static_cast<double>(c.a.insideRecords) / 60) << c.name;
        EXPECT_EQ(a.shareOfSession, c.a.share) << c.name;
        EXPECT_EQ(a.latencyRecords, c.a.latency) << c.name;
        EXPECT_EQ(a.latencySeconds.has_value(), c.a.latency.has_value()) << c.name;
        if (a.latencySeconds && c.a.latency)
        {
            EXPECT_DOUBLE_EQ(*a.latencySeconds, static_cast<double>(*c.a.latency) / 60) << c.name;
        }
        ASSERT_EQ(a.meanVisitSeconds.has_value(), c.a.meanSeconds.has_value()) << c.name;
        if (c.a.meanSeconds)
        {
            EXPECT_DOUBLE_EQ(*a.meanVisitSeconds, *c.a.meanSeconds) << c.name;
        }
        ASSERT_EQ(a.longestVisitSeconds.has_value(), c.a.longestSeconds.has_value()) << c.name;
        if (c.a.longestSeconds)
        {
            EXPECT_DOUBLE_EQ(*a.longestVisitSeconds, *c.a.longestSeconds) << c.name;
        }
        EXPECT_EQ(table.regions[1].name, "Box1") << c.name;
    }
}

// Test the figures of the session: its length and timestamps, the time outside every region
// (overlapping regions counted once), the path and the speed, and positions off the plot.
TEST(VisitTable, SessionFigures)
{
    struct Case
    {
        const char* name;
        std::vector<TrackRecord> records;
        std::vector<Rect> rects;
        std::optional<std::int64_t> first;
        std::optional<std::int64_t> last;
        std::uint64_t outsideAll;
        std::optional<double> path; // not looked at when not given
        std::optional<double> speed;
        std::uint64_t offPlot;
    };
    const std::vector<Case> cases = {
        {"no records", {}, {kBoxA}, {}, {}, 0, 0.0, {}, 0},
        {"one record", Walk({kCoreA}, 42), {kBoxA}, 42, 42, 0, 0.0, {}, 0},
        {"a path of 3-4-5 steps and a pause",
         Walk({{0, 0}, {3, 4}, {3, 4}, {6, 8}}),
         {},
         1000,
         1003,
         4,
         10.0,
         200.0, // 10 pixels in 3 / 60 s
         0},
        {"positions off the plot are counted",
         Walk({{-1, 0}, {640, 0}, {0, 480}, {0, -1}, {639, 479}, {0, 0}}),
         {},
         1000,
         1005,
         6,
         641.0 + 800.0 + 481.0 + std::hypot(639.0, 480.0) + std::hypot(639.0, 479.0),
         {},
         4},
        {"overlapping visits are counted once outside all regions",
         Walk({kCoreA, kCoreBoth, kCoreBoth, kCoreB, kCoreB, kOut, kOut, kOut}),
         {kBoxA, kBoxB},
         1000,
         1007,
         3,
         {},
         {},
         0},
        {"a border approach belongs to no visit",
         Walk({kOut, kBorderA, kOut, kCoreA, kOut}),
         {kBoxA},
         1000,
         1004,
         4,
         {},
         {},
         0},
        {"the open visit at the end is inside",
         Walk({kOut, kCoreA, kCoreA}),
         {kBoxA},
         1000,
         1002,
         1,
         std::hypot(50.0, 90.0), // (10, 10) to (60, 100), then a pause
         std::hypot(50.0, 90.0) * 30,
         0},
    };
    for (const Case& c : cases)
    {
        const VisitTable table = BuildTable(c.records, TableOf(c.rects));
        const SessionSummary& s = table.session;
        EXPECT_EQ(s.records, c.records.size()) << c.name;
        EXPECT_DOUBLE_EQ(s.durationSeconds, static_cast<double>(c.records.size()) / 60) << c.name;
        EXPECT_EQ(s.firstTimestamp, c.first) << c.name;
        EXPECT_EQ(s.lastTimestamp, c.last) << c.name;
        EXPECT_EQ(s.recordsOutsideAll, c.outsideAll) << c.name;
        EXPECT_DOUBLE_EQ(s.timeOutsideAllSeconds, static_cast<double>(c.outsideAll) / 60) << c.name;
        EXPECT_EQ(s.recordsOutsidePlot, c.offPlot) << c.name;
        if (c.path)
        {
            EXPECT_NEAR(s.pathLengthPx, *c.path, 1e-9) << c.name;
        }
        if (c.speed)
        {
            ASSERT_TRUE(s.meanSpeedPxPerSecond.has_value()) << c.name;
            EXPECT_NEAR(*s.meanSpeedPxPerSecond, *c.speed, 1e-9) << c.name;
        }
        EXPECT_EQ(s.meanSpeedPxPerSecond.has_value(), c.records.size() >= 2) << c.name;
    }
}
} // namespace
