#include "analysis/TrackingQuality.h"

#include "base/FileFaults.h"
#include "base/ResultCodes.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// A triangle with its center at (219, 134) in the band 10..100 (heading 181 from there), three
// targets that give no triangle, and fifty that never end the list.
const std::vector<TrackWord> kTriangle = {MakeTrackWord(200, 100, kWordBitRR),
                                          MakeTrackWord(260, 135, kWordBitRB),
                                          MakeTrackWord(200, 170, kWordBitRG)};
const std::vector<TrackWord> kNoTriangle = {MakeTrackWord(10, 10, kWordBitRR),
                                            MakeTrackWord(400, 10, kWordBitRB),
                                            MakeTrackWord(10, 400, kWordBitRG)};

std::vector<TrackWord> Fifty()
{
    std::vector<TrackWord> words;
    for (std::uint32_t k = 0; k < kMaxTargets; ++k)
        words.push_back(MakeTrackWord(100 + 3 * k, 100 + k % 7, kWordBitLum));
    return words;
}

TrackRecord Record(std::int64_t timestamp, Point stored, std::int32_t angle,
                   const std::vector<TrackWord>& targets)
{
    TrackRecord record = MakeRecord(timestamp, stored.x, stored.y, angle);
    SetTargets(record, targets);
    return record;
}

// Eight records with every case, known distances (computed: 5, 0, 10, 0, 60), heading differences
// (computed: 10, 0, 9, 0, 0), steps (81 at record 2, 81.6 at 4, 60 at 6 and 7) and a gap of two
// records from record 2.
CTrackFileBuilder CraftedTrack()
{
    CTrackFileBuilder builder;
    builder.Add(Record(1000, {216, 130}, 171, kTriangle))
        .Add(Record(1001, {219, 134}, 181, kTriangle))
        .Add(Record(1002, {300, 134}, 300, kNoTriangle))
        .Add(Record(1003, {300, 134}, 7, {kTriangle[0], kTriangle[1]}))
        .Add(Record(1004, {219, 144}, 190, kTriangle))
        .Add(Record(1005, {219, 134}, 181, kTriangle))
        .Add(Record(1006, {219, 194}, 181, kTriangle))
        .Add(Record(1007, {219, 134}, -1, Fifty()));
    return builder;
}

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

// Test the per-record table of the crafted track, row for row, and that it is the same whether
// written in the report's pass or in a pass of its own.
TEST_F(TrackingQualityTest, TableRowsOfACraftedTrack)
{
    const std::string track = CraftedTrack().Write(dir.File("crafted.qtf"));
    QualitySummary summary;
    ASSERT_EQ(RunQualityReport(track, QualityOptions{}, summary, dir.File("in-pass.csv")), kOk);
    ASSERT_EQ(WriteQualityCsv(track, QualityOptions{}, dir.File("own-pass.csv")), kOk);
    const std::string expected =
        "record,timestamp,targets,case,x,y,angle,new_x,new_y,new_angle,distance_px,heading_diff_deg,step_px\n"
        "0,1000,3,computed,216,130,171,219,134,181,5.000000,10.000000,\n"
        "1,1001,3,computed,219,134,181,219,134,181,0.000000,0.000000,5.000000\n"
        "2,1002,3,held,300,134,300,219,134,325,81.000000,25.000000,81.000000\n"
        "3,1003,2,few,300,134,7,300,134,0,0.000000,7.000000,0.000000\n"
        "4,1004,3,computed,219,144,190,219,134,181,10.000000,9.000000,81.614950\n"
        "5,1005,3,computed,219,134,181,219,134,181,0.000000,0.000000,10.000000\n"
        "6,1006,3,computed,219,194,181,219,134,181,60.000000,0.000000,60.000000\n"
        "7,1007,50,unterminated,219,134,-1,219,134,0,0.000000,1.000000,60.000000\n";
    EXPECT_EQ(ReadWholeFile(dir.File("in-pass.csv")), expected);
    EXPECT_EQ(ReadWholeFile(dir.File("own-pass.csv")), expected);
    EXPECT_TRUE(sink.messages.empty());
}

// Test that a table that cannot be made, or a pass that stops, leaves nothing behind, keeps what
// an earlier table held, and tells why.
TEST_F(TrackingQualityTest, TableFailuresLeaveNothingBehind)
{
    const std::string track = CraftedTrack().AddSequence(2000).Write(dir.File("t.qtf"));
    WriteWholeFile(dir.File("earlier.csv"), "an earlier table");
    struct Case
    {
        const char* what;
        std::string track;
        std::string csv;
        int result;
        std::string message;
        bool cancel = false;
    };
    const Case cases[] = {
        {"a folder that does not exist", track, dir.File("no/such.csv"), kErrOpen,
         "Cannot create the quality table " + dir.File("no/such.csv") + "."},
        {"the track itself", track, track, kErrOpen,
         "Cannot create the quality table " + track + ".\n" + track +
             " is a file this program is reading; it is left as it is."},
        {"a folder", track, dir.Path(), kErrOpen,
         "Cannot create the quality table " + dir.Path() + ".\n" + dir.Path() +
             " is a directory, not a file."},
        {"a track that does not exist", dir.File("none.qtf"), dir.File("earlier.csv"), kErrOpen,
         "Error opening file; Is the file/path name correct?"},
        {"cancelled", track, dir.File("earlier.csv"), kErrCancelled, "", true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        sink.messages.clear();
        const auto before = SnapshotFolder(dir.Path());
        QualitySummary summary;
        summary.records = 12345;
        const int result =
            RunQualityReport(c.track, QualityOptions{}, summary, c.csv,
                             [&c](std::uint64_t done, std::uint64_t) { return !(c.cancel && done > 0); });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(summary.records, 12345u); // a failed run gives no figures
        EXPECT_EQ(sink.messages, c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

// Every failing call of the file layer fails the table's pass, leaving the track and an earlier
// table byte for byte as they were.
TEST(TrackingQualityFaults, EveryFileFaultFailsCleanly)
{
    WriterUnderTest writer;
    writer.name = "quality table";
    writer.prepare = [](const CTempDir& dir)
    {
        CraftedTrack().AddSequence(1200).Write(dir.File("in.qtf"));
        WriteWholeFile(dir.File("quality.csv"), "an earlier table");
    };
    writer.run = [](const CTempDir& dir)
    { return WriteQualityCsv(dir.File("in.qtf"), QualityOptions{}, dir.File("quality.csv")); };
    writer.inputClosesAtTheEnd = 1; // the track, closed when the reader goes
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 10u);
}
