// The entry-rule sensitivity: on random tracks with regions of every shape, each of its figures is
// the one a visit table counted with that margin and minimum visit gives; at the edges (a region
// never entered, a margin wider than the shape, a track of one record, no regions, visits one record
// either side of a grid minimum); where the current settings fall on the grids; its CSV text; and
// the short visits listed for a threshold.
#include "VisitTestSupport.h"
#include "analysis/SensitivityCsv.h"
#include "analysis/ShortVisits.h"

#include <gtest/gtest.h>
#include <sstream>

namespace
{
SensitivityResult SensitivityOf(const std::vector<TrackRecord>& records, const CRegionTable& regions,
                                std::int32_t margin, const AnalysisSettings& settings,
                                std::size_t blockRecords = 3)
{
    CSensitivityBuilder builder(regions, margin, settings);
    FeedRecords(builder, records, blockRecords);
    return builder.Result();
}

AnalysisSettings Rules(double mergeGapSeconds, double minVisitSeconds)
{
    AnalysisSettings settings;
    settings.mergeGapSeconds = mergeGapSeconds;
    settings.minVisitSeconds = minVisitSeconds;
    return settings;
}

// Gives about two regions in three of the table a circle or a polygon in place of its rectangle.
void GiveRandomShapes(CRegionTable& table, std::mt19937_64& random)
{
    const auto pick = [&random](std::int64_t low, std::int64_t high)
    { return std::uniform_int_distribution<std::int64_t>(low, high)(random); };
    for (std::int32_t j = 0; j < table.m_nRegionCount; ++j)
    {
        const Rect box = table.m_regionRects[static_cast<std::size_t>(j)];
        const std::int64_t kind = pick(0, 2);
        if (kind == 1)
            table.SetShape(j, RegionShape::Circle((box.left + box.right) / 2, (box.top + box.bottom) / 2,
                                                  static_cast<std::int32_t>(pick(1, 60))));
        else if (kind == 2)
            table.SetShape(j, RandomPolygon(pick));
    }
}

std::vector<SensitivityFigures> FiguresOf(const VisitTable& table)
{
    std::vector<SensitivityFigures> figures;
    for (const RegionSummary& region : table.regions)
        figures.push_back(SensitivityFigures{region.entries, region.timeInsideRecords});
    return figures;
}

std::vector<SensitivityFigures> Column(const SensitivityResult& result, SensitivityParameter parameter,
                                       std::size_t k)
{
    std::vector<SensitivityFigures> figures;
    for (const RegionSensitivity& region : result.regions)
        figures.push_back(region.Series(parameter)[k]);
    return figures;
}

std::vector<SensitivityFigures> CurrentColumn(const SensitivityResult& result)
{
    std::vector<SensitivityFigures> figures;
    for (const RegionSensitivity& region : result.regions)
        figures.push_back(region.current);
    return figures;
}

std::string Describe(const std::vector<SensitivityFigures>& figures)
{
    std::string text;
    for (const SensitivityFigures& f : figures)
        text += std::to_string(f.entries) + "/" + std::to_string(f.insideRecords) + " ";
    return text;
}

// Test that every figure is the visit table's at that margin and minimum visit, on random tracks
// with rectangles, circles and polygons, current margins on the grid, between its values and past
// it, and random merge gaps and minimum visits.
TEST(Sensitivity, EveryFigureIsTheVisitTablesAtThatValue)
{
    std::mt19937_64 random(90125);
    const auto pick = [&random](std::int64_t low, std::int64_t high)
    { return std::uniform_int_distribution<std::int64_t>(low, high)(random); };
    std::uint64_t entriesSeen = 0;
    std::uint64_t minVisitChanges = 0; // regions whose entries differ between 0 and 2 s
    std::uint64_t marginChanges = 0;   // regions whose entries differ between margins 0 and 16
    for (int round = 0; round < 120; ++round)
    {
        WanderingTrack track = MakeWanderingTrack(random, 1200);
        GiveRandomShapes(track.regions, random);
        const auto margin = static_cast<std::int32_t>(pick(0, 2) == 0 ? pick(0, 20) : 2 * pick(0, 8));
        const AnalysisSettings settings = Rules(static_cast<double>(pick(0, 30)) / 60,
                                                pick(0, 1) == 0 ? static_cast<double>(pick(0, 22)) / 10
                                                                : static_cast<double>(pick(0, 150)) / 60);
        const SensitivityResult result = SensitivityOf(track.records, track.regions, margin, settings,
                                                       static_cast<std::size_t>(pick(1, 50)));
        ASSERT_EQ(result.regions.size(), static_cast<std::size_t>(track.regions.m_nRegionCount)) << round;
        EXPECT_EQ(result.records, track.records.size()) << round;

        for (std::size_t k = 0; k < kSensitivityMarginCount; ++k)
        {
            const auto gridMargin = static_cast<std::int32_t>(2 * k);
            const VisitTable table = BuildTable(track.records, track.regions, settings, gridMargin, 7);
            EXPECT_EQ(Describe(Column(result, SensitivityParameter::Margin, k)), Describe(FiguresOf(table)))
                << round << " margin " << gridMargin;
        }
        for (std::size_t k = 0; k < kSensitivityMinVisitCount; ++k)
        {
            AnalysisSettings atValue = settings;
            atValue.minVisitSeconds = static_cast<double>(k) / 10;
            const VisitTable table = BuildTable(track.records, track.regions, atValue, margin, 7);
            EXPECT_EQ(Describe(Column(result, SensitivityParameter::MinVisit, k)), Describe(FiguresOf(table)))
                << round << " minimum visit " << atValue.minVisitSeconds;
        }
        const VisitTable current = BuildTable(track.records, track.regions, settings, margin, 7);
        EXPECT_EQ(Describe(CurrentColumn(result)), Describe(FiguresOf(current))) << round;

        for (const RegionSensitivity& region : result.regions)
        {
            entriesSeen += region.byMinVisit.front().entries;
            minVisitChanges += region.byMinVisit.front().entries != region.byMinVisit.back().entries ? 1 : 0;
            marginChanges += region.byMargin.front().entries != region.byMargin.back().entries ? 1 : 0;
        }
        if (HasFailure())
            break;
    }
    // The grids made a difference often enough for the comparison to mean something.
    EXPECT_GT(entriesSeen, 700u);
    EXPECT_GT(minVisitChanges, 120u);
    EXPECT_GT(marginChanges, 90u);
}

// One region, the position at (x, y) for a number of records.
struct Stay
{
    std::int32_t x;
    std::int32_t y;
    std::size_t records;
};

std::vector<TrackRecord> RecordsOfStays(const std::vector<Stay>& stays)
{
    std::vector<TrackRecord> records;
    for (const Stay& stay : stays)
        for (std::size_t k = 0; k < stay.records; ++k)
            records.push_back(MakeRecord(static_cast<std::int64_t>(records.size()) * 10, stay.x, stay.y));
    return records;
}

CRegionTable TableOfShapes(const std::vector<RegionShape>& shapes)
{
    CRegionTable table;
    for (std::size_t j = 0; j < shapes.size(); ++j)
        table.SetShape(static_cast<std::int32_t>(j), shapes[j]);
    table.m_nRegionCount = static_cast<std::int32_t>(shapes.size());
    return table;
}

// Test the figures at the edges: every region of a case has the same expected series.
TEST(Sensitivity, FiguresAtTheEdges)
{
    const SensitivityFigures none{0, 0};
    struct Case
    {
        const char* name;
        std::vector<RegionShape> shapes;
        std::vector<Stay> stays;
        std::array<SensitivityFigures, kSensitivityMinVisitCount> byMinVisit; // at margin 8
        std::array<SensitivityFigures, kSensitivityMarginCount> byMargin;     // at minimum visit 0
    };
    std::array<SensitivityFigures, kSensitivityMinVisitCount> nothing{};
    nothing.fill(none);
    std::array<SensitivityFigures, kSensitivityMarginCount> nowhere{};
    nowhere.fill(none);
    std::array<SensitivityFigures, kSensitivityMinVisitCount> oneOpen{};
    oneOpen.fill(SensitivityFigures{1, 1});
    std::array<SensitivityFigures, kSensitivityMarginCount> oneOpenAtEveryMargin{};
    oneOpenAtEveryMargin.fill(SensitivityFigures{1, 1});
    // A stay of 30 records at the centre of a shape 10 across: its core reaches the centre up to a
    // margin of 4 (the centre is 5 from every edge), and there is none from 6 on.
    const SensitivityFigures stay{1, 30};
    const std::array<SensitivityFigures, kSensitivityMarginCount> upToFour = {stay, stay, stay, none, none,
                                                                              none, none, none, none};
    // Visits of 5, 6, 11, 12, 119 and 120 records, and one of 3 still open at the end: a grid
    // minimum of k / 10 s is 6k records, and drops the complete visits shorter than that.
    const auto visits = [](std::uint64_t entries, std::uint64_t records) {
        return SensitivityFigures{entries, records};
    };
    std::array<SensitivityFigures, kSensitivityMinVisitCount> dropped{};
    dropped.fill(visits(3, 119 + 120 + 3));
    dropped[0] = visits(7, 5 + 6 + 11 + 12 + 119 + 120 + 3);
    dropped[1] = visits(6, 6 + 11 + 12 + 119 + 120 + 3);
    dropped[2] = visits(4, 12 + 119 + 120 + 3);
    dropped[20] = visits(2, 120 + 3);
    std::array<SensitivityFigures, kSensitivityMarginCount> keptAtEveryMargin{};
    keptAtEveryMargin.fill(dropped[0]);

    const RegionShape square = RegionShape::Rectangle(Rect{0, 0, 10, 10});
    const RegionShape round = RegionShape::Circle(5, 5, 5);
    const RegionShape diamond = RegionShape::Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
    const RegionShape wide = RegionShape::Rectangle(Rect{0, 0, 100, 100});
    const std::vector<Case> cases = {
        {"a region never entered",
         {RegionShape::Rectangle(Rect{100, 100, 150, 150}), RegionShape::Circle(300, 300, 20)},
         {{10, 10, 50}, {0, 0, 7}},
         nothing,
         nowhere},
        // At margin 8 the shapes have no core: no entry whatever the minimum visit.
        {"a margin wider than the shape",
         {square, round, diamond},
         {{20, 20, 4}, {5, 5, 30}, {20, 20, 4}},
         nothing,
         upToFour},
        {"a track of one record, inside: a visit still open, never dropped",
         {wide},
         {{50, 50, 1}},
         oneOpen,
         oneOpenAtEveryMargin},
        {"visits one record either side of a grid minimum",
         {wide},
         {{50, 50, 5},
          {200, 200, 2},
          {50, 50, 6},
          {200, 200, 2},
          {50, 50, 11},
          {200, 200, 2},
          {50, 50, 12},
          {200, 200, 2},
          {50, 50, 119},
          {200, 200, 2},
          {50, 50, 120},
          {200, 200, 2},
          {50, 50, 3}},
         dropped,
         keptAtEveryMargin},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const SensitivityResult result =
            SensitivityOf(RecordsOfStays(c.stays), TableOfShapes(c.shapes), 8, Rules(0.0, 0.0));
        ASSERT_EQ(result.regions.size(), c.shapes.size());
        for (const RegionSensitivity& region : result.regions)
        {
            SCOPED_TRACE(region.region);
            EXPECT_EQ(Describe({region.byMinVisit.begin(), region.byMinVisit.end()}),
                      Describe({c.byMinVisit.begin(), c.byMinVisit.end()}));
            EXPECT_EQ(Describe({region.byMargin.begin(), region.byMargin.end()}),
                      Describe({c.byMargin.begin(), c.byMargin.end()}));
            EXPECT_EQ(region.current, region.byMinVisit[0]);
        }
    }
}

// Test that a table without regions and a track without records give a result all the same.
TEST(Sensitivity, NoRegionsOrNoRecords)
{
    const SensitivityResult noRegions =
        SensitivityOf(RecordsOfStays({{5, 5, 20}}), CRegionTable{}, 8, Rules(0.5, 0.25));
    EXPECT_TRUE(noRegions.regions.empty());
    EXPECT_EQ(noRegions.records, 20u);
    EXPECT_EQ(FormatSensitivityCsv(noRegions, "t.qtf"), std::string(kSensitivityCsvHeader) + "\n");

    const SensitivityResult noRecords =
        SensitivityOf({}, TableOf({Rect{0, 0, 10, 10}, Rect{5, 5, 50, 50}}), 3, Rules(0.5, 0.25));
    ASSERT_EQ(noRecords.regions.size(), 2u);
    EXPECT_EQ(noRecords.regions[1].byMargin[0], (SensitivityFigures{}));
    EXPECT_EQ(noRecords.regions[1].byMinVisit[20], (SensitivityFigures{}));
}

// Test where the current settings fall on the grids: a margin on the grid or not, a minimum visit
// of the same number of records as a grid value or not, and the settings kept as given.
TEST(Sensitivity, CurrentValuesOnTheGrids)
{
    struct Case
    {
        std::int32_t margin;
        double minVisitSeconds;
        std::optional<std::size_t> marginIndex;
        std::optional<std::size_t> minVisitIndex;
    };
    const Case cases[] = {
        {8, 0.25, 4, std::nullopt},             // 15 records, between 0.2 and 0.3 s
        {0, 0.0, 0, 0},                         //
        {16, 2.0, 8, 20},                       // the last of each grid
        {3, 0.1, std::nullopt, 1},              // an odd margin
        {18, 2.05, std::nullopt, std::nullopt}, // past both grids (123 records)
        {-2, 0.108, std::nullopt, 1},           // 6.48 records count as 6, as 0.1 s does
        {2, 1.0 / 60, 1, std::nullopt},         // one record
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.margin) + " " + std::to_string(c.minVisitSeconds));
        const SensitivityResult result =
            SensitivityOf(RecordsOfStays({{5, 5, 3}}), TableOf({Rect{0, 0, 40, 40}}), c.margin,
                          Rules(0.5, c.minVisitSeconds));
        EXPECT_EQ(result.CurrentIndex(SensitivityParameter::Margin), c.marginIndex);
        EXPECT_EQ(result.CurrentIndex(SensitivityParameter::MinVisit), c.minVisitIndex);
        EXPECT_EQ(result.CurrentValue(SensitivityParameter::Margin), c.margin);
        EXPECT_EQ(result.CurrentValue(SensitivityParameter::MinVisit), c.minVisitSeconds);
        EXPECT_EQ(result.mergeGapSeconds, 0.5);
    }
}

std::vector<std::vector<std::string>> CsvRows(const std::string& text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        std::vector<std::string> fields;
        std::istringstream fieldsIn(line);
        for (std::string field; std::getline(fieldsIn, field, ',');)
            fields.push_back(field);
        rows.push_back(fields);
    }
    return rows;
}

// Test the CSV text: the rows in parameter, value and region order, the values as written, the
// figures of each row, and a name with a comma quoted.
TEST(SensitivityCsv, RowsInOrderWithTheirValues)
{
    // Region 0 is visited for 12 records, region 1 ("b c") never.
    const SensitivityResult result = SensitivityOf(
        RecordsOfStays({{200, 200, 2}, {50, 50, 12}, {200, 200, 1}}),
        TableOf({Rect{0, 0, 100, 100}, Rect{300, 300, 400, 400}}, {"arm", "b c"}), 8, Rules(0.0, 0.0));
    const std::string text = FormatSensitivityCsv(result, "t.qtf");
    const auto rows = CsvRows(text);
    ASSERT_EQ(rows.size(), 1 + 2 * (kSensitivityMinVisitCount + kSensitivityMarginCount));
    EXPECT_EQ(text.substr(0, text.find('\n')), "file,parameter,value,region,name,entries,time_inside_s");

    const std::vector<std::string> minVisits = {"0",   "0.1", "0.2", "0.3", "0.4", "0.5", "0.6",
                                                "0.7", "0.8", "0.9", "1",   "1.1", "1.2", "1.3",
                                                "1.4", "1.5", "1.6", "1.7", "1.8", "1.9", "2"};
    const std::vector<std::string> margins = {"0", "2", "4", "6", "8", "10", "12", "14", "16"};
    std::vector<std::string> expected; // parameter and value of each row, regions within
    for (const std::string& value : minVisits)
        for (int region = 0; region < 2; ++region)
            expected.push_back("min_visit_s " + value + " " + std::to_string(region));
    for (const std::string& value : margins)
        for (int region = 0; region < 2; ++region)
            expected.push_back("margin " + value + " " + std::to_string(region));
    for (std::size_t r = 1; r < rows.size(); ++r)
    {
        ASSERT_EQ(rows[r].size(), 7u) << r;
        EXPECT_EQ(rows[r][0], "t.qtf");
        EXPECT_EQ(rows[r][1] + " " + rows[r][2] + " " + rows[r][3], expected[r - 1]);
    }
    // The visit of 12 records (0.2 s) is dropped from a minimum visit of 0.3 s on.
    EXPECT_EQ(rows[5][4] + "," + rows[5][5] + "," + rows[5][6], "arm,1,0.200000");
    EXPECT_EQ(rows[7][4] + "," + rows[7][5] + "," + rows[7][6], "arm,0,0.000000");
    EXPECT_EQ(rows[8][4] + "," + rows[8][5] + "," + rows[8][6], "b c,0,0.000000");

    const SensitivityResult quoted =
        SensitivityOf({}, TableOf({Rect{0, 0, 1, 1}}, {"b, \"c\""}), 8, Rules(0.0, 0.0));
    EXPECT_NE(FormatSensitivityCsv(quoted, "t.qtf").find("\nt.qtf,margin,16,0,\"b, \"\"c\"\"\",0,0.000000\n"),
              std::string::npos);
}

// Test the short visits at the threshold's edge: a visit exactly as long is not listed, one a
// record shorter is; the open visit never is; other regions' visits never are.
TEST(ShortVisits, ShorterThanTheThresholdOnly)
{
    const auto visit =
        [](std::int32_t region, std::uint64_t number, std::uint64_t enter, std::uint64_t leave, bool complete)
    {
        return VisitRow{region,  number, enter,
                        leave,   0,      complete ? std::optional<std::int64_t>(0) : std::nullopt,
                        complete};
    };
    VisitTable table;
    table.visits = {visit(0, 1, 10, 15, true), visit(1, 1, 12, 15, true), visit(0, 2, 20, 26, true),
                    visit(0, 3, 30, 37, true), visit(0, 4, 40, 42, false)};
    struct Case
    {
        std::int32_t region;
        double thresholdSeconds;
        std::vector<std::string> listed; // "visit@enter record"
    };
    const Case cases[] = {
        {0, 0.0, {}},                          // nothing is shorter than 0
        {0, 5.0 / 60, {}},                     // the visit of 5 records is not shorter than 5
        {0, 0.1, {"1@10"}},                    // 6 records: 5 is shorter, 6 is not
        {0, 0.11, {"1@10", "2@20"}},           // 6.6 records round to 7, as a minimum visit's do
        {0, 3600.0, {"1@10", "2@20", "3@30"}}, // the open visit of 2 is never listed
        {1, 0.1, {"1@12"}},                    // region 1's own
        {2, 3600.0, {}},                       // a region without visits
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.region) + " " + std::to_string(c.thresholdSeconds));
        std::vector<std::string> listed;
        for (const VisitRow& row : FindShortVisits(table, c.region, c.thresholdSeconds))
        {
            EXPECT_EQ(row.region, c.region);
            listed.push_back(std::to_string(row.visit) + "@" + std::to_string(row.enterRecord));
        }
        EXPECT_EQ(listed, c.listed);
    }
}
} // namespace
