// The window's region edits beyond the rectangle: circles and polygons drawn with the mouse, moved
// by a drag and edited in Region Properties; Delete All; undo and redo; the question before
// regions that were not saved are dropped; names on the plot.
#include "AppFixture.h"
#include "base/ResultCodes.h"
#include "regions/RegionLayout.h"

#include <filesystem>
#include <functional>

namespace
{
constexpr Rgb kRegion0Colour{175, 175, 175};
constexpr Rgb kRegion1Colour{255, 0, 0};

class RegionEditTest : public AppTest
{
protected:
    void SetUp() override { Start(); }

    Point At(Point plotPoint) { return host.ControlToWindowClient(kIdcPlotArea, plotPoint); }

    void Drag(Point from, Point to)
    {
        host.PostMouseDown(At(from));
        host.PostMouseMove(At(to), kMkLButton);
        host.PostMouseUp(At(to));
        host.RunUntilIdle();
    }
    void Click(Point p)
    {
        host.PostMouseDown(At(p));
        host.PostMouseUp(At(p));
        host.RunUntilIdle();
    }
    void AddCircle(Point centre, Point edge)
    {
        Post(kCmdAddCircle);
        Drag(centre, edge);
    }
    void AddTriangle()
    {
        Post(kCmdAddPolygon);
        for (const Point p : {Point{300, 100}, Point{400, 100}, Point{350, 200}})
            Click(p);
        Click({350, 200}); // the double click's second click
    }

    RegionShape Shape(std::int32_t j) { return Dlg().m_regions.ShapeOf(j); }
    std::int32_t Count() { return Dlg().m_regions.m_nRegionCount; }
};

TEST_F(RegionEditTest, CircleIsDrawnFromItsCentreOutwards)
{
    Post(kCmdAddCircle);
    host.PostMouseDown(At({200, 200}));
    host.PostMouseMove(At({230, 240}), kMkLButton);
    host.RunUntilIdle();
    EXPECT_EQ(ShownPixel(200, 150), kWhite) << "the circle grows on screen while dragging";
    host.PostMouseUp(At({230, 240}));
    host.RunUntilIdle();
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Shape(0), RegionShape::Circle(200, 200, 50));
    EXPECT_EQ(Dlg().m_regions.m_regionRects[0], (Rect{150, 150, 250, 250}));
    EXPECT_EQ(ShownPixel(200, 150), kRegion0Colour) << "the preview is replaced by the outline";

    // The next drag moves the selected circle; the rectangle gesture is untouched.
    Drag({200, 200}, {260, 210});
    EXPECT_EQ(Shape(0), RegionShape::Circle(260, 210, 50));
    EXPECT_EQ(ShownPixel(200, 150), kBlack);
    EXPECT_EQ(ShownPixel(260, 160), kRegion0Colour);
    EXPECT_EQ(Dlg().m_regions.m_ptDragAnchor, Point{});
}

TEST_F(RegionEditTest, PolygonShowsItsEdgesAndClosesWithADoubleClickOrEnter)
{
    Post(kCmdAddPolygon);
    Click({300, 100});
    Click({400, 100});
    host.PostMouseMove(At({350, 200}), 0); // no button held: the edges follow the pointer
    host.RunUntilIdle();
    EXPECT_EQ(ShownPixel(350, 100), kWhite) << "the first edge";
    EXPECT_EQ(ShownPixel(375, 150), kWhite) << "the edge to the pointer";
    EXPECT_EQ(Count(), 0);
    Click({350, 200});
    Click({351, 201}); // a double click's second click lands a pixel away
    ASSERT_EQ(Count(), 1);
    EXPECT_EQ(Shape(0), RegionShape::Polygon({{300, 100}, {400, 100}, {350, 200}}));
    EXPECT_EQ(ShownPixel(350, 100), kRegion0Colour);

    Post(kCmdAddPolygon);
    for (const Point p : {Point{10, 300}, Point{100, 300}, Point{100, 400}, Point{10, 400}})
        Click(p);
    Key(kVkReturn);
    ASSERT_EQ(Count(), 2);
    EXPECT_EQ(Shape(1).points.size(), 4u);
    EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, 1);
    EXPECT_EQ(ShownPixel(50, 300), kRegion1Colour);
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(RegionEditTest, EscapeDropsTheShapeBeingDrawnAndTakesItsPreviewOff)
{
    Post(kCmdAddPolygon);
    Click({300, 100});
    Click({400, 100});
    Key(kVkEscape);
    EXPECT_EQ(LitPixels(), 0);
    Click({350, 200}); // no tool: a click with nothing selected stores nothing
    EXPECT_EQ(Count(), 0);

    Post(kCmdAddCircle);
    host.PostMouseDown(At({200, 200}));
    host.PostMouseMove(At({230, 240}), kMkLButton);
    host.RunUntilIdle();
    Key(kVkEscape);
    host.PostMouseUp(At({230, 240}));
    host.RunUntilIdle();
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(LitPixels(), 0);
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(RegionEditTest, PropertiesEditACircleAsTextAndRefuseBadText)
{
    AddCircle({200, 200}, {240, 200});
    std::vector<std::string> shown;
    std::vector<std::string> refusals;
    int focus = 0;
    NextDialog(
        [&](CHeadlessHost& h, CDialog& d)
        {
            shown = {d.GetDlgItemText(kIdcShapeName), d.GetDlgItemText(kIdcShapePrompt),
                     d.GetDlgItemText(kIdcShapeText)};
            for (const char* bad : {"320,240", "320,240,0", "a,b,c"})
            {
                h.TypeText(kIdcShapeText, bad, &d);
                h.PostKey(kVkReturn, kModNone, &d);
                Step(h);
            }
            focus = d.GetFocusId();
            for (const auto& box : h.messageBoxes)
                refusals.push_back(box.request.text);
            h.TypeText(kIdcShapeName, "platform", &d);
            h.TypeText(kIdcShapeText, " 320, 240 ,12", &d);
            h.PostKey(kVkReturn, kModNone, &d);
        });
    Post(kCmdRegionProperties);
    EXPECT_EQ(host.modalDialogs, (std::vector<int>{kIddShapeProperties}));
    EXPECT_EQ(shown, (std::vector<std::string>{"Box0", "Centre and radius (CX,CY,R):", "200,200,40"}));
    EXPECT_EQ(refusals, (std::vector<std::string>{
                            "The circle has 2 numbers; a circle has 3 (centre x, centre y, radius).",
                            "The circle has radius 0; a circle's radius is at least 1.",
                            "The circle is not a list of whole numbers separated by commas.",
                        }));
    EXPECT_EQ(focus, kIdcShapeText);
    EXPECT_EQ(Shape(0), RegionShape::Circle(320, 240, 12));
    EXPECT_EQ(Dlg().m_regions.m_regionNames[0], "platform");
}

TEST_F(RegionEditTest, PropertiesOfAPolygonRoundTripItsPoints)
{
    AddTriangle();
    std::string shown;
    NextDialog(
        [&](CHeadlessHost& h, CDialog& d)
        {
            shown = d.GetDlgItemText(kIdcShapeText);
            h.TypeText(kIdcShapeText, "0,0,50,0,50,50,0,50", &d);
            h.PostKey(kVkReturn, kModNone, &d);
        });
    Post(kCmdRegionProperties);
    EXPECT_EQ(shown, "300,100,400,100,350,200");
    EXPECT_EQ(Shape(0), RegionShape::Polygon({{0, 0}, {50, 0}, {50, 50}, {0, 50}}));
    EXPECT_EQ(Dlg().m_regions.m_regionRects[0], (Rect{0, 0, 50, 50}));

    // A rectangle keeps its four-corner dialog, and its answer goes in as a rectangle.
    Key(kVkInsert);
    NextDialog([](CHeadlessHost& h, CDialog& d) { h.PostKey(kVkReturn, kModNone, &d); });
    Post(kCmdRegionProperties);
    EXPECT_EQ(host.modalDialogs.back(), kIddRegionProperties);
    EXPECT_EQ(Shape(1), RegionShape::Rectangle(kNewRegionRect));
}

TEST_F(RegionEditTest, EveryKindOfEditIsUndoneAndRedone)
{
    const std::string layout = temp.File("two.json");
    {
        CRegionTable two;
        two.m_nRegionCount = 2;
        two.SetShape(0, RegionShape::Circle(100, 100, 30));
        two.SetShape(1, RegionShape::Rectangle(Rect{1, 2, 30, 40}));
        ASSERT_EQ(SaveRegionLayout(layout, two, 8), kOk);
    }
    struct Case
    {
        const char* what;
        std::function<void()> edit;
        bool rectangleSelected = false; // else the triangle
    };
    const Case cases[] = {
        {"Insert", [&] { Key(kVkInsert); }},
        {"Add Circle",
         [&] {
             AddCircle({10, 10}, {10, 30});
         }},
        {"Add Polygon", [&] { AddTriangle(); }},
        {"Delete", [&] { Key(kVkDelete); }},
        {"rectangle drag",
         [&] {
             Drag({100, 120}, {160, 170});
         },
         true},
        {"move",
         [&] {
             Drag({300, 100}, {320, 90});
         }},
        {"properties",
         [&]
         {
             NextDialog(
                 [](CHeadlessHost& h, CDialog& d)
                 {
                     h.TypeText(kIdcShapeName, "nest", &d);
                     h.PostKey(kVkReturn, kModNone, &d);
                 });
             Post(kCmdRegionProperties);
         }},
        {"load",
         [&]
         {
             host.messageBoxAnswers = {kIdNo};
             host.fileDialogAnswers.push_back(layout);
             Post(kCmdLoadRegions);
         }},
        {"Delete All",
         [&]
         {
             host.messageBoxAnswers = {kIdYes};
             Post(kCmdDeleteAllRegions);
         }},
    };
    for (const Case& c : cases)
    {
        // Every case starts from a rectangle and a triangle, the triangle selected.
        Key(kVkInsert);
        AddTriangle();
        if (c.rectangleSelected)
            Key(VkDigit(0));
        const RegionSnapshot before = SnapshotOf(Dlg().m_regions);
        const std::vector<std::uint8_t> plotBefore = ShownPlot();
        c.edit();
        const RegionSnapshot after = SnapshotOf(Dlg().m_regions);
        ASSERT_FALSE(SameRegions(before, after)) << c.what << " changed nothing";
        Key(VkLetter('Z'), kModControl);
        EXPECT_TRUE(SameRegions(SnapshotOf(Dlg().m_regions), before)) << c.what;
        EXPECT_EQ(ShownPlot(), plotBefore) << c.what;
        Key(VkLetter('Y'), kModControl);
        EXPECT_TRUE(SameRegions(SnapshotOf(Dlg().m_regions), after)) << c.what;
        host.messageBoxAnswers = {kIdYes};
        Post(kCmdDeleteAllRegions);
    }
}

TEST_F(RegionEditTest, DeleteAllAsksFirst)
{
    Post(kCmdDeleteAllRegions); // nothing to delete: nothing asked
    EXPECT_TRUE(host.messageBoxes.empty());
    Key(kVkInsert);
    AddTriangle();
    host.messageBoxAnswers = {kIdNo, kIdYes};
    Post(kCmdDeleteAllRegions);
    EXPECT_EQ(Count(), 2);
    Post(kCmdDeleteAllRegions);
    EXPECT_EQ(Count(), 0);
    EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, -1);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>(2, "Delete all 2 regions?"));
    EXPECT_EQ(LitPixels(), 0);
}

// Test the question at exit: Cancel stays, Yes with the save cancelled stays, and one of No (leave
// without saving) or Yes (save, then leave) ends the run.
class ExitQuestionTest : public RegionEditTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(ExitQuestionTest, AsksAboutRegionsNotSavedBeforeLeaving)
{
    const bool saveAtLast = GetParam();
    Key(kVkInsert);
    const std::string path = temp.File("kept.json");
    host.messageBoxAnswers = {kIdCancel, kIdYes, saveAtLast ? kIdYes : kIdNo};
    host.fileDialogAnswers = {std::nullopt, saveAtLast ? std::optional<std::string>(path) : std::nullopt};
    host.PostClose();
    host.RunUntilIdle();
    EXPECT_FALSE(host.QuitPosted()) << "Cancel";
    host.PostClose();
    host.RunUntilIdle();
    EXPECT_FALSE(host.QuitPosted()) << "Yes, then the save dialog cancelled";
    EXPECT_FALSE(std::filesystem::exists(path));
    Key(VkLetter('X'), kModControl);
    EXPECT_TRUE(host.QuitPosted());
    EXPECT_EQ(std::filesystem::exists(path), saveAtLast);
    ASSERT_EQ(host.messageBoxes.size(), 3u);
    for (const auto& box : host.messageBoxes)
    {
        EXPECT_EQ(box.request.text, "Save changes to the regions?");
        EXPECT_EQ(box.request.buttons, MessageBoxButtons::YesNoCancel);
    }
}

INSTANTIATE_TEST_SUITE_P(NoOrYes, ExitQuestionTest, ::testing::Bool());

TEST_F(RegionEditTest, NothingIsAskedWhenTheRegionsAreAsSavedOrLoaded)
{
    Key(kVkInsert);
    host.fileDialogAnswers.push_back(temp.File("one.json"));
    Post(kCmdSaveRegions);
    Key(kVkInsert);
    Key(kVkDelete); // back to the saved region
    host.fileDialogAnswers.push_back(temp.File("one.json"));
    Post(kCmdLoadRegions);
    Key(VkLetter('X'), kModControl);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(host.QuitPosted());
}

TEST_F(RegionEditTest, NamesTheUserGaveAreWrittenAtTheRegionsTopLeft)
{
    Key(kVkInsert); // Box0 at (50, 50, 175, 175): no name is drawn
    const int outlineOnly = LitPixels();
    NextDialog(
        [](CHeadlessHost& h, CDialog& d)
        {
            h.TypeText(kIdcRegionName, "nest", &d);
            h.PostKey(kVkReturn, kModNone, &d);
        });
    Post(kCmdRegionProperties);
    EXPECT_GT(LitPixels(), outlineOnly + 10) << "the name's letters";
    bool inColour = false;
    for (int y = 53; y < 66; ++y)
        for (int x = 53; x < 80; ++x)
            inColour = inColour || ShownPixel(x, y) == kRegion0Colour;
    EXPECT_TRUE(inColour) << "written in the region's colour inside its top-left corner";
    Key(VkLetter('Z'), kModControl);
    EXPECT_EQ(LitPixels(), outlineOnly) << "the name is taken off with the undo";
}
} // namespace
