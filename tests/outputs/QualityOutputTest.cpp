// The quality report as an output: the figures' file and the per-record table row for row, written
// in one pass; a table that cannot be made, or a pass that stops, leaving nothing behind; every
// failing call of the file layer failing the pass cleanly.
#include "outputs/QualityOutput.h"

#include "OutputTestSupport.h"
#include "analysis/QualityTestTracks.h"
#include "base/ResultCodes.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
class QualityOutputTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CScopedMessageSink scoped{sink};
    CTempDir dir;
};

// Test the per-record table of the crafted track, row for row, and the figures' file beside it,
// each alone or both from one pass; the summary is the figures' lines.
TEST_F(QualityOutputTest, TableRowsAndFiguresOfACraftedTrack)
{
    const std::string track = CraftedTrack().Write(dir.File("crafted.qtf"));
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
    struct Case
    {
        bool report;
        bool table;
    };
    for (const Case& c : {Case{false, true}, Case{true, false}, Case{true, true}, Case{false, false}})
    {
        SCOPED_TRACE(std::to_string(c.report) + std::to_string(c.table));
        CTempDir out;
        const QualityDestination destination{c.report ? out.File("q.txt") : "",
                                             c.table ? out.File("q.csv") : ""};
        CQualityOutput output(destination, QualityOptions{});
        EXPECT_EQ(output.Files().size(), (c.report ? 1u : 0u) + (c.table ? 1u : 0u));
        ASSERT_EQ(RunTelling(track, {&output}), kOk);
        EXPECT_EQ(SnapshotFolder(out.Path()).size(), output.Files().size()) << "no temporary file";
        if (c.table)
        {
            EXPECT_EQ(ReadWholeFile(out.File("q.csv")), expected);
        }
        const std::vector<std::string> figures = FormatQualityFigures(output.Summary());
        EXPECT_EQ(output.SummaryLines(), figures);
        ASSERT_GT(figures.size(), 10u);
        EXPECT_EQ(figures[1], "records: 8");
        if (c.report)
        {
            EXPECT_EQ(ReadWholeFile(out.File("q.txt")), FormatQualityText(output.Summary()));
        }
    }
    EXPECT_TRUE(sink.messages.empty());
}

// Test that a table that cannot be made, or a pass that stops, leaves nothing behind, keeps what
// an earlier table held, and tells why.
TEST_F(QualityOutputTest, TableFailuresLeaveNothingBehind)
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
        {"a folder that does not exist", track, dir.File("no/such.csv"), kErrWrite,
         "Cannot create the quality table " + dir.File("no/such.csv") + "."},
        {"the track itself", track, track, kErrWrite,
         "Cannot create the quality table " + track + ".\n" + track +
             " is a file this program is reading; it is left as it is."},
        {"a folder", track, dir.Path(), kErrWrite,
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
        CQualityOutput output(QualityDestination{{}, c.csv}, QualityOptions{});
        const int result = RunTelling(
            c.track, {&output}, [&c](std::uint64_t done, std::uint64_t) { return !(c.cancel && done > 0); });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(output.Summary().records, 0u); // a failed run gives no figures
        EXPECT_EQ(sink.messages, c.message.empty() ? std::vector<std::string>{} : std::vector{c.message});
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

// Every failing call of the file layer fails the table's pass, leaving the track and an earlier
// table byte for byte as they were.
TEST(QualityOutputFaults, EveryFileFaultFailsCleanly)
{
    WriterUnderTest writer;
    writer.name = "quality table";
    writer.prepare = [](const CTempDir& dir)
    {
        CraftedTrack().AddSequence(1200).Write(dir.File("in.qtf"));
        WriteWholeFile(dir.File("quality.csv"), "an earlier table");
    };
    writer.run = [](const CTempDir& dir)
    {
        CQualityOutput output(QualityDestination{{}, dir.File("quality.csv")}, QualityOptions{});
        return RunTelling(dir.File("in.qtf"), {&output});
    };
    writer.inputClosesAtTheEnd = 1; // the track, closed when the reader goes
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 10u);
}
} // namespace
