// Circle and polygon outlines: the surface's polygon, the plot's region outlines of every shape and
// their exact erasing, and the heatmap's outlines.
#include "PlotTestSupport.h"
#include "plot/HeatmapPicture.h"
#include "plot/TrackPlot.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// The surface's pixels as rows of '#' (lit) and '.' (black).
std::vector<std::string> Picture(const CDrawingSurface& s)
{
    std::vector<std::string> rows;
    for (int y = 0; y < s.Height(); ++y)
    {
        std::string row;
        for (int x = 0; x < s.Width(); ++x)
            row += s.GetPixel(x, y) == kBlack ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

PixelSet EllipsePixels(const Rect& box, int width = 640, int height = 480)
{
    CDrawingSurface s(width, height);
    s.SelectPen(kWhite);
    s.Ellipse(box.left, box.top, box.right, box.bottom);
    return LitPixels(s);
}

// The union of the edges drawn one by one with LineTo, each from a point to the next.
PixelSet EdgePixels(const std::vector<Point>& points, int width, int height)
{
    CDrawingSurface s(width, height);
    s.SelectPen(kWhite);
    s.MoveToEx(points.back().x, points.back().y);
    for (const Point& p : points)
        s.LineTo(p.x, p.y);
    return LitPixels(s);
}

struct AttachedPlot
{
    AttachedPlot() : surface(640, 480) { plot.Attach(&surface, 640, 480, nullptr); }
    CDrawingSurface surface;
    CTrackPlot plot;
};

// A spike: the two long edges run side by side and share pixels, so an outline that drew shared
// pixels twice would not be erased by exclusive-or.
const std::vector<Point> kSpike = {{2, 2}, {60, 5}, {2, 8}};
} // namespace

TEST(ShapeDrawing, PolygonIsItsEdgesAsLineToSetsThem)
{
    // (1,1)-(6,1) horizontal; (6,1)-(1,4) in octant 4 sets (6,1) (5,2) (4,2) (3,3) (2,3); (1,4)-(1,1)
    // vertical, upwards. Each end pixel is the next edge's start.
    CDrawingSurface s(8, 6);
    s.SelectPen(kWhite);
    const std::vector<Point> triangle = {{1, 1}, {6, 1}, {1, 4}};
    s.Polygon(triangle);
    EXPECT_EQ(Picture(s), (std::vector<std::string>{"........", ".######.", ".#..##..", ".###....",
                                                    ".#......", "........"}));
    struct Case
    {
        const char* what;
        std::vector<Point> points;
    };
    const Case cases[] = {
        {"concave", {{5, 5}, {50, 5}, {50, 40}, {30, 40}, {30, 20}, {5, 20}}},
        {"steep and shallow", {{10, 2}, {13, 45}, {60, 47}, {3, 30}}},
    };
    for (const Case& c : cases)
    {
        CDrawingSurface polygon(64, 50);
        polygon.SelectPen(kWhite);
        polygon.Polygon(c.points);
        EXPECT_EQ(LitPixels(polygon), EdgePixels(c.points, 64, 50)) << c.what;
    }
}

TEST(ShapeDrawing, PolygonSetsEachPixelOnceSoExclusiveOrErasesIt)
{
    // The spike's edges share pixels: drawn edge by edge in exclusive-or, those would flip twice.
    CDrawingSurface edges(64, 12);
    edges.SelectPen(kWhite);
    edges.SetROP2(RasterOp::Xor);
    edges.MoveToEx(kSpike.back().x, kSpike.back().y);
    for (const Point& p : kSpike)
        edges.LineTo(p.x, p.y);
    const PixelSet union_ = EdgePixels(kSpike, 64, 12);
    ASSERT_LT(LitPixels(edges).size(), union_.size()) << "the spike's edges must share pixels";

    CDrawingSurface s(64, 12);
    s.SelectPen(Rgb{0, 255, 0});
    s.Polygon(kSpike);
    EXPECT_EQ(PixelsOfColour(s, Rgb{0, 255, 0}), union_);
    s.SetROP2(RasterOp::Xor);
    s.Polygon(kSpike);
    EXPECT_TRUE(LitPixels(s).empty());

    CDrawingSurface random(64, 12);
    FillRandom(random, 99);
    const std::vector<Rgb> before = AllPixels(random);
    random.SelectPen(Rgb{12, 200, 77});
    random.SetROP2(RasterOp::Xor);
    random.MoveToEx(3, 4);
    random.Polygon(kSpike);
    EXPECT_NE(AllPixels(random), before);
    random.Polygon(kSpike);
    EXPECT_EQ(AllPixels(random), before);
    EXPECT_EQ(random.CurrentPosition(), (Point{3, 4}));
    EXPECT_EQ(random.PenColour(), (Rgb{12, 200, 77}));
    EXPECT_EQ(random.GetROP2(), RasterOp::Xor);
}

TEST(ShapeDrawing, PolygonPartlyOffTheSurfaceSetsItsOnSurfacePixelsOnly)
{
    // The same polygon moved by (100, 100) onto a larger surface, seen through the small one's window.
    CDrawingSurface big(200, 200);
    big.SelectPen(kWhite);
    big.Polygon(std::vector<Point>{{70, 90}, {125, 103}, {110, 140}});
    const PixelSet expected = LitPixelsInWindow(big, 100, 100, 40, 30);
    ASSERT_FALSE(expected.empty());
    CDrawingSurface small(40, 30);
    small.SelectPen(kWhite);
    small.Polygon(std::vector<Point>{{-30, -10}, {25, 3}, {10, 40}});
    EXPECT_EQ(LitPixels(small), expected);

    CDrawingSurface off(40, 30);
    off.SelectPen(kWhite);
    off.Polygon(std::vector<Point>{{100, 100}, {200, 100}, {150, 300}});
    off.Polygon(std::vector<Point>{{-2147483647 - 1, -2147483647 - 1}, {-5, 2147483647}, {-1, 0}});
    EXPECT_TRUE(LitPixels(off).empty());
}

TEST(ShapeDrawing, RegionsOfEveryShapeAreOutlinedInTheirColoursAndErasedExactly)
{
    CRegionTable table;
    table.SetShape(0, RegionShape::Rectangle(Rect{175, 175, 50, 50}));
    table.SetShape(1, RegionShape::Circle(320, 240, 40));
    table.SetShape(2, RegionShape::Polygon({{400, 20}, {600, 60}, {420, 100}}));
    table.SetShape(3, RegionShape::Circle(600, 400, 1)); // the smallest circle: its 2 x 2 box
    table.m_nRegionCount = 4;
    AttachedPlot p;
    ASSERT_EQ(p.plot.RedrawRegions(table.m_regionRects.data(), table.m_regionShapes.data(), 4, -1), 0);
    const auto colour = [](std::size_t i) { return kRegionColors[i]; };
    // A circle is the surface's ellipse in its box: never the box's corners.
    EXPECT_EQ(PixelsOfColour(p.surface, colour(1)), EllipsePixels(Rect{280, 200, 360, 280}));
    EXPECT_EQ(p.surface.GetPixel(280, 200), kBlack);
    EXPECT_EQ(PixelsOfColour(p.surface, colour(2)), EdgePixels({{400, 20}, {600, 60}, {420, 100}}, 640, 480));
    EXPECT_EQ(PixelsOfColour(p.surface, colour(3)),
              (PixelSet{{599, 399}, {600, 399}, {599, 400}, {600, 400}}));

    // Rectangles are drawn exactly as without shapes.
    AttachedPlot rectanglesOnly;
    rectanglesOnly.plot.RedrawRegions(table.m_regionRects.data(), 1, 1);
    AttachedPlot withShapes;
    withShapes.plot.RedrawRegions(table.m_regionRects.data(), table.m_regionShapes.data(), 1, 1);
    EXPECT_EQ(AllPixels(withShapes.surface), AllPixels(rectanglesOnly.surface));

    // Replacing the regions takes every old outline off exactly.
    const Rect one{500, 300, 560, 360};
    ASSERT_EQ(p.plot.RedrawRegions(&one, nullptr, 1, 0), 0);
    AttachedPlot fresh;
    fresh.plot.RedrawRegions(&one, nullptr, 1, 0);
    EXPECT_EQ(AllPixels(p.surface), AllPixels(fresh.surface));
}

TEST(ShapeDrawing, HeatmapOutlinesShapesWithTheSurfacesPixelsEdgedDark)
{
    OccupancyMap map;
    map.binPixels = 10;
    map.columns = 64;
    map.rows = 48;
    map.seconds.assign(64 * 48, 0.0);
    HeatmapPictureOptions options;
    options.scale = 1;
    options.regions = {{RegionShape::Circle(320, 240, 40), "pool"},
                       {RegionShape::Polygon({{0, 0}, {60, 10}, {5, 50}}), ""}};
    const HeatmapLayout layout = LayOutHeatmapPicture(map, options);
    const CRgbRaster picture = DrawHeatmapPicture(map, options);
    const auto at = [&](std::int32_t x, std::int32_t y)
    { return picture.GetPixel(layout.plot.left + x, layout.plot.top + y); };
    PixelSet outline = EllipsePixels(Rect{280, 200, 360, 280});
    const PixelSet edges = EdgePixels({{0, 0}, {60, 10}, {5, 50}}, 640, 480);
    outline.insert(edges.begin(), edges.end());
    const Rgb grey = at(200, 400); // a never-visited bin far from every region
    for (std::int32_t y = 0; y < 480; ++y)
        for (std::int32_t x = 0; x < 640; ++x)
        {
            // The pool's name stands at its box's top-left, on a dark box of its own.
            if (x >= 280 && x < 340 && y >= 200 && y < 218)
                continue;
            if (outline.count({x, y}) != 0)
            {
                ASSERT_EQ(at(x, y), kWhite) << x << "," << y;
                continue;
            }
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    near = near || outline.count({x + dx, y + dy}) != 0;
            ASSERT_EQ(at(x, y), near ? kBlack : grey) << x << "," << y;
        }
    EXPECT_EQ(at(281, 203), grey); // the label's box starts two pixels inside the box's corner
    EXPECT_EQ(at(282, 202), kBlack);
}
