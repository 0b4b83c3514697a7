// The picture files: PNG or the window's bitmap by the name, enlarged by the scale, every failure's
// message naming the file with the system's reason, and an earlier file kept whole when writing
// fails.
#include "outputs/PictureFile.h"

#include "base/FileFaults.h"
#include "base/ResultCodes.h"
#include "plot/BitmapFile.h"
#include "plot/PlotTestSupport.h"
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
// Prepare, then Write, as the outputs use it: the problem, told.
int Save(const std::string& path, const RgbImageView& image, std::int32_t scale = 1,
         PictureFormat format = PictureFormat::ByName)
{
    CPictureFile picture(path, scale, format);
    Problem problem = picture.Prepare();
    if (problem.IsOk())
        problem = picture.Write(image);
    Tell(problem);
    return problem.code;
}

// Test that the name picks the format (PNG in any case of .png, a bitmap otherwise, PNG whatever
// the name when asked for), and that the scale enlarges every pixel to a square.
TEST(PictureFile, FormatByNameAndScale)
{
    CTempDir dir;
    const CRgbRaster picture = RandomRaster(7, 5, 4);
    struct Case
    {
        const char* name;
        std::int32_t scale;
        PictureFormat format;
        bool png;
    };
    const Case cases[] = {
        {"a.png", 1, PictureFormat::ByName, true},  {"b.PNG", 3, PictureFormat::ByName, true},
        {"c.bmp", 1, PictureFormat::ByName, false}, {"d", 2, PictureFormat::ByName, false},
        {"e.bmp", 1, PictureFormat::Png, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_EQ(CPictureFile(dir.File(c.name), c.scale, c.format).IsPng(), c.png);
        ASSERT_EQ(Save(dir.File(c.name), picture.View(), c.scale, c.format), kOk);
        EXPECT_TRUE(sink.messages.empty());
        const CRgbRaster expected = Magnified(picture.View(), c.scale);
        if (c.png)
        {
            const auto png = ReadPngFile(dir.File(c.name));
            ASSERT_TRUE(png.has_value());
            ASSERT_EQ(png->width, expected.Width());
            ASSERT_EQ(png->height, expected.Height());
            EXPECT_TRUE(png->rgb ==
                        std::vector<std::uint8_t>(expected.Data(), expected.Data() + png->rgb.size()));
        }
        else
        {
            ASSERT_EQ(SaveCapturedBitmap(dir.File("expected.bmp"), CaptureImage(expected.View())), kOk);
            EXPECT_EQ(ReadWholeFile(dir.File(c.name)), ReadWholeFile(dir.File("expected.bmp")));
        }
    }
    EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.Path())), SnapshotFolder(dir.Path())) << "no temporary file";
}

TEST(PictureFile, FailureMessagesNameTheFile)
{
    CTempDir dir;
    const CRgbRaster picture = RandomRaster(4, 3, 9);
    const CRgbRaster empty(0, 5, kWhite);
    // Wider than the writer takes (a million pixels a row, as common readers allow), one row high.
    const CRgbRaster tooWide(1000001, 1, kWhite);
    struct Case
    {
        const char* what;
        std::string path;
        PictureFormat format;
        RgbImageView image;
        std::string message;
        std::string reason;
    };
    const std::string missing = dir.File("none/a.png");
    const std::vector<Case> cases = {
        {"missing folder", missing, PictureFormat::ByName, picture.View(),
         "Cannot create the picture file " + missing + ".", "No such file or directory"},
        {"a folder", dir.Path(), PictureFormat::Png, picture.View(),
         "Cannot create the picture file " + dir.Path() + ".\n" + dir.Path() + " is a directory, not a file.",
         ""},
        {"a device", "/dev/full", PictureFormat::Png, picture.View(),
         "Cannot create the picture file /dev/full.\n/dev/full is a device, not a file.", ""},
        {"empty picture", dir.File("e.png"), PictureFormat::ByName, empty.View(),
         "Cannot write the picture file " + dir.File("e.png") + "; nothing was written.",
         "the picture is empty"},
        {"too wide", dir.File("w.png"), PictureFormat::ByName, tooWide.View(),
         "Cannot write the picture file " + dir.File("w.png") + "; nothing was written.",
         "the picture is more than 1000000 pixels wide or high"},
        {"a bitmap in a missing folder: the window's words", dir.File("none/a.bmp"), PictureFormat::ByName,
         picture.View(), "Unable to create() file to save .bmp...", "No such file or directory"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_EQ(Save(c.path, c.image, 1, c.format), kErrWrite);
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(sink.reasons, std::vector<std::string>{c.reason});
        EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    }
}

// A full disk at any step: the reason is the system's, and an earlier file keeps what it had.
TEST(PictureFile, FailedWriteLeavesTheEarlierFile)
{
    CTempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("x.png"), "an earlier picture"));
    const CRgbRaster picture = RandomRaster(64, 48, 3);
    for (const FileOp op : {FileOp::Write, FileOp::Close, FileOp::Rename})
    {
        SCOPED_TRACE(FileOpName(op));
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CFileFaultScope faults;
        faults.Arm(op, 1, FileFaultKind::Fail, ENOSPC);
        EXPECT_EQ(Save(dir.File("x.png"), picture.View()), kErrWrite);
        EXPECT_EQ(sink.messages, std::vector<std::string>{"Cannot write the picture file " +
                                                          dir.File("x.png") + "; nothing was written."});
        EXPECT_EQ(sink.reasons, std::vector<std::string>{"No space left on device"});
        EXPECT_EQ(SnapshotFolder(dir.Path()),
                  (std::map<std::string, std::string>{{"x.png", "an earlier picture"}}));
    }
}

TEST(PictureFile, EveryFileFaultFailsCleanly)
{
    WriterUnderTest writer;
    writer.name = "png";
    writer.prepare = [](const CTempDir& dir) { WriteWholeFile(dir.File("x.png"), "an earlier picture"); };
    writer.run = [](const CTempDir& dir)
    { return Save(dir.File("x.png"), RandomRaster(300, 200, 11).View(), 2); };
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 3u);
}
} // namespace
