// The PNG encoder: every pixel survives a round trip through libpng for sizes that leave no common
// factor, the header says 8-bit RGB, the name test, and the picture encoded into an output file the
// caller commits. (The picture files and their messages are the outputs': tests/outputs.)
#include "plot/PngFile.h"

#include "PlotTestSupport.h"
#include "base/OutputFile.h"
#include "support/FileChecks.h"
#include "support/PngReader.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>

namespace
{
// Encodes image into path, as the picture outputs do; true when it is in place.
bool WriteTo(const std::string& path, const RgbImageView& image)
{
    COutputFile file;
    std::string reason;
    return file.Create(path) && WritePng(file, image, reason) && file.Commit();
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
