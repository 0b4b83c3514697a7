// The heatmap as an output: the picture and the matrix appear together, or neither does, whichever
// of them fails and however, the problem naming the file that failed; without a picture nothing is
// written and the grid stays for the caller; the summary line gives the time binned.
#include "outputs/HeatmapOutput.h"

#include "OutputTestSupport.h"
#include "base/FileFaults.h"
#include "base/ResultCodes.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/PngReader.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace
{
// One record in the top-left bin and two in the bottom-right one of a 2 x 2 grid, one off the plot.
const std::vector<TrackRecord> kRecords = {MakeRecord(1, 0, 0), MakeRecord(2, 639, 479),
                                           MakeRecord(3, 639, 479), MakeRecord(4, 640, 10)};

HeatmapSettings Settings()
{
    HeatmapSettings settings;
    settings.binPixels = 320;
    settings.scale = 1;
    return settings;
}

Problem Write(const std::string& picture, const std::string& matrix)
{
    CHeatmapOutput output(HeatmapDestination{picture, matrix}, Settings(),
                          {HeatmapRegion{RegionShape::Rectangle(Rect{10, 10, 100, 100}), "arm"}});
    return Feed(output, kRecords, 2, "h.qtf");
}

TEST(HeatmapOutput, PictureAndMatrixAreWrittenTogether)
{
    CTempDir dir;
    for (const bool withMatrix : {true, false})
    {
        SCOPED_TRACE(withMatrix);
        const std::string matrix = withMatrix ? dir.File("m.csv") : std::string();
        CHeatmapOutput output(HeatmapDestination{dir.File("h.png"), matrix}, Settings());
        EXPECT_EQ(output.Files().size(), withMatrix ? 2u : 1u);
        ASSERT_TRUE(Feed(output, kRecords, 3, "h.qtf").IsOk());
        const auto png = ReadPngFile(dir.File("h.png"));
        ASSERT_TRUE(png.has_value());
        EXPECT_GT(png->width, 640);
        EXPECT_EQ(std::filesystem::exists(dir.File("m.csv")), withMatrix);
        if (withMatrix)
        {
            EXPECT_EQ(ReadWholeFile(dir.File("m.csv")), "0.016667,0.000000\n0.000000,0.033333\n");
            std::filesystem::remove(dir.File("m.csv"));
        }
        EXPECT_EQ(output.SummaryLines(),
                  std::vector<std::string>{"h.qtf: 0.050000 s binned, 1 records off the plot"});
    }
}

// Test that without a picture nothing is written and the grid is the caller's.
TEST(HeatmapOutput, WithoutAPictureTheGridStays)
{
    CTempDir dir;
    CHeatmapOutput output(HeatmapDestination{{}, dir.File("ignored.csv")}, Settings());
    EXPECT_TRUE(output.Files().empty());
    ASSERT_TRUE(Feed(output, kRecords, 1).IsOk());
    EXPECT_TRUE(SnapshotFolder(dir.Path()).empty());
    EXPECT_EQ(output.Grid().Count(0, 0), 1u);
    EXPECT_EQ(output.Grid().Count(1, 1), 2u);
    EXPECT_EQ(output.Grid().RecordsOffPlot(), 1u);
}

// Test that a refusal on either side leaves neither file, keeps what the names held, and names
// the file that was refused.
TEST(HeatmapOutput, OneRefusedLeavesNeither)
{
    CTempDir dir;
    std::filesystem::create_directory(dir.File("folder.csv"));
    struct Case
    {
        const char* what;
        std::string picture;
        std::string matrix;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"no folder for the picture", dir.File("none/h.png"), dir.File("m.csv"),
         "Cannot create the picture file " + dir.File("none/h.png") + "."},
        {"no folder for the matrix", dir.File("h.png"), dir.File("none/m.csv"),
         "Cannot create the matrix file " + dir.File("none/m.csv") + "."},
        {"the matrix's name is a folder", dir.File("h.png"), dir.File("folder.csv"),
         "Cannot create the matrix file " + dir.File("folder.csv") + ".\n" + dir.File("folder.csv") +
             " is a directory, not a file."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteWholeFile(dir.File("h.png"), "an earlier picture"));
        ASSERT_TRUE(WriteWholeFile(dir.File("m.csv"), "an earlier matrix"));
        const auto before = SnapshotFolder(dir.Path());
        const Problem problem = Write(c.picture, c.matrix);
        EXPECT_EQ(problem.code, kErrWrite);
        EXPECT_EQ(problem.text, c.message);
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

TEST(HeatmapOutput, FullDiskAtTheMatrixNamesItAndKeepsBoth)
{
    CTempDir dir;
    for (const FileOp op : {FileOp::Write, FileOp::Close, FileOp::Rename})
    {
        SCOPED_TRACE(FileOpName(op));
        ASSERT_TRUE(WriteWholeFile(dir.File("h.png"), "an earlier picture"));
        ASSERT_TRUE(WriteWholeFile(dir.File("m.csv"), "an earlier matrix"));
        const auto before = SnapshotFolder(dir.Path());
        CFileFaultScope faults;
        // The picture is written and closed first: count its calls, then fail the matrix's next one.
        {
            CTempDir counting;
            ASSERT_TRUE(Write(counting.File("h.png"), "").IsOk());
        }
        const std::uint64_t pictureCalls = op == FileOp::Rename ? 1 : faults.GetCount(op);
        faults.Arm(op, pictureCalls + 1, FileFaultKind::Fail, ENOSPC);
        const Problem problem = Write(dir.File("h.png"), dir.File("m.csv"));
        EXPECT_EQ(problem.code, kErrWrite);
        EXPECT_EQ(problem.text,
                  "Cannot write the matrix file " + dir.File("m.csv") + "; nothing was written.");
        EXPECT_EQ(problem.reason, "No space left on device");
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

TEST(HeatmapOutput, EveryFileFaultFailsCleanly)
{
    WriterUnderTest writer;
    writer.name = "heatmap";
    writer.prepare = [](const CTempDir& dir)
    {
        WriteWholeFile(dir.File("h.png"), "an earlier picture");
        WriteWholeFile(dir.File("m.csv"), "an earlier matrix");
    };
    writer.run = [](const CTempDir& dir)
    {
        const Problem problem = Write(dir.File("h.png"), dir.File("m.csv"));
        Tell(problem);
        return problem.code;
    };
    writer.cleanupMayFail = true; // swapped-out earlier files are removed after both are in place
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 5u);
}
} // namespace
