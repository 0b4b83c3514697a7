#include "HeadlessFixture.h"
#include "framework/PixelSourceAdapter.h"
#include "resources/ResourceIds.h"

namespace
{
// A drawing surface shaped like the plot's, as large as the test window's plot area: Width,
// Height, Data, ChangeCount.
class CFakeSurface
{
public:
    CFakeSurface() : m_pixels(160u * 120u * 3u, 0) {}
    [[nodiscard]] int Width() const { return 160; }
    [[nodiscard]] int Height() const { return 120; }
    [[nodiscard]] const std::uint8_t* Data() const { return m_pixels.data(); }
    [[nodiscard]] std::uint32_t ChangeCount() const { return m_nChanges; }
    void SetPixel(int x, int y, std::uint8_t r)
    {
        m_pixels[static_cast<std::size_t>((y * 160 + x) * 3)] = r;
        ++m_nChanges;
    }

private:
    std::vector<std::uint8_t> m_pixels;
    std::uint32_t m_nChanges = 0;
};
} // namespace

using HeadlessHost = HeadlessFixture;

// Test the window as created from its template: title, visibility, system menu, icon, the plot
// area's client size and its place on screen, the first paint, a disabled control and the texts
// after the first exchange (a control nobody exchanges keeps its template text).
TEST_F(HeadlessHost, WindowFromTemplate)
{
    EXPECT_EQ(Dlg().GetWindowText(), "Test window");
    EXPECT_TRUE(Dlg().IsWindowVisible());
    EXPECT_EQ(Dlg().m_plotArea.GetClientRect(), (Rect{0, 0, 160, 120}));
    EXPECT_EQ(Window().GetControlScreenOrigin(kIdcTestPlot), (Point{6 + 2, 6 + 2}));
    ASSERT_EQ(Window().systemMenu.size(), 2u);
    EXPECT_EQ(Window().systemMenu[0].id, 0u);
    EXPECT_EQ(Window().systemMenu[1].id, kIdmTestItem);
    EXPECT_EQ(Window().systemMenu[1].text, "&About the test...");
    EXPECT_EQ(Window().bigIcon, &kTestIcon);
    EXPECT_EQ(Window().smallIcon, &kTestIcon);
    EXPECT_EQ(host.paintsPosted, 1);
    EXPECT_FALSE(Window().IsControlEnabled(kIdcTestDimmed));
    EXPECT_TRUE(Window().IsControlEnabled(kIdcTestReadout));
    EXPECT_EQ(Window().GetControlText(kIdcTestReadout), "0");
    EXPECT_EQ(Window().GetControlText(kIdcTestDimmed), "-");
    EXPECT_EQ(Dlg().GetFocusId(), kIdcTestCount) << "the first control that takes the focus";
}

// Test that mouse messages carry window coordinates and the cursor, converted against the plot
// area, is where the message put it (negative outside the plot).
TEST_F(HeadlessHost, MouseAndCursorInPlotCoordinates)
{
    host.PostMouseDown(host.ControlToWindowClient(kIdcTestPlot, {100, 50}));
    host.PostMouseMove(host.ControlToWindowClient(kIdcTestPlot, {150, 80}), kMkLButton);
    host.PostMouseUp({0, 0});
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"down 108,58 1", "move 158,88 1", "up 0,0 0"}));
    EXPECT_EQ(Dlg().cursorInPlot, (std::vector<Point>{{100, 50}, {150, 80}, {-8, -8}}));
}

// Test that a drop delivers every path in order (the window opens the first).
TEST_F(HeadlessHost, DropDeliversPathsInOrder)
{
    host.PostDrop({"/tmp/a.qtf", "/tmp/b.qtf", "/tmp/c.qtf"});
    host.RunUntilIdle();
    EXPECT_EQ(Dlg().events, (std::vector<std::string>{"drop /tmp/a.qtf|/tmp/b.qtf|/tmp/c.qtf"}));
}

// Test that the scroll position stays inside the range and the history records every set.
TEST_F(HeadlessHost, ScrollRangeAndPosition)
{
    Dlg().m_scrollBar.SetScrollRange(0, 32766);
    EXPECT_EQ(Dlg().m_scrollBar.SetScrollPos(15727), 0);
    EXPECT_EQ(Dlg().m_scrollBar.SetScrollPos(40000), 15727);
    EXPECT_EQ(Dlg().m_scrollBar.GetScrollPos(), 32766);
    Dlg().m_scrollBar.SetScrollPos(-5);
    EXPECT_EQ(Window().scrollPosHistory, (std::vector<int>{15727, 32766, 0}));
}

// Test that what a handler drew is on screen when it returns, and unchanged pixels are not copied.
TEST_F(HeadlessHost, PixelsPresentedAfterEachHandler)
{
    CFakeSurface surface;
    CPixelSourceAdapter<CFakeSurface> adapter(surface);
    Dlg().m_plotArea.SetPixelSource(&adapter);
    Dlg().onButton = [&surface] { surface.SetPixel(1, 0, 200); };
    host.PostClick(kIdcTestButton);
    host.RunUntilIdle();
    const CHeadlessWindow::Control* plot = Window().FindControl(kIdcTestPlot);
    ASSERT_NE(plot, nullptr);
    ASSERT_EQ(plot->shownPixels.size(), 160u * 120u * 3u);
    EXPECT_EQ(plot->shownPixels[3], 200);
    const int presents = plot->presentCount;
    host.PostCommand(kCmdTestFirst); // draws nothing
    host.RunUntilIdle();
    EXPECT_EQ(plot->presentCount, presents);
}

// Test the message boxes of the framework's sink (a problem warns, a summary informs) and the Yes/No
// question answered by the script.
TEST_F(HeadlessHost, MessageBoxesAndQuestion)
{
    host.messageBoxAnswers = {kIdOk, kIdNo}; // in order, whatever the box
    ShowMessage("Conversion Completed");
    EXPECT_FALSE(GetMessageSink().AskYesNo("continue?"));
    EXPECT_TRUE(GetMessageSink().AskYesNo("again?")); // then the default answer
    ASSERT_EQ(host.messageBoxes.size(), 3u);
    EXPECT_EQ(host.messageBoxes[0].request.caption, kTestAppName);
    EXPECT_EQ(host.messageBoxes[0].request.buttons, MessageBoxButtons::Ok);
    EXPECT_EQ(host.messageBoxes[0].request.icon, MessageBoxIcon::Exclamation);
    EXPECT_EQ(host.messageBoxes[1].request.buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(host.messageBoxes[1].request.icon, MessageBoxIcon::Question);
    EXPECT_EQ(host.messageBoxes[1].answer, kIdNo);

    ShowInformation("3 files written");
    ASSERT_EQ(host.messageBoxes.size(), 4u);
    EXPECT_EQ(host.messageBoxes[3].request.caption, kTestAppName);
    EXPECT_EQ(host.messageBoxes[3].request.text, "3 files written");
    EXPECT_EQ(host.messageBoxes[3].request.buttons, MessageBoxButtons::Ok);
    EXPECT_EQ(host.messageBoxes[3].request.icon, MessageBoxIcon::Information);
}

// Test that file dialogs are recorded and answered, with the default extension applied only to a
// name without one, and a cancelled dialog gives nothing.
TEST_F(HeadlessHost, FileDialogs)
{
    host.fileDialogAnswers = {std::string("/data/VT1"), std::string("/data/run.dat"), std::nullopt};
    FileDialogRequest open{FileDialogRequest::Kind::Open, "Open Video Tracker File", "A (*.qtf)|*.qtf||",
                           ".qtf", "VT1"};
    EXPECT_EQ(GetMessageSink().AskFileName(open), "/data/VT1.qtf");
    EXPECT_EQ(GetMessageSink().AskFileName(open), "/data/run.dat");
    EXPECT_EQ(GetMessageSink().AskFileName(open), std::nullopt);
    EXPECT_EQ(GetMessageSink().AskFileName(open), std::nullopt); // the script has run out: cancel
    ASSERT_EQ(host.fileDialogs.size(), 4u);
    EXPECT_EQ(host.fileDialogs[0].title, "Open Video Tracker File");
    EXPECT_EQ(host.fileDialogs[0].initialName, "VT1");
}

// Test a modal box: it runs, Enter ends it with OK, and the window goes with it.
TEST_F(HeadlessHost, ModalBox)
{
    CTestBox box;
    EXPECT_EQ(box.DoModal(), kIdOk);
    EXPECT_FALSE(box.HasWindow());
    host.modalScripts.push_back([](CHeadlessHost& h, CDialog& d) { h.PostKey(kVkEscape, kModNone, &d); });
    EXPECT_EQ(box.DoModal(), kIdCancel);
    EXPECT_EQ(host.modalDialogs, (std::vector<int>{kIddTestBox, kIddTestBox}));
}

// Test where a window's template comes from: a dialog's own template for its own id, the
// resources for any other id, and nothing for an id neither has.
TEST_F(HeadlessHost, TemplateOfItsOwnOrFromTheResources)
{
    struct Case
    {
        int templateId;
        bool created;
        const char* title;
    };
    const Case cases[] = {
        {kIddTestBox, true, "Test box"},
        {kIddAboutBox, true, "About trackplay"},
        {kIddTestWindow, false, ""}, // another dialog's own template is not in the resources
        {12345, false, ""},
    };
    for (const Case& c : cases)
    {
        CTestBox box;
        EXPECT_EQ(box.Create(c.templateId), c.created) << c.templateId;
        EXPECT_EQ(box.GetWindowText(), c.title) << c.templateId;
        EXPECT_EQ(box.HasWindow(), c.created) << c.templateId;
    }
}

// Test the command line: the words after the program name joined by single spaces.
TEST(CommandLine, JoinsWordsAfterProgramName)
{
    const char* none[] = {"trackplay"};
    const char* one[] = {"trackplay", "\"/tmp/my track.qtf\""};
    const char* words[] = {"trackplay", "/tmp/my", "track.qtf"};
    EXPECT_EQ(JoinCommandLine(1, none), "");
    EXPECT_EQ(JoinCommandLine(2, one), "\"/tmp/my track.qtf\"");
    EXPECT_EQ(JoinCommandLine(3, words), "/tmp/my track.qtf");
}

// Test that a cursor set by a handler is recorded, and that no host means no windows.
TEST(Framework, CursorAndMissingHost)
{
    CHeadlessHost host;
    {
        CScopedHost scoped(host);
        SetCursor(CursorShape::Wait);
        SetCursor(CursorShape::Arrow);
    }
    EXPECT_EQ(host.cursorHistory, (std::vector<CursorShape>{CursorShape::Wait, CursorShape::Arrow}));
    CTestBox box;
    EXPECT_FALSE(box.Create(kIddTestBox));
    EXPECT_EQ(box.DoModal(), -1);
}
