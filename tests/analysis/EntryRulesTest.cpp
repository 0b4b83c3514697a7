// The entry rules at their edges: a gap one record short of the merge gap and one exactly at it, a
// visit exactly as long as the minimum, chains, the open visit at the end, the order of the two
// rules, regions apart; and the visit table's figures counted from the visits the rules leave.
#include "analysis/EntryRules.h"

#include "VisitTestSupport.h"

#include <gtest/gtest.h>

namespace
{
// A visit of region over records [enter, leave), timestamps 1000 + record; open ones end at leave
// without a leave timestamp.
VisitRow V(std::int32_t region, std::uint64_t enter, std::uint64_t leave, bool complete = true)
{
    const auto time = [](std::uint64_t record) { return 1000 + static_cast<std::int64_t>(record); };
    return VisitRow{region,  0,           enter,
                    leave,   time(enter), complete ? std::optional<std::int64_t>(time(leave)) : std::nullopt,
                    complete};
}

std::string Describe(const std::vector<VisitRow>& visits)
{
    std::string text;
    for (const VisitRow& v : visits)
        text += "{" + std::to_string(v.region) + ": " + std::to_string(v.enterRecord) + ".." +
                std::to_string(v.leaveRecord) +
                (v.leaveTimestamp ? " t" + std::to_string(*v.leaveTimestamp) : "") +
                (v.complete ? "" : " open") + "} ";
    return text;
}

bool Same(const std::vector<VisitRow>& a, const std::vector<VisitRow>& b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const VisitRow& x, const VisitRow& y)
                      {
                          return x.region == y.region && x.enterRecord == y.enterRecord &&
                                 x.leaveRecord == y.leaveRecord && x.enterTimestamp == y.enterTimestamp &&
                                 x.leaveTimestamp == y.leaveTimestamp && x.complete == y.complete;
                      });
}

// Test each rule at its edges on a region's visits as the visit rule found them.
TEST(EntryRules, MergeThenDropAtTheEdges)
{
    struct Case
    {
        const char* name;
        EntryRules rules;
        std::vector<VisitRow> visits;
        std::vector<VisitRow> expected;
    };
    const std::vector<Case> cases = {
        {"both 0: nothing changes", {0, 0}, {V(0, 0, 1), V(0, 2, 3)}, {V(0, 0, 1), V(0, 2, 3)}},
        {"a gap of 1 record is the shortest there is: a merge gap of 1 merges nothing",
         {1, 0},
         {V(0, 0, 5), V(0, 6, 9)},
         {V(0, 0, 5), V(0, 6, 9)}},
        {"a gap of G - 1 records merges", {3, 0}, {V(0, 0, 5), V(0, 7, 9)}, {V(0, 0, 9)}},
        {"a gap of exactly G records does not", {3, 0}, {V(0, 0, 5), V(0, 8, 9)}, {V(0, 0, 5), V(0, 8, 9)}},
        {"a chain of three short exits becomes one visit",
         {2, 0},
         {V(0, 0, 2), V(0, 3, 5), V(0, 6, 8), V(0, 9, 12), V(0, 20, 21)},
         {V(0, 0, 12), V(0, 20, 21)}},
        {"a merge into the open visit at the end stays open",
         {2, 0},
         {V(0, 4, 6), V(0, 7, 10, false)},
         {V(0, 4, 10, false)}},
        {"a visit of exactly D records is kept, one of D - 1 dropped",
         {0, 3},
         {V(0, 0, 3), V(0, 5, 7), V(0, 9, 12)},
         {V(0, 0, 3), V(0, 9, 12)}},
        {"the open visit at the end is never dropped",
         {0, 10},
         {V(0, 2, 3), V(0, 5, 6, false)},
         {V(0, 5, 6, false)}},
        {"a visit from record 0 is dropped like any other", {0, 2}, {V(0, 0, 1), V(0, 4, 9)}, {V(0, 4, 9)}},
        {"short visits merged first are long enough to stay", {2, 5}, {V(0, 0, 3), V(0, 4, 7)}, {V(0, 0, 7)}},
        {"merge comes before drop: a short visit still bridges a gap",
         {3, 3},
         {V(0, 0, 10), V(0, 14, 15), V(0, 17, 30)},
         {V(0, 0, 10), V(0, 14, 30)}},
        {"regions are ruled apart, visits of others between do not count",
         {2, 0},
         {V(0, 0, 2), V(1, 1, 4), V(0, 3, 6), V(1, 8, 9)},
         {V(0, 0, 6), V(1, 1, 4), V(1, 8, 9)}},
        {"everything dropped", {0, 60}, {V(0, 0, 5), V(2, 7, 9)}, {}},
        {"no visits", {5, 5}, {}, {}},
    };
    for (const Case& c : cases)
    {
        std::vector<VisitRow> visits = c.visits;
        ApplyEntryRules(visits, c.rules);
        EXPECT_TRUE(Same(visits, c.expected))
            << c.name << ": got " << Describe(visits) << "want " << Describe(c.expected);
    }
}

constexpr Rect kBoxA{50, 50, 175, 175};
constexpr Point kOut{10, 10};
constexpr Point kCoreA{60, 100};

std::vector<TrackRecord> Walk(const std::vector<Point>& points)
{
    std::vector<Spot> spots;
    for (const Point& p : points)
        spots.push_back({1000 + static_cast<std::int64_t>(spots.size()), p.x, p.y});
    return RecordsOf(spots);
}

// Test that the visits, their numbers and every figure of the regions and the session come from
// the visits the rules leave.
TEST(EntryRules, FiguresComeFromTheVisitsLeft)
{
    // Raw visits: 1..3, 4..5 (after an exit of one record), 8..9 open at the end.
    const std::vector<TrackRecord> records =
        Walk({kOut, kCoreA, kCoreA, kOut, kCoreA, kOut, kOut, kOut, kCoreA});
    struct Case
    {
        const char* name;
        double mergeGapSeconds;
        double minVisitSeconds;
        std::vector<VisitRow> visits;
        std::uint64_t outsideAll;
        std::optional<std::uint64_t> latency;
        std::optional<double> meanVisitSeconds;
    };
    const std::vector<Case> cases = {
        {"no rules", 0.0, 0.0, {V(0, 1, 3), V(0, 4, 5), V(0, 8, 9, false)}, 5, 1, 1.5 / 60},
        {"the exit of one record merged", 2.0 / 60, 0.0, {V(0, 1, 5), V(0, 8, 9, false)}, 4, 1, 4.0 / 60},
        {"short visits dropped: the open one stays", 0.0, 3.0 / 60, {V(0, 8, 9, false)}, 8, 8, std::nullopt},
        {"merged, then long enough", 2.0 / 60, 4.0 / 60, {V(0, 1, 5), V(0, 8, 9, false)}, 4, 1, 4.0 / 60},
    };
    for (const Case& c : cases)
    {
        AnalysisSettings settings;
        settings.mergeGapSeconds = c.mergeGapSeconds;
        settings.minVisitSeconds = c.minVisitSeconds;
        const VisitTable table = BuildTable(records, TableOf({kBoxA}), settings);
        EXPECT_TRUE(Same(table.visits, c.visits))
            << c.name << ": got " << Describe(table.visits) << "want " << Describe(c.visits);
        for (std::size_t k = 0; k < table.visits.size(); ++k)
            EXPECT_EQ(table.visits[k].visit, k + 1) << c.name;
        const RegionSummary& a = table.regions.at(0);
        std::uint64_t inside = 0;
        for (const VisitRow& v : c.visits)
            inside += v.DurationRecords();
        EXPECT_EQ(a.entries, c.visits.size()) << c.name;
        EXPECT_EQ(a.completeVisits, c.visits.size() - 1) << c.name;
        EXPECT_EQ(a.timeInsideRecords, inside) << c.name;
        EXPECT_EQ(a.latencyRecords, c.latency) << c.name;
        ASSERT_EQ(a.meanVisitSeconds.has_value(), c.meanVisitSeconds.has_value()) << c.name;
        if (c.meanVisitSeconds)
        {
            EXPECT_DOUBLE_EQ(*a.meanVisitSeconds, *c.meanVisitSeconds) << c.name;
        }
        EXPECT_EQ(table.session.recordsOutsideAll, c.outsideAll) << c.name;
    }
}
} // namespace
