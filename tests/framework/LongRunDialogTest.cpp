// The progress display and the folder dialog of the long commands, on the headless host.
#include "HeadlessFixture.h"
#include "framework/FolderDialog.h"
#include "framework/PixelSourceAdapter.h"
#include "framework/ProgressDialog.h"

#include <utility>

namespace
{
using Update = std::pair<std::uint64_t, std::uint64_t>;

// A black picture as large as the test window's plot area whose first pixel can be painted.
class CPixelSurface
{
public:
    [[nodiscard]] int Width() const { return 160; }
    [[nodiscard]] int Height() const { return 120; }
    [[nodiscard]] const std::uint8_t* Data() const { return m_pixels.data(); }
    [[nodiscard]] std::uint64_t ChangeCount() const { return m_nChanges; }
    void PaintFirstPixel(std::uint8_t red)
    {
        m_pixels[0] = red;
        ++m_nChanges;
    }

private:
    std::vector<std::uint8_t> m_pixels = std::vector<std::uint8_t>(160u * 120u * 3u, 0);
    std::uint64_t m_nChanges = 0;
};

// Runs a command of ten steps behind a progress display, stopping when it returns false; returns
// the steps done.
int RunTenSteps(std::string_view title)
{
    CProgressDialog progress(title, "Working...");
    const auto callback = progress.Callback();
    int done = 0;
    while (done < 10 && callback(static_cast<std::uint64_t>(done + 1), 10))
        ++done;
    return done;
}
} // namespace

using LongRunDialog = HeadlessFixture;

// Test the Cancel press at each place: the update it comes at and every later one return false,
// the display was modal all along and closes with its object.
TEST_F(LongRunDialog, CancelStopsTheRunAtItsUpdate)
{
    struct Case
    {
        int cancelAt; // 0: never
        int stepsDone;
    };
    const Case cases[] = {{0, 10}, {1, 0}, {4, 3}, {10, 9}, {11, 10}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.cancelAt);
        host.progresses.clear();
        host.progressCancelAt.push_back(c.cancelAt);
        EXPECT_EQ(RunTenSteps("Export"), c.stepsDone);
        ASSERT_EQ(host.progresses.size(), 1u);
        const CHeadlessHost::ProgressRecord& shown = host.progresses[0];
        EXPECT_EQ(shown.title, "Export");
        EXPECT_EQ(shown.text, "Working...");
        const auto expectedUpdates = static_cast<std::size_t>(std::min(c.stepsDone + 1, 10));
        ASSERT_EQ(shown.updates.size(), expectedUpdates);
        EXPECT_EQ(shown.updates.front(), (Update{1, 10}));
        EXPECT_EQ(shown.cancelled, c.cancelAt >= 1 && c.cancelAt <= 10);
        EXPECT_TRUE(shown.modalWhileOpen);
        EXPECT_FALSE(shown.open);
    }
    EXPECT_FALSE(IsModalOpen());
}

// Test that a cancelled display stays cancelled without asking the host again, and that without a
// host nothing can cancel.
TEST_F(LongRunDialog, CancelledStaysCancelledAndNoHostNeverCancels)
{
    host.progressCancelAt.push_back(2);
    {
        CProgressDialog progress("Report", "Reading...");
        EXPECT_TRUE(progress.Update(1, 3));
        EXPECT_FALSE(progress.Cancelled());
        EXPECT_FALSE(progress.Update(2, 3));
        EXPECT_FALSE(progress.Update(3, 3));
        EXPECT_TRUE(progress.Cancelled());
    }
    ASSERT_EQ(host.progresses.size(), 1u);
    EXPECT_EQ(host.progresses[0].updates.size(), 2u);

    IHost* const previous = SetHost(nullptr);
    {
        CProgressDialog alone("Report", "Reading...");
        for (std::uint64_t done = 0; done <= 3; ++done)
            EXPECT_TRUE(alone.Update(done, 3));
    }
    SetHost(previous);
    EXPECT_EQ(host.progresses.size(), 1u);
}

// Test that what the command drew is on screen before the display opens, and that the idle rule
// sees the command as one burst of activity whatever the display did meanwhile.
TEST_F(LongRunDialog, DisplayShowsTheDrawingAndIsModalForTheIdleRule)
{
    CPixelSurface surface;
    CPixelSourceAdapter<CPixelSurface> source(surface);
    Dlg().m_plotArea.SetPixelSource(&source);
    const auto shownRed = [this] { return Window().FindControl(kIdcTestPlot)->shownPixels.at(0) == 200; };
    bool redOnScreenUnderTheDisplay = false;
    Dlg().onButton = [&]
    {
        surface.PaintFirstPixel(200);
        host.progressCancelAt.push_back(5);
        CProgressDialog progress("Heatmap", "Counting...");
        redOnScreenUnderTheDisplay = shownRed();
        EXPECT_TRUE(progress.Update(1, 2));
    };
    host.PostClick(kIdcTestButton);
    host.RunUntilIdle();
    EXPECT_TRUE(redOnScreenUnderTheDisplay);
    EXPECT_EQ(app.idleCalls, 1);
    ASSERT_EQ(host.progresses.size(), 1u);
    EXPECT_TRUE(host.progresses[0].modalWhileOpen);
    EXPECT_FALSE(IsModalOpen());
    Dlg().m_plotArea.SetPixelSource(nullptr);
}

// Test the folder dialog: the request reaches the host, answers come from the script in order, a
// cancel gives nothing, and the dialog counts as modal while it is open.
TEST_F(LongRunDialog, FolderDialogAnswersInOrder)
{
    host.folderDialogAnswers = {std::string("/data/out"), std::nullopt};
    FolderDialogRequest request;
    request.title = "Export Visits to Folder";
    request.initialFolder = "/data";
    EXPECT_EQ(AskFolder(request), std::optional<std::string>("/data/out"));
    EXPECT_EQ(AskFolder(request), std::nullopt);
    EXPECT_EQ(AskFolder(request), std::nullopt) << "an empty script cancels";
    ASSERT_EQ(host.folderDialogs.size(), 3u);
    EXPECT_EQ(host.folderDialogs[0].title, "Export Visits to Folder");
    EXPECT_EQ(host.folderDialogs[0].initialFolder, "/data");
    EXPECT_TRUE(host.fileDialogs.empty());
}
