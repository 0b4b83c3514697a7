// The raster of composed pictures: fills clipped to it, frames grown inwards, enlargement of any
// image, and its pixels handed to the bitmap writer unchanged.
#include "plot/RgbRaster.h"

#include "PlotTestSupport.h"
#include "plot/BitmapFile.h"

#include <gtest/gtest.h>

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
             {3, 5, 2}, {1, 1, 8}, {7, 2, 3}, {4, 4, 1}, {5, 3, 0}, {0, 4, 2}})
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
