// The raster of composed pictures: its background, fills clipped to it (against painting pixel by
// pixel), frames grown inwards, enlargement of any image, and its pixels handed to the bitmap writer
// unchanged.
#include "plot/RgbRaster.h"

#include "PlotTestSupport.h"
#include "plot/BitmapFile.h"

#include <gtest/gtest.h>
#include <random>

namespace
{
constexpr Rgb kPaint{10, 200, 30};

// The raster as rows of '#' (paint) and '.' (anything else).
std::vector<std::string> Rows(const CRgbRaster& raster)
{
    std::vector<std::string> rows;
    for (std::int32_t y = 0; y < raster.Height(); ++y)
    {
        std::string row;
        for (std::int32_t x = 0; x < raster.Width(); ++x)
            row += raster.GetPixel(x, y) == kPaint ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}
} // namespace

TEST(RgbRaster, FillsAreClippedToTheRaster)
{
    struct Case
    {
        Rect rect;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {Rect{1, 1, 3, 2}, {"....", ".##.", "...."}},
        {Rect{3, 2, 1, 1}, {"....", ".##.", "...."}}, // corners in any order
        {Rect{-5, -5, 1, 10}, {"#...", "#...", "#..."}},
        {Rect{3, 0, 100, 1}, {"...#", "....", "...."}},
        {Rect{2, 2, 2, 3}, {"....", "....", "...."}}, // no width
        {Rect{-2147483647, -2147483647, 2147483647, 2147483647}, {"####", "####", "####"}},
        {Rect{4, 0, 9, 3}, {"....", "....", "...."}},
    };
    for (const Case& c : cases)
    {
        CRgbRaster raster(4, 3, kWhite);
        raster.FillRect(c.rect, kPaint);
        EXPECT_EQ(Rows(raster), c.rows)
            << c.rect.left << "," << c.rect.top << "," << c.rect.right << "," << c.rect.bottom;
    }
    EXPECT_EQ(CRgbRaster(-3, 2, kWhite).Width(), 0);
    EXPECT_EQ(CRgbRaster(4, 3, kWhite).GetPixel(4, 0), kBlack); // outside reads black
}

TEST(RgbRaster, BackgroundIsEveryPixel)
{
    const Rgb backgrounds[] = {kWhite, kBlack, Rgb{90, 90, 90}, Rgb{1, 2, 3}, Rgb{0, 0, 1}, Rgb{7, 7, 8}};
    const std::pair<std::int32_t, std::int32_t> sizes[] = {{1, 1}, {5, 3}, {1, 9}, {0, 4}, {17, 0}};
    for (const Rgb background : backgrounds)
        for (const auto& [width, height] : sizes)
        {
            const CRgbRaster raster(width, height, background);
            ASSERT_EQ(raster.Width(), width);
            ASSERT_EQ(raster.Height(), height);
            for (std::int32_t y = 0; y < height; ++y)
                for (std::int32_t x = 0; x < width; ++x)
                    ASSERT_EQ(raster.GetPixel(x, y), background)
                        << int{background.r} << "," << int{background.g} << "," << int{background.b} << " at "
                        << x << "," << y;
        }
}

// Random rectangles of every width from one pixel up, partly or wholly off the raster, corners in
// any order, over a background of noise: each fill sets exactly the pixels a pixel-by-pixel paint
// sets and leaves every other one as it was.
TEST(RgbRaster, FillsMatchPaintingEachPixel)
{
    constexpr std::int32_t kWidth = 37;
    constexpr std::int32_t kHeight = 23;
    std::mt19937 random(11);
    auto byte = [&random] { return static_cast<std::uint8_t>(random() % 256); };
    CRgbRaster raster(kWidth, kHeight, kBlack);
    std::vector<Rgb> expected(static_cast<std::size_t>(kWidth * kHeight));
    for (std::int32_t y = 0; y < kHeight; ++y)
        for (std::int32_t x = 0; x < kWidth; ++x)
        {
            const Rgb noise{byte(), byte(), byte()};
            raster.SetPixel(x, y, noise);
            expected[static_cast<std::size_t>(y * kWidth + x)] = noise;
        }
    std::uniform_int_distribution<std::int32_t> column(-8, kWidth + 8);
    std::uniform_int_distribution<std::int32_t> row(-8, kHeight + 8);
    for (int round = 0; round < 400; ++round)
    {
        const Rect rect{column(random), row(random), column(random), row(random)};
        const Rgb colour{byte(), byte(), byte()};
        raster.FillRect(rect, colour);
        const Rect r = NormalizedRect(rect);
        for (std::int32_t y = std::max(r.top, 0); y < std::min(r.bottom, kHeight); ++y)
            for (std::int32_t x = std::max(r.left, 0); x < std::min(r.right, kWidth); ++x)
                expected[static_cast<std::size_t>(y * kWidth + x)] = colour;
        for (std::int32_t y = 0; y < kHeight; ++y)
            for (std::int32_t x = 0; x < kWidth; ++x)
                ASSERT_EQ(raster.GetPixel(x, y), expected[static_cast<std::size_t>(y * kWidth + x)])
                    << "round " << round << " at " << x << "," << y;
    }
}

TEST(RgbRaster, FramesGrowInwards)
{
    struct Case
    {
        Rect rect;
        std::int32_t thickness;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {Rect{0, 0, 5, 4}, 1, {"#####", "#...#", "#...#", "#####"}},
        {Rect{0, 0, 5, 4}, 2, {"#####", "#####", "#####", "#####"}},
        {Rect{1, 1, 4, 3}, 1, {".....", ".###.", ".###.", "....."}},
        {Rect{0, 0, 5, 4}, 0, {".....", ".....", ".....", "....."}},
        {Rect{-1, -1, 6, 5}, 1, {".....", ".....", ".....", "....."}}, // all of it outside
    };
    for (const Case& c : cases)
    {
        CRgbRaster raster(5, 4, kWhite);
        raster.FrameRect(c.rect, c.thickness, kPaint);
        EXPECT_EQ(Rows(raster), c.rows) << c.thickness;
    }
}

TEST(RgbRaster, MagnifiedImageIsEveryPixelMadeASquare)
{
    for (const auto& [width, height, scale] : std::vector<std::tuple<int, int, int>>{
             {3, 5, 2}, {1, 1, 8}, {7, 2, 3}, {4, 4, 1}, {5, 3, 0}, {0, 4, 2}, {4, 0, 3}, {640, 3, 8}})
    {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + " at " + std::to_string(scale));
        CDrawingSurface surface(width, height);
        FillRandom(surface, static_cast<std::uint32_t>(width * 100 + height));
        const CRgbRaster big = Magnified(ViewOf(surface), scale);
        const int k = std::max(scale, 1);
        ASSERT_EQ(big.Width(), width * k);
        ASSERT_EQ(big.Height(), height * k);
        for (int y = 0; y < big.Height(); ++y)
            for (int x = 0; x < big.Width(); ++x)
                ASSERT_EQ(big.GetPixel(x, y), surface.GetPixel(x / k, y / k)) << x << "," << y;
        const CapturedBitmap capture = CaptureImage(big.View());
        EXPECT_EQ(capture.width, big.Width());
        EXPECT_EQ(capture.height, big.Height());
        ASSERT_EQ(capture.pixels.size(),
                  width * height == 0 ? 0u : static_cast<std::size_t>(big.Width() * big.Height()));
        if (!capture.pixels.empty())
        {
            EXPECT_EQ(capture.pixels.back(), big.GetPixel(big.Width() - 1, big.Height() - 1));
        }
    }
}
