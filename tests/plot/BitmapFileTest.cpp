// The bitmap file: header fields for every depth class, bottom-up padded rows, the round trip of
// the surface's pixels, and each failure's message.
#include "plot/BitmapFile.h"

#include "PlotTestSupport.h"
#include "base/File.h"
#include "base/FileFaults.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/TrackFile.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
CapturedBitmap MakeCapture(std::int32_t width, std::int32_t height, std::uint16_t bits,
                           std::uint16_t planes = 1)
{
    CapturedBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    bitmap.bitsPerPixel = bits;
    bitmap.planes = planes;
    bitmap.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kBlack);
    return bitmap;
}
} // namespace

TEST(BitmapFile, DepthClassOfPlanesTimesBits)
{
    const std::pair<std::uint32_t, std::uint32_t> cases[] = {{1, 1},   {2, 4},   {4, 4},   {5, 8},
                                                             {8, 8},   {9, 16},  {16, 16}, {17, 24},
                                                             {24, 24}, {25, 32}, {32, 32}, {48, 32}};
    for (const auto& [p, c] : cases)
        EXPECT_EQ(BitmapDepthClass(p), c) << p;
}

// Test every header field, in the file, for captures 10 x 2 at each depth: the worked examples
// (24 bits: 64/54/118, 32 bits: 80/54/134, 8 bits: 256 colours, offset 1078) and the others.
TEST(BitmapFile, HeaderFieldsForEveryDepth)
{
    struct Case
    {
        std::uint16_t bits;
        std::uint16_t planes;
        std::uint32_t sizeImage, offBits, fileSize, colorsUsed;
    };
    const Case cases[] = {
        {24, 1, 64, 54, 118, 0},     {32, 1, 80, 54, 134, 0},
        {8, 1, 24, 1078, 1102, 256}, {4, 1, 16, 118, 134, 16},
        {1, 1, 8, 62, 70, 2},        {16, 1, 40, 54 + 4 * 65536, 54 + 4 * 65536 + 40, 65536},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bits);
        CTempDir dir;
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CapturedBitmap bitmap = MakeCapture(10, 2, c.bits, c.planes);
        std::optional<BitmapInfo> info = CreateBitmapInfo(bitmap);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->header.biSizeImage, c.sizeImage);
        EXPECT_EQ(info->header.biClrUsed, c.colorsUsed);
        EXPECT_EQ(info->colorTable.size(), c.colorsUsed);
        ASSERT_EQ(WriteBitmapFile(dir.File("x.bmp"), *info, bitmap), 0);
        EXPECT_TRUE(sink.messages.empty());

        const std::string bytes = ReadWholeFile(dir.File("x.bmp"));
        ParsedBitmap p;
        ASSERT_TRUE(ParseBitmapHeaders(bytes, p));
        EXPECT_EQ(bytes.substr(0, 2), "BM");
        EXPECT_EQ(p.bfType, 0x4D42);
        EXPECT_EQ(p.bfSize, c.fileSize);
        EXPECT_EQ(bytes.size(), c.fileSize);
        EXPECT_EQ(p.bfReserved1, 0);
        EXPECT_EQ(p.bfReserved2, 0);
        EXPECT_EQ(p.bfOffBits, c.offBits);
        EXPECT_EQ(p.biSize, 40u);
        EXPECT_EQ(p.biWidth, 10);
        EXPECT_EQ(p.biHeight, 2);
        EXPECT_EQ(p.biPlanes, 1);
        EXPECT_EQ(p.biBitCount, c.bits);
        EXPECT_EQ(p.biCompression, 0u);
        EXPECT_EQ(p.biSizeImage, c.sizeImage);
        EXPECT_EQ(p.biXPelsPerMeter, 0);
        EXPECT_EQ(p.biYPelsPerMeter, 0);
        EXPECT_EQ(p.biClrUsed, c.colorsUsed);
        EXPECT_EQ(p.biClrImportant, 0u);
    }
}

TEST(BitmapFile, OddDepthsGetTheirClassInTheHeaderButCannotBeRead)
{
    struct Case
    {
        std::uint16_t bits, planes;
        std::uint32_t sizeImage, colorsUsed;
    };
    for (const Case c : {Case{2, 1, 16, 16}, Case{12, 1, 40, 65536}, Case{18, 1, 64, 0}, Case{16, 2, 80, 0}})
    {
        SCOPED_TRACE(c.bits);
        CTempDir dir;
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CapturedBitmap bitmap = MakeCapture(10, 2, c.bits, c.planes);
        std::optional<BitmapInfo> info = CreateBitmapInfo(bitmap);
        ASSERT_TRUE(info.has_value());
        EXPECT_EQ(info->header.biBitCount, c.bits);
        EXPECT_EQ(info->header.biPlanes, c.planes);
        EXPECT_EQ(info->header.biSizeImage, c.sizeImage);
        EXPECT_EQ(info->header.biClrUsed, c.colorsUsed);
        EXPECT_NE(WriteBitmapFile(dir.File("x.bmp"), *info, bitmap), 0);
        EXPECT_EQ(sink.messages, std::vector<std::string>{"Error on GetDIBits(), cannot save bitmap."});
        EXPECT_FALSE(std::filesystem::exists(dir.File("x.bmp")));
    }
}

// Test the round trip of a surface with random pixels and an odd width (rows need padding): every
// pixel comes back, the top row is the last row of the file, and the padding is zero.
TEST(BitmapFile, SurfaceRoundTripIsBottomUpAndPadded)
{
    CTempDir dir;
    CDrawingSurface surface(13, 7);
    FillRandom(surface, 77);
    ASSERT_EQ(WriteSurfaceBitmap(surface, 13, 7, dir.File("s.bmp")), 0);
    const std::string bytes = ReadWholeFile(dir.File("s.bmp"));
    ParsedBitmap p;
    ASSERT_TRUE(ParseBitmapHeaders(bytes, p));
    EXPECT_EQ(p.biBitCount, 24);
    constexpr std::size_t kStride = 40; // 39 bytes of pixels, 1 of padding
    EXPECT_EQ(p.biSizeImage, kStride * 7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(BitmapPixel(bytes, p, x, y), surface.GetPixel(x, y)) << x << "," << y;
    // The last row of the file holds the top row, blue first.
    const std::size_t lastRow = 54 + 6 * kStride;
    const Rgb topLeft = surface.GetPixel(0, 0);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[lastRow]), topLeft.b);
    EXPECT_EQ(static_cast<std::uint8_t>(bytes[lastRow + 2]), topLeft.r);
    for (int row = 0; row < 7; ++row)
        EXPECT_EQ(bytes[54 + static_cast<std::size_t>(row) * kStride + 39], '\0');
}

TEST(BitmapFile, EveryDepthKeepsColoursItCanShow)
{
    struct Case
    {
        std::uint16_t bits;
        std::vector<Rgb> colours;
    };
    const Case cases[] = {
        {1, {kBlack, kWhite}},
        {4, {kBlack, {128, 0, 0}, {0, 255, 255}, {192, 192, 192}, kWhite}},
        {8, {kBlack, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}, kWhite}},
        {32, {{1, 2, 3}, {250, 9, 77}, kWhite}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bits);
        CTempDir dir;
        CapturedBitmap bitmap = MakeCapture(9, 3, c.bits);
        for (std::size_t i = 0; i < bitmap.pixels.size(); ++i)
            bitmap.pixels[i] = c.colours[(i * 7) % c.colours.size()];
        ASSERT_EQ(SaveCapturedBitmap(dir.File("x.bmp"), bitmap), 0);
        const std::string bytes = ReadWholeFile(dir.File("x.bmp"));
        ParsedBitmap p;
        ASSERT_TRUE(ParseBitmapHeaders(bytes, p));
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(BitmapPixel(bytes, p, x, y), bitmap.pixels[static_cast<std::size_t>(y * 9 + x)])
                    << x << "," << y;
    }
}

TEST(BitmapFile, ExistingFileIsReplacedWithoutAQuestion)
{
    CTempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("x.bmp"), std::string(5000, 'z')));
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    ASSERT_EQ(SaveCapturedBitmap(dir.File("x.bmp"), MakeCapture(10, 2, 24)), 0);
    EXPECT_EQ(ReadWholeFile(dir.File("x.bmp")).size(), 118u);
    EXPECT_TRUE(sink.questions.empty());
    EXPECT_TRUE(sink.messages.empty());
}

TEST(BitmapFile, FailureMessages)
{
    CTempDir dir;
    struct Case
    {
        const char* what;
        CapturedBitmap bitmap;
        std::string path;
        std::vector<std::string> messages;
    };
    CapturedBitmap mismatched = MakeCapture(10, 2, 24);
    mismatched.pixels.pop_back();
    std::vector<Case> cases = {
        {"no pixels",
         CapturedBitmap{},
         dir.File("a.bmp"),
         {"Unable to get object from bitmap", "Unable to create .bmp file; windows error:"}},
        {"pixels do not match the size",
         mismatched,
         dir.File("b.bmp"),
         {"Unable to get object from bitmap", "Unable to create .bmp file; windows error:"}},
        {"zero bits",
         MakeCapture(10, 2, 0),
         dir.File("c.bmp"),
         {"Unable to get object from bitmap", "Unable to create .bmp file; windows error:"}},
        {"unreadable depth",
         MakeCapture(10, 2, 3),
         dir.File("d.bmp"),
         {"Error on GetDIBits(), cannot save bitmap."}},
        {"missing folder",
         MakeCapture(10, 2, 24),
         dir.File("none/e.bmp"),
         {"Unable to create() file to save .bmp..."}},
        // What is not a file is never written, and the message says what it is.
        {"a folder",
         MakeCapture(10, 2, 24),
         dir.Path(),
         {"Unable to create() file to save .bmp...\n" + dir.Path() + " is a directory, not a file."}},
        {"a device",
         MakeCapture(10, 2, 24),
         "/dev/full",
         {"Unable to create() file to save .bmp...\n/dev/full is a device, not a file."}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_NE(SaveCapturedBitmap(c.path, c.bitmap), 0);
        EXPECT_EQ(sink.messages, c.messages);
        EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
    }
}

// A named pipe as the picture's name is refused at once, not waited on until something reads it.
TEST(BitmapFile, NamedPipeIsRefusedAtOnce)
{
    CTempDir dir;
    ASSERT_TRUE(MakeFifo(dir.File("pipe.bmp")));
    const auto status = RunInChild(
        [&]
        {
            CRecordingMessageSink sink;
            CScopedMessageSink scoped(sink);
            const bool refused =
                SaveCapturedBitmap(dir.File("pipe.bmp"), MakeCapture(10, 2, 24)) == -601 &&
                sink.messages ==
                    std::vector<std::string>{"Unable to create() file to save .bmp...\n" +
                                             dir.File("pipe.bmp") + " is a named pipe (FIFO), not a file."};
            return refused ? 0 : 1;
        },
        std::chrono::seconds(20));
    EXPECT_EQ(status, std::optional<int>(0));
}

// A full disk while writing: the message carries the system's reason, and a file of that name
// keeps what it had.
TEST(BitmapFile, FailedWriteLeavesTheEarlierFileAndGivesTheReason)
{
    CTempDir dir;
    ASSERT_TRUE(WriteWholeFile(dir.File("x.bmp"), "an earlier picture"));
    for (const FileOp op : {FileOp::Write, FileOp::Close, FileOp::Rename})
    {
        SCOPED_TRACE(FileOpName(op));
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CFileFaultScope faults;
        faults.Arm(op, 1, FileFaultKind::Fail, ENOSPC);
        EXPECT_EQ(SaveCapturedBitmap(dir.File("x.bmp"), MakeCapture(10, 2, 24)), -1);
        EXPECT_EQ(sink.messages, std::vector<std::string>{"Unable to write .bmp file."});
        EXPECT_EQ(sink.reasons, std::vector<std::string>{"No space left on device"});
        EXPECT_EQ(SnapshotFolder(dir.Path()),
                  (std::map<std::string, std::string>{{"x.bmp", "an earlier picture"}}));
    }
}

// The track being shown is never overwritten by a picture, by whatever name it is chosen.
TEST(BitmapFile, TrackBeingReadIsNeverOverwritten)
{
    CTempDir dir;
    const std::string track = CTrackFileBuilder().AddSequence(3).Write(dir.File("run.qtf"));
    ASSERT_EQ(::symlink(track.c_str(), dir.File("run.bmp").c_str()), 0);
    CTrackFile reader;
    ASSERT_EQ(reader.Open(track), 0);
    const auto before = SnapshotFolder(dir.Path());
    for (const std::string& path : {track, dir.File("run.bmp")})
    {
        SCOPED_TRACE(path);
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_EQ(SaveCapturedBitmap(path, MakeCapture(10, 2, 24)), -601);
        EXPECT_EQ(sink.messages,
                  std::vector<std::string>{"Unable to create() file to save .bmp...\n" + path +
                                           " is a file this program is reading; it is left as it is."});
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

// A symbolic link as the name keeps being a link: the picture goes to the file it points to.
TEST(BitmapFile, LinkedNameWritesThroughTheLink)
{
    CTempDir dir;
    std::filesystem::create_directory(dir.File("pictures"));
    ASSERT_EQ(::symlink("pictures/latest.bmp", dir.File("link.bmp").c_str()), 0);
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    ASSERT_EQ(SaveCapturedBitmap(dir.File("link.bmp"), MakeCapture(10, 2, 24)), 0);
    EXPECT_EQ(std::filesystem::read_symlink(dir.File("link.bmp")), "pictures/latest.bmp");
    EXPECT_EQ(ReadWholeFile(dir.File("pictures/latest.bmp")).size(), 118u);
}

// Every failing call of the file layer fails the save cleanly and keeps an earlier picture.
TEST(BitmapFile, EveryFileFaultFailsCleanly)
{
    WriterUnderTest writer;
    writer.name = "bitmap";
    writer.prepare = [](const CTempDir& dir) { WriteWholeFile(dir.File("x.bmp"), "an earlier picture"); };
    writer.run = [](const CTempDir& dir)
    { return SaveCapturedBitmap(dir.File("x.bmp"), MakeCapture(64, 48, 24)); };
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 10u);
}

TEST(BitmapFile, FileHeldExclusivelyElsewhereCannotBeCreated)
{
    CTempDir dir;
    CFile holder;
    ASSERT_TRUE(holder.Open(dir.File("x.bmp"), FileMode::CreateReadWrite, ShareMode::Exclusive));
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    EXPECT_EQ(SaveCapturedBitmap(dir.File("x.bmp"), MakeCapture(4, 4, 24)), -601);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Unable to create() file to save .bmp..."});
}
