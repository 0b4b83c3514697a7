#include "analysis/TrackingQuality.h"

#include "QualityTestTracks.h"
#include "base/ResultCodes.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackRuns.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
class TrackingQualityTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CScopedMessageSink scoped{sink};
    CTempDir dir;
};
} // namespace

// Test the figures of a crafted track as the lines tracktool prints and the window shows.
TEST_F(TrackingQualityTest, FiguresOfACraftedTrack)
{
    const std::string track = CraftedTrack().Write(dir.File("crafted.qtf"));
    QualitySummary summary;
    ASSERT_EQ(RunQualityReport(track, QualityOptions{}, summary), kOk);
    const std::vector<std::string> expected = {
        "file: crafted.qtf",
        "records: 8",
        "min target distance: 10",
        "max target distance: 100",
        "computed: 5 (0.625000)",
        "held: 1 (0.125000)",
        "few: 1 (0.125000)",
        "unterminated: 1 (0.125000)",
        "position distance median px: 5.000000",
        "position distance p95 px: 50.000000",
        "position distance max px: 60.000000",
        "heading difference median deg: 0.000000",
        "heading difference p95 deg: 9.800000",
        "heading difference max deg: 10.000000",
        "jump threshold px: 40",
        "jumps: 4",
        "largest jump 1: record 4, 81.614950 px",
        "largest jump 2: record 2, 81.000000 px",
        "largest jump 3: record 6, 60.000000 px",
        "largest jump 4: record 7, 60.000000 px",
        "longest gap records: 2",
        "longest gap s: 0.033333",
        "longest gap start record: 2",
    };
    EXPECT_EQ(FormatQualityFigures(summary), expected);
    EXPECT_TRUE(sink.messages.empty());
}

// Test that a jump is a step strictly longer than the threshold.
TEST_F(TrackingQualityTest, JumpsAreStepsLongerThanTheThreshold)
{
    const std::string track = CraftedTrack().Write(dir.File("crafted.qtf"));
    struct Case
    {
        std::uint32_t threshold;
        std::uint64_t jumps;
        std::vector<std::uint64_t> records; // of the largest, in order
    };
    const Case cases[] = {
        {0, 6, {4, 2, 6, 7, 5}}, {59, 4, {4, 2, 6, 7}}, {60, 2, {4, 2}}, {81, 1, {4}}, {82, 0, {}}};
    for (const Case& c : cases)
    {
        QualitySummary summary;
        ASSERT_EQ(RunQualityReport(track, QualityOptions{10, 100, c.threshold}, summary), kOk);
        EXPECT_EQ(summary.jumps, c.jumps) << c.threshold;
        std::vector<std::uint64_t> records;
        for (const QualityJump& jump : summary.largestJumps)
            records.push_back(jump.record);
        EXPECT_EQ(records, c.records) << c.threshold;
    }
}

// Test the figures of tracks with nothing to measure: values that do not exist read "none".
TEST_F(TrackingQualityTest, FiguresWithoutComputedRecords)
{
    struct Case
    {
        const char* what;
        CTrackFileBuilder track;
        std::vector<std::string> lines; // expected among the figures
    };
    CTrackFileBuilder few;
    few.Add(Record(1, {5, 5}, 0, {})).Add(Record(2, {5, 5}, 0, {}));
    const Case cases[] = {
        {"no records",
         CTrackFileBuilder(),
         {"records: 0", "computed: 0 (none)", "unterminated: 0 (none)", "position distance median px: none",
          "heading difference max deg: none", "jumps: 0", "longest gap records: 0", "longest gap s: 0.000000",
          "longest gap start record: none"}},
        {"no computed record",
         few,
         {"records: 2", "computed: 0 (0.000000)", "few: 2 (1.000000)", "position distance p95 px: none",
          "longest gap records: 2", "longest gap start record: 0"}},
    };
    for (const Case& c : cases)
    {
        const std::string track = c.track.Write(dir.File("t.qtf"));
        QualitySummary summary;
        ASSERT_EQ(RunQualityReport(track, QualityOptions{}, summary), kOk) << c.what;
        const std::vector<std::string> figures = FormatQualityFigures(summary);
        for (const std::string& line : c.lines)
            EXPECT_NE(std::find(figures.begin(), figures.end(), line), figures.end())
                << c.what << ": " << line;
    }
}
