// The heatmap's files: the picture and the matrix appear together, or neither does, whichever of
// them fails and however; the message names the file that failed.
#include "plot/HeatmapFiles.h"

#include "base/FileFaults.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/PngReader.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>

namespace
{
OccupancyMap SmallMap()
{
    COccupancyGrid grid(320); // 2 x 2 bins
    grid.Add(0, 0);
    grid.Add(639, 479);
    grid.Add(639, 479);
    return grid.Map();
}

CRgbRaster SmallPicture()
{
    CRgbRaster picture(5, 3, kWhite);
    picture.SetPixel(4, 2, Rgb{1, 2, 3});
    return picture;
}
} // namespace

TEST(HeatmapFiles, PictureAndMatrixAreWrittenTogether)
{
    CTempDir dir;
    const CRgbRaster picture = SmallPicture();
    for (const bool withMatrix : {true, false})
    {
        SCOPED_TRACE(withMatrix);
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        const std::string matrix = withMatrix ? dir.File("m.csv") : std::string();
        ASSERT_EQ(WriteHeatmapFiles(dir.File("h.png"), picture.View(), matrix, SmallMap()), 0);
        EXPECT_TRUE(sink.messages.empty());
        const auto png = ReadPngFile(dir.File("h.png"));
        ASSERT_TRUE(png.has_value());
        EXPECT_EQ(png->At(4, 2), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(std::filesystem::exists(dir.File("m.csv")), withMatrix);
        if (withMatrix)
        {
            EXPECT_EQ(ReadWholeFile(dir.File("m.csv")), "0.016667,0.000000\n0.000000,0.033333\n");
            std::filesystem::remove(dir.File("m.csv"));
        }
    }
}

// Test that a failure on either side leaves neither file, keeps what the names held, and names the
// file that failed.
TEST(HeatmapFiles, OneFailingLeavesNeither)
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
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_EQ(WriteHeatmapFiles(c.picture, SmallPicture().View(), c.matrix, SmallMap()), -601);
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

TEST(HeatmapFiles, FullDiskAtTheMatrixNamesItAndKeepsBoth)
{
    CTempDir dir;
    for (const FileOp op : {FileOp::Write, FileOp::Close, FileOp::Rename})
    {
        SCOPED_TRACE(FileOpName(op));
        ASSERT_TRUE(WriteWholeFile(dir.File("h.png"), "an earlier picture"));
        ASSERT_TRUE(WriteWholeFile(dir.File("m.csv"), "an earlier matrix"));
        const auto before = SnapshotFolder(dir.Path());
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CFileFaultScope faults;
        // The picture is written and closed first: count its calls, then fail the matrix's next one.
        {
            CTempDir counting;
            ASSERT_EQ(WriteHeatmapFiles(counting.File("h.png"), SmallPicture().View(), "", SmallMap()), 0);
        }
        const std::uint64_t pictureCalls = op == FileOp::Rename ? 1 : faults.GetCount(op);
        faults.Arm(op, pictureCalls + 1, FileFaultKind::Fail, ENOSPC);
        EXPECT_EQ(WriteHeatmapFiles(dir.File("h.png"), SmallPicture().View(), dir.File("m.csv"), SmallMap()),
                  -1);
        EXPECT_EQ(sink.messages, std::vector<std::string>{"Cannot write the matrix file " +
                                                          dir.File("m.csv") + "; nothing was written."});
        EXPECT_EQ(sink.reasons, std::vector<std::string>{"No space left on device"});
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

TEST(HeatmapFiles, EveryFileFaultFailsCleanly)
{
    WriterUnderTest writer;
    writer.name = "heatmap";
    writer.prepare = [](const CTempDir& dir)
    {
        WriteWholeFile(dir.File("h.png"), "an earlier picture");
        WriteWholeFile(dir.File("m.csv"), "an earlier matrix");
    };
    writer.run = [](const CTempDir& dir)
    { return WriteHeatmapFiles(dir.File("h.png"), SmallPicture().View(), dir.File("m.csv"), SmallMap()); };
    writer.cleanupMayFail = true; // swapped-out earlier files are removed after both are in place
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 5u);
}
