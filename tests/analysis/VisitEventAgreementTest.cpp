// On thousands of random tracks with regions of every shape, the complete visits of the visit table
// are, entry for entry, the timestamps the event files hold, and every visit (open ones too) is
// where a plain model of the rule puts it, by record index. And the window's run and the visit table
// judge a circle or polygon by its shape, never by its box (the outputs' event files are the
// window's: tests/outputs).
#include "VisitTestSupport.h"
#include "base/ResultCodes.h"
#include "regions/RegionEventGenerator.h"
#include "support/RecordingMessageSink.h"
#include "support/ShapeModel.h"
#include "support/TempDir.h"
#include "trackfile/TrackFile.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace
{
// A reader that serves records from memory, for the generator's own run.
class CMemoryTrack final : public CTrackFile
{
public:
    explicit CMemoryTrack(const std::vector<TrackRecord>& records) : m_records(records) {}
    int GetRecord(TrackRecord& dest, std::uint32_t index) override
    {
        if (index >= m_records.size())
            return kErrNoRecord;
        dest = m_records[index];
        return kOk;
    }

private:
    const std::vector<TrackRecord>& m_records;
};

std::vector<std::int64_t> EventTimes(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    std::vector<std::int64_t> times;
    for (std::size_t at = kTrackHeaderSize; at + 8 <= bytes.size(); at += 8)
    {
        std::uint64_t value = 0;
        for (std::size_t b = 0; b < 8; ++b)
            value |= std::uint64_t{static_cast<std::uint8_t>(bytes[at + b])} << (8 * b);
        times.push_back(static_cast<std::int64_t>(value));
    }
    return times;
}

// The zone of a position by the plain model: 0 outside, 1 border, 2 core.
int ModelZone(const RegionShape& shape, std::int32_t margin, std::int64_t x, std::int64_t y)
{
    if (shape.kind == ShapeKind::Circle)
        return ModelCircleZone(shape.circle.cx, shape.circle.cy, shape.circle.r, margin,
                               static_cast<double>(x), static_cast<double>(y));
    if (shape.kind == ShapeKind::Polygon)
        return ModelPolygonZone(shape.points, margin, static_cast<double>(x), static_cast<double>(y));
    const Rect& rect = shape.rect;
    const std::int64_t left = std::min(rect.left, rect.right);
    const std::int64_t right = std::max(rect.left, rect.right);
    const std::int64_t top = std::min(rect.top, rect.bottom);
    const std::int64_t bottom = std::max(rect.top, rect.bottom);
    if (!(left <= x && x < right && top <= y && y < bottom))
        return 0;
    return left + margin <= x && x < right - margin && top + margin <= y && y < bottom - margin ? 2 : 1;
}

// The rule written plainly: a way in starts at the first record inside the region, becomes a
// visit once it reaches the core, and ends at the first record outside.
std::vector<VisitRow> ModelVisits(const std::vector<TrackRecord>& records, const RegionShape& shape,
                                  std::int32_t margin, std::int32_t region)
{
    // Timestamps are copied out of the packed records before use: they are never referenced.
    const auto timeOf = [&records](std::uint64_t i) -> std::int64_t { return records[i].timestamp; };
    std::vector<VisitRow> visits;
    std::optional<std::uint64_t> wayIn;
    bool core = false;
    for (std::uint64_t i = 0; i < records.size(); ++i)
    {
        const int zone = ModelZone(shape, margin, records[i].x, records[i].y);
        if (zone == 0)
        {
            if (core)
                visits.push_back({region, visits.size() + 1, *wayIn, i, timeOf(*wayIn), timeOf(i), true});
            wayIn.reset();
            core = false;
            continue;
        }
        if (!wayIn)
            wayIn = i;
        if (zone == 2)
            core = true;
    }
    if (core)
        visits.push_back(
            {region, visits.size() + 1, *wayIn, records.size(), timeOf(*wayIn), std::nullopt, false});
    return visits;
}

struct RandomTrack
{
    std::vector<TrackRecord> records;
    std::vector<RegionShape> shapes;
    std::int32_t margin = 8;
};

// A random walk around a small arena, with jumps and pauses, timestamps that start anywhere (0
// and below included) and may repeat, and regions of every shape: drawn backwards, narrow,
// empty, overlapping, or covering everything.
RandomTrack MakeRandomTrack(std::mt19937_64& random)
{
    const auto pick = [&random](std::int64_t low, std::int64_t high)
    { return std::uniform_int_distribution<std::int64_t>(low, high)(random); };
    RandomTrack track;
    const std::int32_t margins[] = {0, 1, 8, 8, 8, 15, 40, -3};
    track.margin = margins[pick(0, std::size(margins) - 1)];
    const auto regions = static_cast<std::size_t>(pick(1, 6));
    for (std::size_t j = 0; j < regions; ++j)
    {
        const auto left = static_cast<std::int32_t>(pick(-20, 150));
        const auto top = static_cast<std::int32_t>(pick(-20, 150));
        const auto width = static_cast<std::int32_t>(pick(0, 3) == 0 ? pick(0, 20) : pick(20, 160));
        const auto height = static_cast<std::int32_t>(pick(0, 3) == 0 ? pick(0, 20) : pick(20, 160));
        Rect r{left, top, left + width, top + height};
        if (pick(0, 3) == 0)
            std::swap(r.left, r.right);
        if (pick(0, 3) == 0)
            std::swap(r.top, r.bottom);
        if (pick(0, 20) == 0)
            r = Rect{-1000, -1000, 1000, 1000};
        const std::int64_t kind = pick(0, 2);
        if (kind == 0)
            track.shapes.push_back(RegionShape::Rectangle(r));
        else if (kind == 1)
            track.shapes.push_back(RegionShape::Circle(
                static_cast<std::int32_t>(pick(-20, 220)), static_cast<std::int32_t>(pick(-20, 220)),
                static_cast<std::int32_t>(pick(0, 3) == 0 ? pick(1, 9) : pick(10, 120))));
        else
            track.shapes.push_back(RandomPolygon(pick));
    }
    const auto count = static_cast<std::size_t>(pick(0, 3) == 0 ? pick(0, 5) : pick(20, 400));
    std::int64_t t = pick(0, 4) == 0 ? 0 : pick(-100, 100);
    std::int64_t x = pick(-10, 200);
    std::int64_t y = pick(-10, 200);
    const std::int64_t stride = pick(0, 3);
    for (std::size_t i = 0; i < count; ++i)
    {
        if (pick(0, 30) == 0)
        {
            x = pick(-30, 250);
            y = pick(-30, 250);
        }
        else
        {
            x += pick(-6, 6);
            y += pick(-6, 6);
        }
        track.records.push_back(MakeRecord(t, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
        t += stride == 0 ? 0 : pick(0, stride);
    }
    return track;
}

TEST(VisitEventAgreement, CompleteVisitsAreTheEventFilesEntryForEntry)
{
    std::mt19937_64 random(20240611);
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    std::uint64_t completeSeen = 0;
    std::uint64_t openSeen = 0;
    constexpr int kTracks = 2000;
    for (int round = 0; round < kTracks; ++round)
    {
        const RandomTrack track = MakeRandomTrack(random);
        std::vector<std::string> names;
        CRegionTable regions;
        for (std::size_t j = 0; j < track.shapes.size(); ++j)
        {
            names.push_back("R" + std::to_string(j));
            regions.SetShape(static_cast<std::int32_t>(j), track.shapes[j]);
            regions.m_regionNames[j] = names[j];
        }
        regions.m_nRegionCount = static_cast<std::int32_t>(track.shapes.size());
        const VisitTable table =
            BuildTable(track.records, regions, track.margin, static_cast<std::size_t>(round % 7 + 1));

        CMemoryTrack reader(track.records);
        CRegionEventGenerator generator;
        generator.Init(track.margin);
        generator.SetSource(&reader, "track.qtf", static_cast<std::uint32_t>(track.records.size()));
        generator.SetRegions(regions);
        generator.SetOutputDirectory(dir.Path());
        const int ran = generator.Run();
        ASSERT_EQ(ran, track.records.empty() ? kErrNoInput : kOk) << round;

        for (std::size_t j = 0; j < track.shapes.size(); ++j)
        {
            const auto region = static_cast<std::int32_t>(j);
            std::vector<VisitRow> ofRegion;
            std::copy_if(table.visits.begin(), table.visits.end(), std::back_inserter(ofRegion),
                         [region](const VisitRow& v) { return v.region == region; });
            std::vector<std::int64_t> enters;
            std::vector<std::int64_t> leaves;
            for (const VisitRow& v : ofRegion)
            {
                if (!v.complete)
                {
                    ++openSeen;
                    continue;
                }
                ++completeSeen;
                enters.push_back(v.enterTimestamp);
                leaves.push_back(*v.leaveTimestamp);
            }
            if (!track.records.empty())
            {
                EXPECT_EQ(enters, EventTimes(dir.File("track.qtf_" + names[j] + "_Enter.qsf")))
                    << round << " " << j;
                EXPECT_EQ(leaves, EventTimes(dir.File("track.qtf_" + names[j] + "_Leave.qsf")))
                    << round << " " << j;
            }
            const std::vector<VisitRow> model =
                ModelVisits(track.records, track.shapes[j], track.margin, region);
            ASSERT_EQ(ofRegion.size(), model.size()) << round << " " << j;
            for (std::size_t k = 0; k < model.size(); ++k)
            {
                EXPECT_EQ(ofRegion[k].visit, model[k].visit) << round << " " << j;
                EXPECT_EQ(ofRegion[k].enterRecord, model[k].enterRecord) << round << " " << j;
                EXPECT_EQ(ofRegion[k].leaveRecord, model[k].leaveRecord) << round << " " << j;
                EXPECT_EQ(ofRegion[k].enterTimestamp, model[k].enterTimestamp) << round << " " << j;
                EXPECT_EQ(ofRegion[k].leaveTimestamp, model[k].leaveTimestamp) << round << " " << j;
                EXPECT_EQ(ofRegion[k].complete, model[k].complete) << round << " " << j;
            }
        }
        // The rows come in the order the visits started, regions in table order at the same record.
        EXPECT_TRUE(std::is_sorted(table.visits.begin(), table.visits.end(),
                                   [](const VisitRow& a, const VisitRow& b) {
                                       return std::pair(a.enterRecord, a.region) <
                                              std::pair(b.enterRecord, b.region);
                                   }))
            << round;
        if (HasFailure())
            break;
    }
    EXPECT_TRUE(sink.messages.empty());
    // The comparison covers many visits of both kinds.
    EXPECT_GT(completeSeen, 3000u);
    EXPECT_GT(openSeen, 200u);
}
} // namespace

namespace
{
// A circle (100, 100, 40), a diamond polygon and a rectangle (300, 300, 340, 340), and a track that
// dwells in the corners of the circle's and the diamond's boxes (inside the boxes, outside the
// shapes) before it visits each shape's middle once.
CRegionTable ShapesTable()
{
    CRegionTable table;
    table.SetShape(0, RegionShape::Circle(100, 100, 40));
    table.SetShape(1, RegionShape::Polygon({{200, 160}, {240, 200}, {200, 240}, {160, 200}}));
    table.SetShape(2, RegionShape::Rectangle(Rect{300, 300, 340, 340}));
    table.m_regionNames[0] = "pool";
    table.m_regionNames[1] = "diamond";
    table.m_regionNames[2] = "box";
    table.m_nRegionCount = 3;
    return table;
}

std::vector<TrackRecord> CornerDwellingTrack()
{
    const Spot spots[] = {{1, 0, 0},     {2, 62, 62},    {3, 65, 66},   {4, 0, 0}, {5, 162, 162},
                          {6, 238, 238}, {7, 0, 0},      {8, 100, 100}, {9, 0, 0}, {10, 200, 200},
                          {11, 0, 0},    {12, 320, 320}, {13, 0, 0}};
    return RecordsOf(std::vector<Spot>(std::begin(spots), std::end(spots)));
}
} // namespace

TEST(VisitEventAgreement, CirclesAndPolygonsAreJudgedByTheirShapeNotTheirBox)
{
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    const CRegionTable table = ShapesTable();
    const std::vector<TrackRecord> records = CornerDwellingTrack();
    CTrackFileBuilder builder;
    for (const TrackRecord& record : records)
        builder.Add(record);
    const std::string track = builder.Write(dir.File("shapes.qtf"));
    // One visit each: the shape's middle, never the box's corners.
    const std::vector<std::int64_t> enters[] = {{8}, {10}, {12}};
    const std::vector<std::int64_t> leaves[] = {{9}, {11}, {13}};

    // The window's run, set up from the table.
    CTrackFile reader;
    ASSERT_EQ(reader.Open(track), kOk);
    CRegionEventGenerator generator;
    ASSERT_EQ(generator.Prepare(reader, table, 8), kOk);
    generator.SetOutputDirectory(dir.Path());
    ASSERT_EQ(generator.Run(), kOk);

    const VisitTable built = BuildTable(records, table, 8);
    for (std::size_t j = 0; j < 3; ++j)
    {
        const std::string& name = table.m_regionNames[j];
        EXPECT_EQ(EventTimes(dir.File("shapes.qtf_" + name + "_Enter.qsf")), enters[j]) << name;
        EXPECT_EQ(EventTimes(dir.File("shapes.qtf_" + name + "_Leave.qsf")), leaves[j]) << name;
        EXPECT_EQ(built.regions[j].entries, 1u) << name;
    }
    for (const VisitRow& visit : built.visits)
        EXPECT_EQ(visit.enterTimestamp, enters[static_cast<std::size_t>(visit.region)].front())
            << visit.region;
    EXPECT_TRUE(sink.messages.empty());
}
