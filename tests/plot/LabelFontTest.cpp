// The label font over printable ASCII: the glyphs the window's labels use keep their exact pixels,
// every printable character draws as itself inside its cell, and text scaled for print is the same
// text with every font pixel made a square.
#include "plot/LabelFont.h"

#include "plot/DrawingSurface.h"
#include "plot/RgbRaster.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace
{
constexpr Rgb kInk{255, 0, 0};
constexpr Rgb kAround{9, 9, 9};

int GetTextWidth(const std::string& text)
{
    return CDrawingSurface(0, 0).GetTextExtent(text).cx;
}

// The cell of text drawn at (0, 0) on a black background, as rows of '#' (ink) and '.'.
std::vector<std::string> Render(const std::string& text)
{
    CDrawingSurface surface(GetTextWidth(text), kLabelFontHeight);
    surface.SetTextColor(kInk);
    surface.SetBkColor(kBlack);
    surface.DrawText(0, 0, text);
    std::vector<std::string> rows;
    for (int y = 0; y < surface.Height(); ++y)
    {
        std::string row;
        for (int x = 0; x < surface.Width(); ++x)
            row += surface.GetPixel(x, y) == kInk ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

std::string AllPrintable()
{
    std::string text;
    for (char c = kFirstLabelChar; c <= kLastLabelChar; ++c)
        text += c;
    return text;
}
} // namespace

// Test that the digits, the space and the letters of "X-Y Parameters" are drawn exactly as the
// window has always drawn its labels.
TEST(LabelFont, GlyphsOfTheWindowsLabelsKeepTheirPixels)
{
    struct Case
    {
        std::string text;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {"0123456789 ",
         {
             "................................................................",
             "................................................................",
             ".###....#....###..#####....#..#####...##..#####..###...###......",
             "#...#..##...#...#....#....##..#......#........#.#...#.#...#.....",
             "#..##...#.......#...#....#.#..####..#........#..#...#.#...#.....",
             "#.#.#...#......#.....#..#..#......#.####....#....###...####.....",
             "##..#...#.....#.......#.#####.....#.#...#..#....#...#.....#.....",
             "#...#...#....#....#...#....#..#...#.#...#..#....#...#....#......",
             ".###...###..#####..###.....#...###...###...#.....###...##.......",
             "................................................................",
             "................................................................",
             "................................................................",
         }},
        {"X-Y Parmets",
         {
             "................................................................",
             "................................................................",
             "#...#.......#...#.....####...........................#..........",
             "#...#.......#...#.....#...#..........................#..........",
             ".#.#.........#.#......#...#..###..#.##..##.#...###..###....####.",
             "..#...#####...#.......####......#.##..#.#.#.#.#...#..#....#.....",
             ".#.#..........#.......#......####.#.....#.#.#.#####..#.....###..",
             "#...#.........#.......#.....#...#.#.....#.#.#.#......#..#.....#.",
             "#...#.........#.......#......####.#.....#.#.#..###....##..####..",
             "................................................................",
             "................................................................",
             "................................................................",
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(Render(c.text), c.rows);
    }
}

// Test that every printable character has a glyph of its own, draws inside its measured cell with a
// blank column at its right, and has ink unless it is the space.
TEST(LabelFont, EveryPrintableCharacterDrawsInsideItsCell)
{
    const std::vector<std::string> box = Render("\x7f");
    std::set<std::vector<std::string>> seen;
    for (const char c : AllPrintable())
    {
        SCOPED_TRACE(std::string("character ") + c);
        EXPECT_EQ(FindLabelGlyph(c).ch, c);
        const int width = GetTextWidth(std::string(1, c));
        CDrawingSurface surface(width + 6, kLabelFontHeight + 6);
        surface.FillOpaque(Rect{0, 0, width + 6, kLabelFontHeight + 6}, kAround);
        surface.SetTextColor(kInk);
        surface.SetBkColor(kBlack);
        surface.DrawText(3, 3, std::string(1, c));
        int ink = 0;
        for (int y = 0; y < surface.Height(); ++y)
            for (int x = 0; x < surface.Width(); ++x)
            {
                const Rgb p = surface.GetPixel(x, y);
                const bool inCell = x >= 3 && x < 3 + width && y >= 3 && y < 3 + kLabelFontHeight;
                if (!inCell)
                {
                    ASSERT_EQ(p, kAround) << x << "," << y;
                    continue;
                }
                if (p == kInk)
                {
                    ++ink;
                    EXPECT_LT(x, 3 + width - 1) << "ink in the spacing column at row " << y;
                }
            }
        EXPECT_EQ(ink > 0, c != ' ');
        const std::vector<std::string> rows = Render(std::string(1, c));
        EXPECT_NE(rows, box);
        EXPECT_TRUE(seen.insert(rows).second) << "drawn like another character";
    }
}

TEST(LabelFont, CharactersOutsidePrintableAsciiAreTheBox)
{
    const std::vector<std::string> box = Render("\x7f");
    EXPECT_EQ(box[2], "#####.");
    EXPECT_EQ(box[3], "#...#.");
    for (const char c : {'\0', '\t', '\n', '\x1f', '\x7f', '\x80', '\xe9', '\xff'})
    {
        SCOPED_TRACE(static_cast<int>(c));
        EXPECT_EQ(FindLabelGlyph(c).ch, '\0');
        EXPECT_EQ(Render(std::string(1, c)), box);
    }
}

// Test that text at scale k covers k times the extent and is the scale-1 text with each pixel made
// a k x k square, whatever lies under it left alone between the glyphs.
TEST(LabelFont, ScaledTextIsEveryPixelMadeASquare)
{
    const std::string text = "Ag|~ 0.5 s, {x}";
    const std::vector<std::string> plain = Render(text);
    for (int k = 1; k <= 8; ++k)
    {
        SCOPED_TRACE(k);
        const TextExtent extent = ScaledTextExtent(text, k);
        EXPECT_EQ(extent.cx, k * GetTextWidth(text));
        EXPECT_EQ(extent.cy, k * kLabelFontHeight);
        CRgbRaster raster(extent.cx + 4, extent.cy + 4, kAround);
        raster.DrawText(2, 2, text, kInk, k);
        for (int y = 0; y < raster.Height(); ++y)
            for (int x = 0; x < raster.Width(); ++x)
            {
                const int fx = x - 2;
                const int fy = y - 2;
                const bool inside = fx >= 0 && fy >= 0 && fx < extent.cx && fy < extent.cy;
                const bool ink =
                    inside &&
                    plain[static_cast<std::size_t>(fy / k)][static_cast<std::size_t>(fx / k)] == '#';
                ASSERT_EQ(raster.GetPixel(x, y), ink ? kInk : kAround) << x << "," << y;
            }
    }
}
