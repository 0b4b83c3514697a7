// Pixel rules of the drawing surface: which pixels each primitive sets, raster operations,
// clipping, the fill and the label font.
#include "plot/DrawingSurface.h"

#include "PlotTestSupport.h"
#include "plot/LabelFont.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
constexpr Rgb kPen{10, 200, 30};

PixelSet LinePixels(Point from, Point to, int width = 200, int height = 200)
{
    CDrawingSurface surface(width, height);
    surface.SelectPen(kPen);
    surface.MoveToEx(from.x, from.y);
    surface.LineTo(to.x, to.y);
    return LitPixels(surface);
}

PixelSet Column(int x, int fromY, int toY)
{
    PixelSet set;
    for (int y = std::min(fromY, toY); y <= std::max(fromY, toY); ++y)
        set.insert({x, y});
    return set;
}

PixelSet Row(int y, int fromX, int toX)
{
    PixelSet set;
    for (int x = std::min(fromX, toX); x <= std::max(fromX, toX); ++x)
        set.insert({x, y});
    return set;
}

PixelSet Union(PixelSet a, const PixelSet& b)
{
    a.insert(b.begin(), b.end());
    return a;
}
} // namespace

// Test that the worked lines set exactly their pixels, and that the reverse line sets the same
// pixels but with the other end point excluded.
TEST(DrawingSurface, WorkedLinesInBothDirections)
{
    struct Case
    {
        Point from;
        Point to;
        PixelSet pixels;
    };
    const Case cases[] = {
        {{120, 100}, {116, 103}, {{120, 100}, {119, 101}, {118, 101}, {117, 102}}},
        {{120, 100}, {116, 96}, {{120, 100}, {119, 99}, {118, 98}, {117, 97}}},
        {{99, 110}, {100, 90}, Union(Column(99, 110, 100), Column(100, 99, 91))},
        {{80, 100}, {120, 100}, Row(100, 80, 119)},
        {{120, 100}, {80, 100}, Row(100, 120, 81)},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << "(" << c.from.x << "," << c.from.y << ")-(" << c.to.x << "," << c.to.y << ")");
        EXPECT_EQ(LinePixels(c.from, c.to), c.pixels);
        PixelSet reversed = c.pixels;
        reversed.erase({c.from.x, c.from.y});
        reversed.insert({c.to.x, c.to.y});
        EXPECT_EQ(LinePixels(c.to, c.from), reversed);
    }
}

// Test that every line sets exactly max(|dx|, |dy|) pixels, never its end pixel, and covers the same
// pixels as its reverse apart from the end points, in all eight octants and on their borders.
TEST(DrawingSurface, LinesAndTheirReversesAgreeInEveryOctant)
{
    std::uint32_t state = 7;
    auto next = [&state](int range)
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(2 * range + 1)) - range;
    };
    std::vector<Point> deltas = {{5, 5}, {-5, 5}, {5, -5}, {-5, -5}, {7, 0}, {0, 7}, {-7, 0}, {0, -7}};
    for (int i = 0; i < 400; ++i)
        deltas.push_back({next(40), next(40)});
    for (const Point d : deltas)
    {
        const Point from{100, 100};
        const Point to{100 + d.x, 100 + d.y};
        SCOPED_TRACE(testing::Message() << "delta " << d.x << "," << d.y);
        const PixelSet forward = LinePixels(from, to);
        const PixelSet backward = LinePixels(to, from);
        const auto major = static_cast<std::size_t>(std::max(std::abs(d.x), std::abs(d.y)));
        EXPECT_EQ(forward.size(), major);
        EXPECT_EQ(forward.count({to.x, to.y}), 0u);
        if (major > 0)
        {
            EXPECT_EQ(forward.count({from.x, from.y}), 1u);
        }
        PixelSet expectedBackward = forward;
        expectedBackward.erase({from.x, from.y});
        if (major > 0)
            expectedBackward.insert({to.x, to.y});
        EXPECT_EQ(backward, expectedBackward);
    }
}

TEST(DrawingSurface, ZeroLengthLineSetsNothingAndMovesThePosition)
{
    CDrawingSurface surface(20, 20);
    surface.SelectPen(kPen);
    surface.MoveToEx(5, 5);
    surface.LineTo(5, 5);
    EXPECT_TRUE(LitPixels(surface).empty());
    surface.MoveToEx(1, 1);
    surface.LineTo(4, 1);
    EXPECT_EQ(surface.CurrentPosition(), (Point{4, 1}));
    surface.LineTo(4, 3); // continues from the end of the last line
    EXPECT_EQ(LitPixels(surface), (PixelSet{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}}));
}

// Test that shapes partly off the surface set exactly the pixels the same shape sets there on a
// larger surface: clipping never moves a line or an outline.
TEST(DrawingSurface, ClippedShapesSetExactlyTheirOnSurfacePixels)
{
    enum class Shape
    {
        Line,
        Rect,
        Ellipse
    };
    struct Case
    {
        Shape shape;
        int x0, y0, x1, y1;
    };
    const Case cases[] = {
        {Shape::Line, -13, 4, 25, 9},   {Shape::Line, 3, -20, 11, 30},   {Shape::Line, 25, 25, -7, -3},
        {Shape::Line, -30, -3, 40, 2},  {Shape::Rect, -5, -5, 10, 12},   {Shape::Rect, 15, 3, 30, 40},
        {Shape::Rect, 22, 22, -3, 5},   {Shape::Ellipse, -6, -4, 9, 13}, {Shape::Ellipse, 12, 14, 27, 33},
        {Shape::Ellipse, -5, -5, 5, 5},
    };
    constexpr int kSmall = 20;
    constexpr int kOffset = 50;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << static_cast<int>(c.shape) << ": " << c.x0 << "," << c.y0 << " "
                                        << c.x1 << "," << c.y1);
        CDrawingSurface small(kSmall, kSmall);
        CDrawingSurface big(kSmall + 2 * kOffset, kSmall + 2 * kOffset);
        for (CDrawingSurface* s : {&small, &big})
        {
            const int shift = s == &big ? kOffset : 0;
            s->SelectPen(kPen);
            switch (c.shape)
            {
            case Shape::Line:
                s->MoveToEx(c.x0 + shift, c.y0 + shift);
                s->LineTo(c.x1 + shift, c.y1 + shift);
                break;
            case Shape::Rect:
                s->Rectangle(c.x0 + shift, c.y0 + shift, c.x1 + shift, c.y1 + shift);
                break;
            case Shape::Ellipse:
                s->Ellipse(c.x0 + shift, c.y0 + shift, c.x1 + shift, c.y1 + shift);
                break;
            }
        }
        const PixelSet expected = LitPixelsInWindow(big, kOffset, kOffset, kSmall, kSmall);
        EXPECT_FALSE(expected.empty());
        EXPECT_EQ(LitPixels(small), expected);
    }
}

TEST(DrawingSurface, FarOffShapesAndPixelsSetNothing)
{
    CDrawingSurface surface(20, 20);
    surface.SelectPen(kPen);
    surface.SetPixelV(-1, 0, kPen);
    surface.SetPixelV(20, 5, kPen);
    surface.SetPixelV(3, 20, kPen);
    surface.MoveToEx(-2000000000, -2000000000);
    surface.LineTo(2000000000, -1900000000);
    surface.Rectangle(-2000000000, 30, 2000000000, 2000000000);
    surface.Ellipse(1000, 1000, 1010, 1010);
    // A box larger than any plot that still overlaps the surface: its outline passes far outside,
    // and its arithmetic must not overflow.
    surface.Ellipse(-2000000000, -2000000000, 2000000000, 2000000000);
    EXPECT_TRUE(LitPixels(surface).empty());
}

TEST(DrawingSurface, RectangleOutlineRunsAlongTheSmallerAndOneLessThanTheLargerEdges)
{
    for (const Rect r : {Rect{50, 50, 175, 175}, Rect{175, 175, 50, 50}, Rect{175, 50, 50, 175}})
    {
        CDrawingSurface surface(200, 200);
        surface.SelectPen(kPen);
        surface.Rectangle(r.left, r.top, r.right, r.bottom);
        const PixelSet expected = Union(Union(Row(50, 50, 174), Row(174, 50, 174)),
                                        Union(Column(50, 50, 174), Column(174, 50, 174)));
        EXPECT_EQ(LitPixels(surface), expected);
    }
}

TEST(DrawingSurface, DegenerateRectanglesAreSetOnceOrNotAtAll)
{
    struct Case
    {
        Rect r;
        PixelSet pixels;
    };
    const Case cases[] = {
        {{10, 10, 10, 20}, {}},
        {{10, 10, 20, 10}, {}},
        {{10, 10, 11, 14}, Column(10, 10, 13)},
        {{10, 10, 14, 11}, Row(10, 10, 13)},
        {{3, 3, 4, 4}, {{3, 3}}},
    };
    for (const Case& c : cases)
    {
        CDrawingSurface surface(30, 30);
        surface.SelectPen(kPen);
        surface.SetROP2(RasterOp::Xor);
        surface.Rectangle(c.r.left, c.r.top, c.r.right, c.r.bottom);
        EXPECT_EQ(LitPixels(surface), c.pixels); // a pixel set twice in xor would be black again
    }
}

TEST(DrawingSurface, MarkerCircleIsTheTenByTenOutline)
{
    const char* const expected[] = {
        "...####...", "..#....#..", ".#......#.", "#........#", "#........#",
        "#........#", "#........#", ".#......#.", "..#....#..", "...####...",
    };
    CDrawingSurface surface(200, 200);
    surface.SelectPen(kWhite);
    surface.Ellipse(95, 95, 105, 105);
    PixelSet want;
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 10; ++column)
            if (expected[row][column] == '#')
                want.insert({95 + column, 95 + row});
    EXPECT_EQ(LitPixels(surface), want);
}

TEST(DrawingSurface, SmallEllipseBoxesDrawTheRectangleOutline)
{
    for (const Rect r : {Rect{4, 4, 6, 9}, Rect{4, 4, 9, 6}, Rect{4, 4, 5, 5}, Rect{9, 9, 4, 7}})
    {
        CDrawingSurface a(20, 20);
        CDrawingSurface b(20, 20);
        a.SelectPen(kPen);
        b.SelectPen(kPen);
        a.Ellipse(r.left, r.top, r.right, r.bottom);
        b.Rectangle(r.left, r.top, r.right, r.bottom);
        EXPECT_EQ(LitPixels(a), LitPixels(b));
    }
}

// Test that an outline drawn in copy mode and again in exclusive-or mode is black, whatever lay
// under it, and that the pixels around it are untouched.
TEST(DrawingSurface, CopyThenXorLeavesBlackOnTheOutlineOnly)
{
    CDrawingSurface surface(60, 60);
    FillRandom(surface, 3);
    const std::vector<Rgb> before = AllPixels(surface);
    surface.SelectPen(Rgb{255, 127, 0});
    surface.Rectangle(5, 7, 40, 50);
    surface.SetROP2(RasterOp::Xor);
    surface.Rectangle(5, 7, 40, 50);
    CDrawingSurface outline(60, 60);
    outline.SelectPen(kWhite);
    outline.Rectangle(5, 7, 40, 50);
    const PixelSet onOutline = LitPixels(outline);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 60; ++x)
        {
            const Rgb want =
                onOutline.count({x, y}) != 0 ? kBlack : before[static_cast<std::size_t>(y * 60 + x)];
            ASSERT_EQ(surface.GetPixel(x, y), want) << x << "," << y;
        }
}

TEST(DrawingSurface, XorTwiceRestoresARandomBackground)
{
    CDrawingSurface surface(80, 80);
    FillRandom(surface, 11);
    const std::vector<Rgb> before = AllPixels(surface);
    surface.SelectPen(Rgb{200, 100, 50});
    surface.SetROP2(RasterOp::Xor);
    for (int pass = 0; pass < 2; ++pass)
    {
        surface.MoveToEx(3, 70);
        surface.LineTo(77, 2);
        surface.LineTo(10, 10);
        surface.Rectangle(70, 70, 5, 20);
        surface.Ellipse(10, 10, 65, 44);
        surface.Ellipse(40, 40, 47, 50);
        if (pass == 0)
        {
            EXPECT_NE(AllPixels(surface), before);
        }
    }
    EXPECT_EQ(AllPixels(surface), before);
}

TEST(DrawingSurface, PixelsFillAndTextAlwaysCopy)
{
    CDrawingSurface surface(40, 20);
    surface.SetROP2(RasterOp::Xor);
    surface.FillOpaque(Rect{0, 0, 40, 20}, Rgb{1, 2, 3});
    surface.FillOpaque(Rect{0, 0, 40, 20}, Rgb{1, 2, 3});
    EXPECT_EQ(surface.GetPixel(39, 19), (Rgb{1, 2, 3}));
    EXPECT_EQ(surface.GetBkColor(), (Rgb{1, 2, 3}));
    surface.SetPixelV(4, 4, kPen);
    surface.SetPixelV(4, 4, kPen);
    EXPECT_EQ(surface.GetPixel(4, 4), kPen);
}

TEST(DrawingSurface, FillCoversItsRectangleOnlyAndIsClipped)
{
    CDrawingSurface surface(10, 10);
    surface.FillOpaque(Rect{-5, 3, 4, 100}, kPen);
    PixelSet want;
    for (int y = 3; y < 10; ++y)
        for (int x = 0; x < 4; ++x)
            want.insert({x, y});
    EXPECT_EQ(LitPixels(surface), want);
}

// Test that drawing text paints exactly its measured cell: background where the glyph has no ink.
TEST(DrawingSurface, TextCoversExactlyItsExtent)
{
    for (const std::string text : {"0", "12 ", "49", "X-Y Parameters", "?"})
    {
        SCOPED_TRACE(text);
        CDrawingSurface surface(120, 30);
        surface.FillOpaque(Rect{0, 0, 120, 30}, Rgb{9, 9, 9});
        surface.SetTextColor(Rgb{255, 0, 0});
        surface.SetBkColor(kBlack);
        surface.DrawText(3, 4, text);
        const TextExtent extent = surface.GetTextExtent(text);
        EXPECT_EQ(extent.cy, kLabelFontHeight);
        int ink = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 120; ++x)
            {
                const bool inCell = x >= 3 && x < 3 + extent.cx && y >= 4 && y < 4 + extent.cy;
                const Rgb p = surface.GetPixel(x, y);
                if (!inCell)
                {
                    ASSERT_EQ(p, (Rgb{9, 9, 9})) << x << "," << y;
                }
                else
                {
                    ASSERT_TRUE(p == kBlack || p == (Rgb{255, 0, 0})) << x << "," << y;
                }
                ink += p == Rgb{255, 0, 0} ? 1 : 0;
            }
        EXPECT_GT(ink, 0);
    }
}

TEST(DrawingSurface, LabelFontHasDistinctDigitsAndTheMeasuredLetters)
{
    std::set<std::vector<std::uint8_t>> seen;
    for (const char c : std::string("0123456789X-YParmets"))
    {
        const LabelGlyph& glyph = FindLabelGlyph(c);
        EXPECT_EQ(glyph.ch, c);
        seen.insert(std::vector<std::uint8_t>(glyph.rows, glyph.rows + kLabelGlyphRows));
    }
    EXPECT_EQ(seen.size(), 20u);
    EXPECT_EQ(FindLabelGlyph(' ').ch, ' ');
    EXPECT_EQ(FindLabelGlyph('\x7f').ch, '\0'); // not printable, not in the font: the box
}

TEST(DrawingSurface, ChangeCountGrowsWithEveryDrawingCall)
{
    CDrawingSurface surface(10, 10);
    std::uint64_t last = surface.ChangeCount();
    auto grew = [&]()
    {
        const bool result = surface.ChangeCount() > last;
        last = surface.ChangeCount();
        return result;
    };
    surface.SetPixelV(1, 1, kPen);
    EXPECT_TRUE(grew());
    surface.MoveToEx(0, 0);
    surface.LineTo(5, 5);
    EXPECT_TRUE(grew());
    surface.Rectangle(0, 0, 4, 4);
    EXPECT_TRUE(grew());
    surface.Ellipse(0, 0, 8, 8);
    EXPECT_TRUE(grew());
    surface.FillOpaque(Rect{0, 0, 10, 10}, kBlack);
    EXPECT_TRUE(grew());
    surface.DrawText(0, 0, "1");
    EXPECT_TRUE(grew());
}

TEST(DrawingSurface, DataIsRgbRowsTopToBottom)
{
    CDrawingSurface surface(3, 2);
    surface.SetPixelV(2, 1, Rgb{1, 2, 3});
    surface.SetPixelV(0, 0, Rgb{4, 5, 6});
    const std::uint8_t* data = surface.Data();
    EXPECT_EQ(data[0], 4);
    EXPECT_EQ(data[2], 6);
    EXPECT_EQ(data[(1 * 3 + 2) * 3 + 0], 1);
    EXPECT_EQ(data[(1 * 3 + 2) * 3 + 2], 3);
    EXPECT_EQ(surface.Width(), 3);
    EXPECT_EQ(surface.Height(), 2);
}
