// The command table: menu and accelerator routing, the exchange order, and each handler end to end.
#include "AppFixture.h"
#include "framework/DataExchange.h"

#include <filesystem>
#include <set>

namespace
{
constexpr Rgb kRegion0Colour{175, 175, 175};

class CommandTest : public AppTest
{
protected:
    void SetUp() override { Start(); }

    // Sends a message straight to the window's message map; true when some entry took it.
    bool Route(const Message& msg) { return static_cast<CDialog&>(Dlg()).OnWndMsg(msg); }
};

TEST_F(CommandTest, EveryMenuCommandReachesAHandlerButThePlaceholder)
{
    const MenuResource* menu = FindMenuResource(kIdrMainMenu);
    ASSERT_NE(menu, nullptr);
    std::set<int> seen;
    for (const MenuPopup& popup : menu->popups)
        for (const MenuItem& item : popup.items)
            if (!item.IsSeparator())
                seen.insert(item.command);
    // 17 original plain commands, 16 later ones, 19 rectangle items, and 40009.
    ASSERT_EQ(seen.size(), 53u);
    for (int command : seen)
    {
        const bool handled = Route(MakeIdMessage(MessageKind::Command, command));
        host.RunUntilIdle(); // dialogs are cancelled, the About box closed with Enter
        EXPECT_EQ(handled, command != kCmdEllipsis) << command;
    }
    EXPECT_TRUE(host.QuitPosted()) << "Exit was among them";
    EXPECT_EQ(host.ExitCode(), 0);
}

TEST_F(CommandTest, SelectionKeysPickRegionByDigitAndModifier)
{
    for (int i = 0; i < 50; ++i)
        host.PostKey(kVkInsert);
    host.RunUntilIdle();
    ASSERT_EQ(Dlg().m_regions.m_nRegionCount, 50);
    struct Case
    {
        int digit;
        std::uint32_t modifiers;
        std::int32_t selected;
    };
    constexpr Case kCases[] = {
        {0, kModNone, 0},
        {9, kModNone, 9},
        {0, kModShift, 10},
        {9, kModShift, 19},
        {0, kModControl, 20},
        {4, kModControl, 24},
        {5, kModAlt, 35},
        {0, kModControl | kModAlt, 40},
        {9, kModControl | kModAlt, 49},
        {3, kModControl | kModShift, 49}, // not in the table: the selection stays
    };
    for (const Case& c : kCases)
    {
        Key(VkDigit(c.digit), c.modifiers);
        EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, c.selected) << c.digit << " " << c.modifiers;
    }
    Key(kVkInsert);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Sorry, this program only supports up to 50 boxes."});
}

TEST_F(CommandTest, KeysActAsCommandsWhileAnEditHasTheFocusButKeypadDigitsType)
{
    OpenThroughMenu(WriteTrack("keys.qtf", 200));
    for (int i = 0; i < 5; ++i)
        host.PostKey(kVkInsert);
    host.RunUntilIdle();
    for (int edit : {kIdcPlotEveryNth, kIdcMinDistance, kIdcMaxDistance})
    {
        SCOPED_TRACE(edit);
        Window().SetFocusTo(edit);
        const std::string before = Text(edit);
        Key(VkDigit(3));
        EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, 3);
        Key(VkDigit(1));
        EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, 1);
        EXPECT_EQ(Text(edit), before) << "main-row digits never reach the edit";
        host.PostKeypadDigit(3);
        host.RunUntilIdle();
        EXPECT_EQ(Text(edit), before + "3");
        EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, 1);
    }
    Window().SetFocusTo(kIdcPlotEveryNth);
    struct Case
    {
        std::uint16_t key;
        std::uint32_t index;
    };
    // Arrows are the four moves, also with the focus in an edit.
    constexpr Case kArrows[] = {{kVkRight, 1}, {kVkUp, 61}, {kVkLeft, 60}, {kVkDown, 0}, {kVkLeft, 199}};
    for (const Case& c : kArrows)
    {
        Key(c.key);
        EXPECT_EQ(Dlg().m_currentIndex, c.index) << c.key;
    }
    Key(kVkDelete);
    EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 4);
}

TEST_F(CommandTest, EnterEscapeAndCtrlGDoNothingCtrlXQuits)
{
    CScopedCurrentDirectory inTemp(temp.Path());
    OpenThroughMenu(WriteTrack("inert.qtf", 100));
    Key(kVkInsert);
    const std::size_t titles = Window().titleHistory.size();
    Window().SetFocusTo(kIdcPlotEveryNth);
    for (std::uint16_t key : {kVkReturn, kVkEscape})
        Key(key);
    Key(VkLetter('G'), kModControl);
    EXPECT_FALSE(host.QuitPosted());
    EXPECT_TRUE(host.modalDialogs.empty());
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(Window().titleHistory.size(), titles);
    EXPECT_TRUE(Window().IsVisible());
    EXPECT_FALSE(std::filesystem::exists("inert.qtf_Box0_Enter.qsf")) << "Ctrl+G has no entry";

    host.messageBoxAnswers = {kIdNo}; // the region Insert made is not saved: leave without it
    Key(VkLetter('X'), kModControl);
    EXPECT_TRUE(host.QuitPosted());
    EXPECT_EQ(host.ExitCode(), 0);
}

TEST_F(CommandTest, ClosingTheWindowQuitsWithZero)
{
    host.PostClose();
    host.RunUntilIdle();
    EXPECT_TRUE(host.QuitPosted());
    EXPECT_EQ(host.ExitCode(), 0);
    EXPECT_TRUE(Window().IsVisible()) << "the window is not destroyed by closing";
}

// --- The exchange order -------------------------------------------------------------------------

struct ExchangeCase
{
    const char* name;
    int emptied;         // edit emptied before the command
    int trigger;         // check box clicked, or 0 for Plot Now
    const char* message; // shown by the refused field
    int expectedEveryNth;
    bool expectedRR;
    int expectedMax;
    int expectedMin;
};

constexpr ExchangeCase kExchangeCases[] = {
    // Plot every Xth frame comes before the colours: they keep their values although RR was
    // clicked off, and both distances keep theirs though they were typed over.
    {"every Nth empty, colour clicked", kIdcPlotEveryNth, kIdcCheckRR, "Please enter a positive integer.", 60,
     true, 100, 10},
    // Max is read before Min: an empty Max leaves Min as it was.
    {"Max empty, colour clicked", kIdcMaxDistance, kIdcCheckRR, "Please enter an integer.", 9, false, 100,
     10},
    // An empty Min: Max has been taken already.
    {"Min empty, Plot Now", kIdcMinDistance, 0, "Please enter an integer.", 9, true, 55, 10},
};

TEST_F(CommandTest, RefusedFieldGetsMessageAndFocusAndStopsTheExchange)
{
    for (const ExchangeCase& c : kExchangeCases)
    {
        SCOPED_TRACE(c.name);
        host.messageBoxes.clear();
        // Back to the initial values.
        Dlg().m_plotEveryNth = 60;
        Dlg().m_colorFilter = ColorFilter{};
        Dlg().m_maxTargetDistance = 100;
        Dlg().m_minTargetDistance = 10;
        Dlg().UpdateData(ExchangeDirection::ToControls);

        host.TypeText(kIdcPlotEveryNth, "9");
        host.TypeText(kIdcMaxDistance, "55");
        host.TypeText(kIdcMinDistance, "44");
        host.TypeText(c.emptied, "");
        if (c.trigger != 0)
            host.PostClick(c.trigger);
        else
            host.PostClick(kIdcPlotNow);
        host.RunUntilIdle();

        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(Window().GetFocusId(), c.emptied);
        EXPECT_EQ(Dlg().m_plotEveryNth, static_cast<std::uint32_t>(c.expectedEveryNth));
        EXPECT_EQ(Dlg().m_colorFilter.rr, c.expectedRR);
        EXPECT_EQ(Dlg().m_maxTargetDistance, c.expectedMax);
        EXPECT_EQ(Dlg().m_minTargetDistance, c.expectedMin);
    }
}

TEST_F(CommandTest, ColourCheckTakesTheControlsAndRedrawsNothing)
{
    OpenThroughMenu(WriteTrack("colours.qtf", 10));
    Post(kCmdNextFrame);
    const std::uint64_t changes = Dlg().Surface()->ChangeCount();
    host.PostClick(kIdcCheckLum);
    host.PostClick(kIdcCheckPB);
    host.RunUntilIdle();
    EXPECT_FALSE(Dlg().m_colorFilter.lum);
    EXPECT_FALSE(Dlg().m_colorFilter.pb);
    EXPECT_TRUE(Dlg().m_colorFilter.rr);
    EXPECT_EQ(Dlg().Surface()->ChangeCount(), changes);

    Post(kCmdToggleTargetsPoints);
    EXPECT_FALSE(Dlg().m_viewPoints);
    EXPECT_EQ(Dlg().Surface()->ChangeCount(), changes) << "toggling redraws nothing";
    Post(kCmdToggleTargetsPoints);
    EXPECT_TRUE(Dlg().m_viewPoints);
}

// --- Handlers -----------------------------------------------------------------------------------

TEST_F(CommandTest, PlotNowDrawsEveryNthMarker)
{
    // Records at x = 100 + i on row 200: every 60th gives markers at x = 100 and 160 only.
    OpenThroughMenu(WriteTrack("plot.qtf", 120));
    host.PostClick(kIdcPlotNow);
    host.RunUntilIdle();
    EXPECT_TRUE(MarkerShownAt(100, 200));
    EXPECT_TRUE(MarkerShownAt(160, 200));
    EXPECT_FALSE(MarkerShownAt(130, 200));
    EXPECT_FALSE(MarkerShownAt(219, 200));

    // Ctrl+A with "every 30th" typed: the markers of records 0, 30, 60 and 90.
    host.TypeText(kIdcPlotEveryNth, "30");
    Key(VkLetter('A'), kModControl);
    EXPECT_EQ(Dlg().m_plotEveryNth, 30u);
    for (int x : {100, 130, 160, 190})
        EXPECT_TRUE(MarkerShownAt(x, 200)) << x;
    EXPECT_FALSE(MarkerShownAt(115, 200));
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(CommandTest, SavePlotWritesTheBitmapChosenInTheDialog)
{
    OpenThroughMenu(WriteTrack("VT1.qtf", 10));
    Post(kCmdNextFrame);
    host.fileDialogAnswers.push_back(temp.File("saved"));
    Key(VkLetter('S'), kModControl);
    ASSERT_EQ(host.fileDialogs.size(), 2u);
    const FileDialogRequest& request = host.fileDialogs[1];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(request.title, "Save Zentravox Bitmap File");
    EXPECT_EQ(request.initialName, "VT1");
    const std::string bytes = ReadWholeFile(temp.File("saved.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 640u * 480u * 3u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    // Every pixel as the plot shows it, rows bottom-up in blue, green, red.
    ASSERT_GT(LitPixels(), 0);
    int mismatches = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
        {
            const std::size_t at =
                54 + (static_cast<std::size_t>(479 - y) * 640 + static_cast<std::size_t>(x)) * 3;
            const Rgb shown = ShownPixel(x, y);
            if (static_cast<unsigned char>(bytes[at]) != shown.b ||
                static_cast<unsigned char>(bytes[at + 1]) != shown.g ||
                static_cast<unsigned char>(bytes[at + 2]) != shown.r)
                ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_TRUE(host.messageBoxes.empty());
}

TEST_F(CommandTest, GenerateTimestampFilesWritesEnterAndLeaveFilesInTheCurrentDirectory)
{
    // A track along y = 100 from x = 40 to 239 crosses region 0 (50, 50, 175, 175): it enters at
    // x = 50 (record 10) and leaves at x = 175 (record 135).
    CTrackFileBuilder builder;
    for (std::int32_t i = 0; i < 200; ++i)
        builder.Add(MakeRecord(5000 + i, 40 + i, 100));
    std::filesystem::create_directory(temp.File("tracks"));
    std::filesystem::create_directory(temp.File("out"));
    OpenThroughMenu(builder.Write(temp.File("tracks/run7.qtf")));
    Key(kVkInsert);

    {
        CScopedCurrentDirectory inOut(temp.File("out"));
        host.cursorHistory.clear();
        Post(kCmdGenerateTimestampFiles);
    }
    EXPECT_EQ(host.cursorHistory, (std::vector<CursorShape>{CursorShape::Wait, CursorShape::Arrow}));

    const std::string enter = ReadWholeFile(temp.File("out/run7.qtf_Box0_Enter.qsf"));
    const std::string leave = ReadWholeFile(temp.File("out/run7.qtf_Box0_Leave.qsf"));
    ASSERT_EQ(enter.size(), 16384u + 8u);
    ASSERT_EQ(leave.size(), 16384u + 8u);
    EXPECT_EQ(enter.substr(0, 18), "######## Zentravox");
    auto entry = [](const std::string& bytes)
    {
        std::int64_t value = 0;
        for (int k = 7; k >= 0; --k)
            value = (value << 8) | static_cast<unsigned char>(bytes[16384 + static_cast<std::size_t>(k)]);
        return value;
    };
    EXPECT_EQ(entry(enter), 5010);
    EXPECT_EQ(entry(leave), 5135);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_FALSE(std::filesystem::exists(temp.File("tracks/run7.qtf_Box0_Enter.qsf")));
}

TEST_F(CommandTest, GenerateWithoutRegionsWritesNothingAndSaysNothing)
{
    CScopedCurrentDirectory inTemp(temp.Path());
    OpenThroughMenu(WriteTrack("none.qtf", 10));
    host.cursorHistory.clear();
    Post(kCmdGenerateTimestampFiles);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_EQ(host.cursorHistory, (std::vector<CursorShape>{CursorShape::Wait, CursorShape::Arrow}))
        << "the arrow comes back when the run refuses too";
}

TEST_F(CommandTest, RegionCommandsAndMouseGestureDrawOnThePlot)
{
    Key(kVkInsert);
    EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 1);
    EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, 0);
    EXPECT_EQ(Dlg().m_regions.m_regionRects[0], (Rect{50, 50, 175, 175}));
    EXPECT_EQ(ShownPixel(50, 100), kRegion0Colour);

    // Drag from (300, 200) to (250, 150) in plot pixels: stored as dragged, corners not swapped.
    host.PostMouseDown(host.ControlToWindowClient(kIdcPlotArea, {300, 200}));
    host.PostMouseMove(host.ControlToWindowClient(kIdcPlotArea, {280, 180}), kMkLButton);
    host.PostMouseMove(host.ControlToWindowClient(kIdcPlotArea, {250, 150}), kMkLButton);
    host.RunUntilIdle();
    EXPECT_EQ(ShownPixel(250, 170), kWhite) << "the rubber band is on screen while dragging";
    host.PostMouseMove(host.ControlToWindowClient(kIdcPlotArea, {10, 10}), 0); // button not held
    host.PostMouseUp(host.ControlToWindowClient(kIdcPlotArea, {10, 10}));
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().m_regions.m_ptDragAnchor, (Point{300, 200}));
    EXPECT_EQ(Dlg().m_regions.m_ptDragPoint, (Point{250, 150}));
    EXPECT_EQ(Dlg().m_regions.m_regionRects[0], (Rect{300, 200, 250, 150}));
    EXPECT_EQ(ShownPixel(50, 100), kBlack) << "the old outline is gone";
    EXPECT_EQ(ShownPixel(250, 170), kRegion0Colour) << "the band is replaced by the new outline";

    Key(kVkInsert);
    Key(VkDigit(0));
    EXPECT_EQ(Dlg().m_regions.m_nSelectedRegion, 0);
    Key(kVkDelete);
    EXPECT_EQ(Dlg().m_regions.m_nRegionCount, 1);
    EXPECT_EQ(Dlg().m_regions.m_regionNames[0], "Box1");
    EXPECT_EQ(ShownPixel(250, 170), kBlack);
    EXPECT_EQ(ShownPixel(50, 100), Rgb(kRegion0Colour)) << "Box1 moved to slot 0 and its colour";
}

TEST_F(CommandTest, PaintAndRestoreClearThePlotToRegionsWithoutTheRecord)
{
    OpenThroughMenu(WriteTrack("paint.qtf", 10));
    Key(kVkInsert);
    Post(kCmdNextFrame);
    ASSERT_TRUE(MarkerShownAt(101, 200));

    host.PostMinimize();
    host.RunUntilIdle();
    EXPECT_TRUE(Window().IsIconic());
    host.PostPaint(); // minimised: the host shows the icon, the plot is left alone
    host.RunUntilIdle();
    EXPECT_TRUE(MarkerShownAt(101, 200));

    host.PostRestore();
    host.RunUntilIdle();
    EXPECT_FALSE(Window().IsIconic());
    EXPECT_FALSE(MarkerShownAt(101, 200));
    EXPECT_EQ(ShownPixel(50, 100), kRegion0Colour);
    EXPECT_EQ(Text(kIdcRecordNumber), "1") << "readouts stay";

    Post(kCmdNextFrame);
    ASSERT_TRUE(MarkerShownAt(102, 200));
    host.PostPaint();
    host.RunUntilIdle();
    EXPECT_FALSE(MarkerShownAt(102, 200));
}

TEST_F(CommandTest, AboutBoxFromHelpAndFromTheSystemMenu)
{
    Post(kCmdAbout);
    host.PostSysCommand(kIdmAboutBox);
    host.RunUntilIdle();
    host.PostSysCommand(kIdmAboutBox | 0x5u); // the low four bits do not matter
    host.RunUntilIdle();
    EXPECT_EQ(host.modalDialogs, (std::vector<int>{kIddAboutBox, kIddAboutBox, kIddAboutBox}));
    host.PostSysCommand(kScMinimize);
    host.RunUntilIdle();
    EXPECT_TRUE(Window().IsIconic()) << "other system commands get the default processing";
    EXPECT_FALSE(host.QuitPosted());
}
} // namespace
