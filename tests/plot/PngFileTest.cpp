// The PNG encoder: every pixel survives a round trip through libpng for sizes that leave no common
// factor and for flat pictures whose rows repeat (across the encoder's slices and chunks too), the
// header says 8-bit RGB, the chunks stand in order, the name test, and the picture encoded into an
// output file the caller commits. (The picture files and their messages are the outputs':
// tests/outputs.)
#include "plot/PngFile.h"

#include "PlotTestSupport.h"
#include "base/FileFaults.h"
#include "base/OutputFile.h"
#include "support/FileChecks.h"
#include "support/PngReader.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace
{
// Encodes image into path, as the picture outputs do; true when it is in place.
bool WriteTo(const std::string& path, const RgbImageView& image)
{
    COutputFile file;
    std::string reason;
    return file.Create(path) && WritePng(file, image, reason) && file.Commit();
}

// A picture of few colours in flat blocks, as the heatmap and the plot are: blocks x blocks pixels
// tall and wide, each one of four colours, a single pixel changed in some rows so that a row differs
// from the one above by one byte only.
CRgbRaster BlockRaster(std::int32_t width, std::int32_t height, std::int32_t block, std::uint32_t seed)
{
    const Rgb colours[] = {kWhite, kBlack, Rgb{68, 1, 84}, Rgb{210, 210, 210}};
    CRgbRaster raster(width, height, kWhite);
    std::mt19937 random(seed);
    for (std::int32_t y = 0; y < height; y += block)
        for (std::int32_t x = 0; x < width; x += block)
            raster.FillRect(Rect{x, y, x + block, y + block}, colours[random() % 4]);
    for (std::int32_t y = 3; y < height; y += 7)
        raster.SetPixel(static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(width)), y,
                        Rgb{1, 2, 3});
    return raster;
}

// The chunk types of a PNG file in order, or nothing when the bytes do not hold whole chunks after
// the signature.
std::optional<std::vector<std::string>> ChunkTypes(const std::string& bytes)
{
    constexpr std::size_t kSignature = 8;
    std::vector<std::string> types;
    std::size_t at = kSignature;
    while (at < bytes.size())
    {
        if (bytes.size() - at < 12)
            return std::nullopt;
        std::uint32_t length = 0;
        for (std::size_t k = 0; k < 4; ++k)
            length = (length << 8) | static_cast<unsigned char>(bytes[at + k]);
        if (bytes.size() - at - 12 < length)
            return std::nullopt;
        types.push_back(bytes.substr(at + 4, 4));
        at += 12 + length;
    }
    return types;
}

void ExpectSamePixels(const DecodedPng& png, const RgbImageView& image)
{
    ASSERT_EQ(png.width, image.width);
    ASSERT_EQ(png.height, image.height);
    const std::size_t bytes =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
    ASSERT_EQ(png.rgb.size(), bytes);
    for (std::size_t i = 0; i < bytes; ++i)
        ASSERT_EQ(png.rgb[i], image.pixels[i]) << "byte " << i;
}
} // namespace

TEST(PngFile, EveryPixelSurvivesTheRoundTrip)
{
    struct Case
    {
        std::int32_t width;
        std::int32_t height;
    };
    const Case cases[] = {{1, 1}, {3, 5}, {641, 7}, {7, 641}, {2, 1}, {1, 2}, {640, 480}, {1283, 3}};
    CTempDir dir;
    std::uint32_t seed = 1;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        const CRgbRaster raster = RandomRaster(c.width, c.height, seed++);
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        ASSERT_TRUE(WriteTo(dir.File("r.png"), raster.View()));
        EXPECT_TRUE(sink.messages.empty());
        const auto png = ReadPngFile(dir.File("r.png"));
        ASSERT_TRUE(png.has_value());
        EXPECT_EQ(png->bitDepth, 8);
        EXPECT_EQ(png->colourType, 2); // truecolour, no alpha, no palette
        ExpectSamePixels(*png, raster.View());
        EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.Path())).size(), 1u);
    }
}

// Pictures whose rows repeat the one above, differ from it in one byte, or are wider than the
// writer takes at once; sizes that end a slice of rows mid-way through a block.
TEST(PngFile, FlatPicturesSurviveTheRoundTrip)
{
    struct Case
    {
        const char* what;
        std::int32_t width;
        std::int32_t height;
        std::int32_t block;
    };
    const Case cases[] = {
        {"heatmap-sized", 1482, 1132, 20},  {"one row", 1482, 1, 4},
        {"one column", 1, 1500, 3},         {"rows wider than a slice", 90001, 3, 2},
        {"tall, odd blocks", 333, 2001, 7}, {"every pixel its own block", 97, 89, 1},
        {"one colour", 2000, 1000, 5000},
    };
    CTempDir dir;
    std::uint32_t seed = 40;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        const CRgbRaster raster = BlockRaster(c.width, c.height, c.block, seed++);
        ASSERT_TRUE(WriteTo(dir.File("f.png"), raster.View()));
        const auto png = ReadPngFile(dir.File("f.png"));
        ASSERT_TRUE(png.has_value());
        ExpectSamePixels(*png, raster.View());
    }
}

// IHDR first, IEND last and empty, the data in IDAT chunks between them: one for a flat picture,
// several for a picture of noise too large for one.
TEST(PngFile, ChunksStandInOrder)
{
    struct Case
    {
        CRgbRaster raster;
        bool severalIdat;
    };
    const Case cases[] = {{BlockRaster(640, 480, 10, 3), false}, {RandomRaster(640, 480, 4), true}};
    CTempDir dir;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.severalIdat);
        ASSERT_TRUE(WriteTo(dir.File("c.png"), c.raster.View()));
        const std::string bytes = ReadWholeFile(dir.File("c.png"));
        ASSERT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
        const auto types = ChunkTypes(bytes);
        ASSERT_TRUE(types.has_value());
        ASSERT_GE(types->size(), 3u);
        EXPECT_EQ(types->front(), "IHDR");
        EXPECT_EQ(types->back(), "IEND");
        EXPECT_EQ(bytes.substr(bytes.size() - 12, 4), std::string(4, '\0')) << "IEND holds no data";
        const std::vector<std::string> middle(types->begin() + 1, types->end() - 1);
        EXPECT_EQ(middle, std::vector<std::string>(middle.size(), "IDAT"));
        EXPECT_EQ(middle.size() > 1, c.severalIdat) << middle.size() << " IDAT chunks";
    }
}

// The writer keeps its buffers from one picture to the next; what it wrote before, or a picture it
// gave up on half-way, changes no byte of the next file.
TEST(PngFile, BytesDoNotDependOnEarlierPictures)
{
    CTempDir dir;
    const CRgbRaster picture = BlockRaster(700, 500, 9, 5);
    ASSERT_TRUE(WriteTo(dir.File("first.png"), picture.View()));
    const std::string first = ReadWholeFile(dir.File("first.png"));
    ASSERT_TRUE(WriteTo(dir.File("noise.png"), RandomRaster(800, 600, 6).View()));
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        CFileFaultScope faults;
        faults.Arm(FileOp::Write, 3, FileFaultKind::Fail, ENOSPC);
        ASSERT_FALSE(WriteTo(dir.File("broken.png"), RandomRaster(800, 600, 7).View()));
    }
    ASSERT_TRUE(WriteTo(dir.File("again.png"), picture.View()));
    EXPECT_TRUE(ReadWholeFile(dir.File("again.png")) == first);
}

TEST(PngFile, SurfaceIsWrittenAsItShows)
{
    CTempDir dir;
    CDrawingSurface surface(13, 7);
    FillRandom(surface, 5);
    ASSERT_TRUE(WriteTo(dir.File("s.png"), ViewOf(surface)));
    const auto png = ReadPngFile(dir.File("s.png"));
    ASSERT_TRUE(png.has_value());
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
        {
            const Rgb c = surface.GetPixel(x, y);
            ASSERT_EQ(png->At(x, y), (std::vector<int>{c.r, c.g, c.b})) << x << "," << y;
        }
}

TEST(PngFile, NameEndsInPngInAnyCase)
{
    const std::pair<const char*, bool> cases[] = {
        {"a.png", true},  {"a.PNG", true},      {"dir/b.PnG", true}, {".png", true},
        {"a.bmp", false}, {"a.png.bmp", false}, {"png", false},      {"a.pn", false},
        {"", false},      {"a.png/b", false},   {"a_png", false},    {"a.pngx", false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(HasPngExtension(name), expected) << name;
}

// The encoder writes into an output file the caller commits, so that a picture can be committed
// together with other files; an uncommitted one leaves nothing.
TEST(PngFile, EncodedIntoAnOutputTheCallerCommits)
{
    CTempDir dir;
    const CRgbRaster picture = RandomRaster(5, 4, 21);
    for (const bool commit : {false, true})
    {
        SCOPED_TRACE(commit);
        {
            COutputFile file;
            ASSERT_TRUE(file.Create(dir.File("c.png")));
            std::string reason;
            ASSERT_TRUE(WritePng(file, picture.View(), reason)) << reason;
            if (commit)
            {
                ASSERT_TRUE(file.Commit());
            }
        }
        const auto png = ReadPngFile(dir.File("c.png"));
        ASSERT_EQ(png.has_value(), commit);
        if (commit)
        {
            ExpectSamePixels(*png, picture.View());
        }
        else
        {
            EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
        }
    }
}
