// The Occupancy Heatmap on the plot and Save Plot as PNG: the settings asked once, the core's bins
// under the regions, removed by the next step or repaint or by opening another track, cancels that
// leave the plot alone, and the plot's pixels read back from the PNG file.
#include "AppFixture.h"
#include "analysis/Occupancy.h"
#include "app/CommandDialogs.h"
#include "base/ResultCodes.h"
#include "plot/OccupancyColours.h"
#include "support/PngReader.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackGenerator.h"

#include <cstring>
#include <filesystem>

namespace
{
class PictureCommandTest : public AppTest
{
protected:
    void SetUp() override
    {
        Start();
        TrackGeneratorOptions options;
        options.records = 3000;
        options.seed = 3;
        track = temp.File("run7.qtf");
        ASSERT_EQ(WriteGeneratedTrack(track, options), kOk);
    }

    // Shows the heatmap; when the settings dialog opens, types the bin size and sigma and presses
    // Enter (or Escape when binSize is null). Returns whether the settings dialog opened.
    bool ShowHeatmap(const char* binSize = "10", const char* sigma = "0")
    {
        const std::size_t dialogs = host.modalDialogs.size();
        NextDialog(
            [this, binSize, sigma](CHeadlessHost& h, CDialog& d)
            {
                shownSettings = {d.GetDlgItemText(kIdcHeatmapBinSize), d.GetDlgItemText(kIdcHeatmapSigma)};
                if (binSize == nullptr)
                {
                    h.PostKey(kVkEscape, kModNone, &d);
                    return;
                }
                h.TypeText(kIdcHeatmapBinSize, binSize, &d);
                h.TypeText(kIdcHeatmapSigma, sigma, &d);
                h.PostKey(kVkReturn, kModNone, &d);
            });
        Post(kCmdOccupancyHeatmap);
        host.modalScripts.clear();
        return host.modalDialogs.size() > dialogs;
    }

    // The plot the heatmap should give: the core's bins for the whole file at one pixel per plot
    // pixel, then the window's regions on top, drawn on a plot of the test's own.
    std::vector<std::uint8_t> ExpectedHeatmap(std::int32_t binPixels, double sigma)
    {
        COccupancyGrid grid(binPixels);
        CBlockReader blocks;
        EXPECT_EQ(blocks.Open(track), kOk);
        IRecordConsumer* consumers[] = {&grid};
        EXPECT_EQ(blocks.Run(consumers), kOk);
        CDrawingSurface surface(640, 480);
        CTrackPlot plot;
        plot.Attach(&surface, 640, 480, nullptr);
        DrawOccupancyBins(surface, grid.Map(sigma), std::nullopt);
        const CRegionTable& regions = Dlg().m_regions;
        plot.RedrawRegions(regions.m_regionRects.data(), regions.m_nRegionCount, regions.m_nSelectedRegion);
        return std::vector<std::uint8_t>(surface.Data(), surface.Data() + 640u * 480u * 3u);
    }

    std::string track;
    std::pair<std::string, std::string> shownSettings;
};

// Test that without records there is no heatmap, and no settings are asked.
TEST_F(PictureCommandTest, HeatmapWithoutRecordsSaysSo)
{
    EXPECT_FALSE(ShowHeatmap());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{std::string(kMsgNoRecordsToRead)});
    EXPECT_TRUE(host.progresses.empty());
}

// Test the heatmap on the plot: the settings dialog the first time only, with the values chosen
// kept; the plot showing exactly the core's bins with the regions on top, for each choice.
TEST_F(PictureCommandTest, HeatmapShowsTheCoreBinsUnderTheRegions)
{
    OpenThroughMenu(track);
    Key(kVkInsert);
    Key(kVkInsert);
    ASSERT_TRUE(ShowHeatmap("20", "1.5"));
    EXPECT_EQ(shownSettings, (std::pair<std::string, std::string>{"10", "0"}));
    EXPECT_TRUE(ShownPlot() == ExpectedHeatmap(20, 1.5));
    ASSERT_EQ(host.progresses.size(), 1u);
    EXPECT_EQ(host.progresses[0].title, "Occupancy Heatmap");

    Post(kCmdNextFrame);
    EXPECT_FALSE(ShowHeatmap()) << "asked once: the choice is kept";
    EXPECT_TRUE(ShownPlot() == ExpectedHeatmap(20, 1.5));
    EXPECT_EQ(Dlg().m_nHeatmapBinPixels, 20u);
    EXPECT_EQ(Dlg().m_dHeatmapSigmaBins, 1.5);
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_FALSE(ShownPlot() == ExpectedHeatmap(10, 0.0)) << "the settings change the picture";
}

// Test that the heatmap lasts until the next step or repaint, as the entire-track plot does; a
// region change draws over it without clearing it.
TEST_F(PictureCommandTest, StepAndRepaintRemoveTheHeatmap)
{
    OpenThroughMenu(track);
    Key(kVkInsert);
    struct Case
    {
        const char* name;
        std::function<void()> after;
        bool heatmapStays;
    };
    const Case cases[] = {
        {"next frame", [this] { Post(kCmdNextFrame); }, false},
        {"repaint",
         [this]
         {
             host.PostPaint();
             host.RunUntilIdle();
         },
         false},
        {"go to record",
         [this]
         {
             NextDialog([](CHeadlessHost& h, CDialog& d) { h.PostKey(kVkReturn, kModNone, &d); });
             Post(kCmdGoToRecord);
         },
         false},
        {"new region", [this] { Key(kVkInsert); }, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ShowHeatmap();
        // The bins never visited are grey; a cleared plot is black there.
        ASSERT_EQ(ShownPixel(630, 470), kNeverVisitedColour) << "a corner no record reaches";
        c.after();
        EXPECT_EQ(ShownPixel(630, 470) == kNeverVisitedColour, c.heatmapStays);
    }
}

// Test that opening another track takes the heatmap of the one before off the plot, so that a
// picture saved next never shows it under the new track's name; what the entire-track plot drew
// stays, as it always has.
TEST_F(PictureCommandTest, OpeningAnotherTrackTakesTheHeatmapOff)
{
    TrackGeneratorOptions options;
    options.records = 500;
    options.seed = 8;
    const std::string second = temp.File("second.qtf");
    ASSERT_EQ(WriteGeneratedTrack(second, options), kOk);
    OpenThroughMenu(track);
    Key(kVkInsert);
    ShowHeatmap();
    ASSERT_EQ(ShownPixel(630, 470), kNeverVisitedColour);
    OpenThroughMenu(second);
    EXPECT_EQ(ShownPixel(630, 470), kBlack);
    EXPECT_EQ(ShownPixel(50, 50), kRegionColors[0]) << "the regions are drawn again";
    host.fileDialogAnswers.push_back(temp.File("after.png"));
    Post(kCmdSavePlotPng);
    const std::optional<DecodedPng> png = ReadPngFile(temp.File("after.png"));
    ASSERT_TRUE(png.has_value());
    EXPECT_TRUE(png->rgb == ShownPlot());

    Post(kCmdEntireTrack);
    const int lit = LitPixels();
    ASSERT_GT(lit, 1000);
    OpenThroughMenu(track);
    EXPECT_EQ(LitPixels(), lit) << "the plot of the track before stays until the next clear";
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that cancelling the settings or the pass leaves the plot as it was, and that settings
// cancelled are asked again next time.
TEST_F(PictureCommandTest, CancelledHeatmapLeavesThePlot)
{
    OpenThroughMenu(track);
    Post(kCmdNextFrame);
    const std::vector<std::uint8_t> before = ShownPlot();
    EXPECT_TRUE(ShowHeatmap(nullptr));
    EXPECT_TRUE(host.progresses.empty());
    host.progressCancelAt.push_back(2);
    EXPECT_TRUE(ShowHeatmap("10", "0")) << "asked again";
    ASSERT_EQ(host.progresses.size(), 1u);
    EXPECT_TRUE(host.progresses[0].cancelled);
    EXPECT_TRUE(ShownPlot() == before);
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test Save Plot as PNG: its dialog, and the plot's pixels read back from the file, for a record
// and for the heatmap; a cancelled dialog writes nothing.
TEST_F(PictureCommandTest, SavePlotAsPngWritesThePlot)
{
    OpenThroughMenu(track);
    Key(kVkInsert);
    Post(kCmdNextFrame);
    host.fileDialogAnswers = {std::nullopt, temp.File("record"), temp.File("heat.png")};
    Post(kCmdSavePlotPng);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp.Path()), {}), 1) << "only the track";
    struct Shot
    {
        const char* file;
        std::function<void()> draw;
    };
    const Shot shots[] = {{"record.png", [] {}}, {"heat.png", [this] { ShowHeatmap(); }}};
    for (const Shot& shot : shots)
    {
        SCOPED_TRACE(shot.file);
        shot.draw();
        Post(kCmdSavePlotPng);
        const std::optional<DecodedPng> png = ReadPngFile(temp.File(shot.file));
        ASSERT_TRUE(png.has_value());
        ASSERT_EQ(png->width, 640);
        ASSERT_EQ(png->height, 480);
        EXPECT_TRUE(png->rgb == ShownPlot()) << "every pixel as the plot shows it";
    }
    ASSERT_EQ(host.fileDialogs.size(), 4u);
    const FileDialogRequest& request = host.fileDialogs[1];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(request.title, "Save Plot as PNG");
    EXPECT_EQ(request.filter, "PNG Files (*.png)|*.png|All Files (*.*)|*.*||");
    EXPECT_EQ(request.defaultExtension, ".png");
    EXPECT_EQ(request.initialName, "run7") << "as the bitmap's";
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that the bitmap export saves the heatmap as it saves any picture on the plot.
TEST_F(PictureCommandTest, BitmapSavesTheHeatmap)
{
    OpenThroughMenu(track);
    ShowHeatmap();
    host.fileDialogAnswers.push_back(temp.File("heat.bmp"));
    Key(VkLetter('S'), kModControl);
    const std::string bytes = ReadWholeFile(temp.File("heat.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 640u * 480u * 3u);
    const std::vector<std::uint8_t> shown = ShownPlot();
    int mismatches = 0;
    for (std::size_t y = 0; y < 480; ++y)
        for (std::size_t x = 0; x < 640; ++x)
        {
            // Rows bottom-up in blue, green, red.
            const std::size_t at = 54 + ((479 - y) * 640 + x) * 3;
            const std::size_t from = (y * 640 + x) * 3;
            if (static_cast<std::uint8_t>(bytes[at]) != shown[from + 2] ||
                static_cast<std::uint8_t>(bytes[at + 1]) != shown[from + 1] ||
                static_cast<std::uint8_t>(bytes[at + 2]) != shown[from])
                ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(ShownPixel(630, 470), kNeverVisitedColour) << "the heatmap is what was saved";
}

// Test that a PNG that cannot be written is told once, naming the file.
TEST_F(PictureCommandTest, UnwritablePngIsTold)
{
    OpenThroughMenu(track);
    host.fileDialogAnswers.push_back(temp.File("missing/plot.png"));
    Post(kCmdSavePlotPng);
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_NE(host.messageBoxes[0].request.text.find("plot.png"), std::string::npos);
}
} // namespace
