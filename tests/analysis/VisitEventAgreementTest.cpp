// On thousands of random tracks, the complete visits of the visit table are, entry for entry, the
// timestamps the event files hold, and every visit (open ones too) is where a plain model of the
// rule puts it, by record index.
#include "VisitTestSupport.h"
#include "base/ResultCodes.h"
#include "regions/RegionEventGenerator.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "trackfile/TrackFile.h"

#include <algorithm>
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

// The rule written plainly: a way in starts at the first record inside the rectangle, becomes a
// visit once it reaches the core, and ends at the first record outside.
std::vector<VisitRow> ModelVisits(const std::vector<TrackRecord>& records, const Rect& rect,
                                  std::int32_t margin, std::int32_t region)
{
    const std::int64_t left = std::min(rect.left, rect.right);
    const std::int64_t right = std::max(rect.left, rect.right);
    const std::int64_t top = std::min(rect.top, rect.bottom);
    const std::int64_t bottom = std::max(rect.top, rect.bottom);
    // Timestamps are copied out of the packed records before use: they are never referenced.
    const auto timeOf = [&records](std::uint64_t i) -> std::int64_t { return records[i].timestamp; };
    std::vector<VisitRow> visits;
    std::optional<std::uint64_t> wayIn;
    bool core = false;
    for (std::uint64_t i = 0; i < records.size(); ++i)
    {
        const std::int64_t x = records[i].x;
        const std::int64_t y = records[i].y;
        if (!(left <= x && x < right && top <= y && y < bottom))
        {
            if (core)
                visits.push_back({region, visits.size() + 1, *wayIn, i, timeOf(*wayIn), timeOf(i), true});
            wayIn.reset();
            core = false;
            continue;
        }
        if (!wayIn)
            wayIn = i;
        if (left + margin <= x && x < right - margin && top + margin <= y && y < bottom - margin)
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
    std::vector<Rect> rects;
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
        track.rects.push_back(r);
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
        for (std::size_t j = 0; j < track.rects.size(); ++j)
            names.push_back("R" + std::to_string(j));
        const CRegionTable regions = TableOf(track.rects, names);
        const VisitTable table =
            BuildTable(track.records, regions, track.margin, static_cast<std::size_t>(round % 7 + 1));

        CMemoryTrack reader(track.records);
        CRegionEventGenerator generator;
        generator.Init(track.margin);
        generator.SetSource(&reader, "track.qtf", static_cast<std::uint32_t>(track.records.size()));
        generator.SetRegions(track.rects.data(), names.data(), static_cast<std::int32_t>(names.size()));
        generator.SetOutputDirectory(dir.Path());
        const int ran = generator.Run();
        ASSERT_EQ(ran, track.records.empty() ? kErrNoInput : kOk) << round;

        for (std::size_t j = 0; j < track.rects.size(); ++j)
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
                ModelVisits(track.records, track.rects[j], track.margin, region);
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
