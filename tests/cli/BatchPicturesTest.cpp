// The batch's plot output drawn from streamed blocks: whatever the blocks' size and wherever the
// every-Nth markers fall against their edges, the picture is the one drawn by fetching each Nth
// record, and the selection follows the table as tracktool plot picks it.
#include "cli/BatchPictures.h"

#include "base/ResultCodes.h"
#include "plot/DrawingSurface.h"
#include "plot/PngFile.h"
#include "plot/RgbRaster.h"
#include "plot/TrackPlot.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"
#include "trackfile/Arena.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackGenerator.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
CRegionTable TwoRegions(std::int32_t selected)
{
    CRegionTable table;
    table.m_nRegionCount = 2;
    table.m_regionRects[0] = Rect{10, 10, 300, 200};
    table.m_regionRects[1] = Rect{200, 150, 600, 460};
    table.m_regionNames[0] = "a";
    table.m_regionNames[1] = "b";
    table.m_nSelectedRegion = selected;
    return table;
}

// What tracktool plot writes: the window's entire-track plot, record by record, as PNG.
std::string PlotByFetching(const std::string& track, const CRegionTable& table, std::int32_t selected,
                           std::uint32_t every, const std::string& out)
{
    CTrackFile reader;
    EXPECT_EQ(reader.Open(track), kOk);
    CDrawingSurface surface(kArenaWidth, kArenaHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kArenaWidth, kArenaHeight, &reader);
    EXPECT_EQ(plot.PlotEntireTrack(table.m_regionRects.data(), table.m_nRegionCount, selected, every), kOk);
    EXPECT_EQ(WritePngFile(out, ViewOf(surface)), kOk);
    return ReadWholeFile(out);
}

// Test that markers falling on, before and after a block's edge are each drawn once, for blocks
// of one record, of fewer records than N, of exactly N and of one more, and that a loaded layout's
// selection or, without one, the last region is the selected one.
TEST(BatchPictures, StreamedPlotIsTheFetchedPlotWhateverTheBlocks)
{
    CTempDir dir;
    const std::string track = dir.File("t.qtf");
    TrackGeneratorOptions generated;
    generated.records = 250;
    generated.seed = 11;
    ASSERT_EQ(WriteGeneratedTrack(track, generated), kOk);
    struct Case
    {
        std::size_t blockRecords;
        std::uint32_t every;
        std::int32_t loadedSelection; // -1: no layout selected one
        std::int32_t drawnSelection;  // what tracktool plot selects
    };
    const Case cases[] = {
        {1, 7, 0, 0},   {6, 7, -1, 1}, {7, 7, 1, 1},    {8, 7, 0, 0},      {60, 60, -1, 1},
        {61, 60, 0, 0}, {59, 0, 0, 0}, {250, 1, -1, 1}, {1000, 300, 0, 0}, // beyond the last record: only
                                                                           // record 0
    };
    for (const Case& c : cases)
    {
        const CRegionTable table = TwoRegions(c.loadedSelection);
        const std::string expected =
            PlotByFetching(track, table, c.drawnSelection, c.every, dir.File("f.png"));
        TrackOutputPlace place{dir.Path(), "t.qtf", "t.qtf"};
        PlotSettings settings;
        settings.every = c.every;
        const auto output = MakePlotOutput(place, table, settings);
        CBlockReader reader(c.blockRecords);
        ASSERT_EQ(reader.Open(track), kOk);
        IRecordConsumer* consumers[] = {output.get()};
        ASSERT_EQ(reader.Run(consumers), kOk);
        ASSERT_EQ(output->Files(), std::vector<std::string>{dir.File("t.qtf_plot.png")});
        EXPECT_EQ(ReadWholeFile(dir.File("t.qtf_plot.png")), expected)
            << "blocks of " << c.blockRecords << ", every " << c.every;
    }
}
} // namespace
