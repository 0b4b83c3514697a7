// The entire-track plot drawn from streamed blocks: whatever the blocks' size and wherever the
// every-Nth markers fall against their edges, the picture is the one the window's Plot Now draws by
// fetching each Nth record; the selection follows the table; a long plot asks as Plot Now asks.
#include "outputs/TrackPlotOutput.h"

#include "OutputTestSupport.h"
#include "base/ResultCodes.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/Arena.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackGenerator.h"

#include <gtest/gtest.h>
#include <string>

namespace
{
CRegionTable TwoRegions(std::int32_t selected)
{
    CRegionTable table = NamedRegions({{{10, 10, 300, 200}, "a"}, {{200, 150, 600, 460}, "b"}});
    table.m_nSelectedRegion = selected;
    return table;
}

// What the window's Plot Now shows, record by record, saved as the picture at path.
std::string PlotByFetching(const std::string& track, const CRegionTable& table, std::int32_t selected,
                           std::uint32_t every, const std::string& path, std::int32_t scale = 1)
{
    CTrackFile reader;
    EXPECT_EQ(reader.Open(track), kOk);
    CDrawingSurface surface(kArenaWidth, kArenaHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kArenaWidth, kArenaHeight, &reader);
    EXPECT_EQ(plot.PlotEntireTrack(table.m_regionRects.data(), table.m_nRegionCount, selected, every), kOk);
    CPictureFile picture(path, scale);
    EXPECT_TRUE(picture.Prepare().IsOk());
    EXPECT_TRUE(picture.Write(ViewOf(surface)).IsOk());
    return ReadWholeFile(path);
}

// Test that markers falling on, before and after a block's edge are each drawn once, for blocks
// of one record, of fewer records than N, of exactly N and of one more; that a loaded layout's
// selection or, without one, the last region is the selected one; and that a bitmap or an enlarged
// picture is the window's too.
TEST(TrackPlotOutput, StreamedPlotIsTheFetchedPlotWhateverTheBlocks)
{
    CTempDir dir;
    const std::string track = dir.File("t.qtf");
    TrackGeneratorOptions generated;
    generated.records = 250;
    generated.seed = 11;
    ASSERT_EQ(WriteGeneratedTrack(track, generated), kOk);
    const std::vector<TrackRecord> records = RecordsOfFile(track, generated.records);
    struct Case
    {
        std::size_t blockRecords;
        std::uint32_t every;
        std::int32_t loadedSelection; // -1: no layout selected one
        std::int32_t drawnSelection;  // what tracktool plot selects
        const char* name = "p.png";
        std::int32_t scale = 1;
    };
    const Case cases[] = {
        {1, 7, 0, 0},           {6, 7, -1, 1},
        {7, 7, 1, 1},           {8, 7, 0, 0},
        {60, 60, -1, 1},        {61, 60, 0, 0},
        {59, 0, 0, 0},          {250, 1, -1, 1},
        {1000, 300, 0, 0}, // beyond the last record: only record 0
        {13, 5, 1, 1, "p.bmp"}, {13, 5, 1, 1, "p.png", 3},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("blocks of " + std::to_string(c.blockRecords) + ", every " + std::to_string(c.every) +
                     ", " + c.name);
        const CRegionTable table = TwoRegions(c.loadedSelection);
        const std::string expected = PlotByFetching(track, table, c.drawnSelection, c.every,
                                                    dir.File(std::string("f") + c.name), c.scale);
        CTrackPlotOutput output(dir.File(c.name), table, PlotSettings{c.every, c.scale}, LongPlot::Ask);
        ASSERT_EQ(output.Files(), std::vector<std::string>{dir.File(c.name)});
        ASSERT_TRUE(Feed(output, records, c.blockRecords).IsOk());
        EXPECT_EQ(ReadWholeFile(dir.File(c.name)), expected);
    }
}

// Test the question of a long plot: asked from 10,001 markers on with the window's words, a No
// leaving the outlines and labels alone as Plot Now does, and never asked when the plot draws
// every marker asked for.
TEST(TrackPlotOutput, ALongPlotAsksAsPlotNowAsks)
{
    CTempDir dir;
    const std::string track = CTrackFileBuilder().AddSequence(10001).Write(dir.File("long.qtf"));
    const std::vector<TrackRecord> records = RecordsOfFile(track, 10001);
    const CRegionTable table = TwoRegions(0);
    const std::string question =
        "This will result in plotting 10001 records which will take a long time, do you wish to continue?";
    struct Case
    {
        std::uint32_t every;
        LongPlot longPlot;
        bool answer;
        bool asked;
    };
    const Case cases[] = {
        {1, LongPlot::Ask, true, true},   {1, LongPlot::Ask, false, true},   {0, LongPlot::Ask, false, true},
        {2, LongPlot::Ask, false, false}, {1, LongPlot::Draw, false, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.every) + (c.answer ? " yes" : " no"));
        CRecordingMessageSink sink;
        sink.defaultYesNo = c.answer;
        CScopedMessageSink scoped(sink);
        const std::string expected = PlotByFetching(track, table, 0, c.every, dir.File("f.png"));
        EXPECT_EQ(sink.questions.size(), c.every <= 1 ? 1u : 0u) << "the window asks too";
        sink.questions.clear();
        CTrackPlotOutput output(dir.File("p.png"), table, PlotSettings{c.every, 1}, c.longPlot);
        ASSERT_TRUE(Feed(output, records, 4096, "long.qtf").IsOk());
        ASSERT_EQ(sink.questions.size(), c.asked ? 1u : 0u);
        if (c.asked)
        {
            EXPECT_EQ(sink.questions[0].text, question);
        }
        // Asked, the output follows the answer as the window does; not asked, it draws them all.
        if (c.asked || c.answer || c.every > 1)
        {
            EXPECT_EQ(ReadWholeFile(dir.File("p.png")), expected);
        }
        else
        {
            EXPECT_NE(ReadWholeFile(dir.File("p.png")), expected);
        }
    }
}

// Test the selection a picture of the plot marks.
TEST(TrackPlotOutput, SelectedRegionOfTheTable)
{
    const std::tuple<std::int32_t, std::int32_t, std::optional<std::int32_t>, std::int32_t> cases[] = {
        {3, -1, std::nullopt, 2}, {3, 0, std::nullopt, 0},   {3, 1, 2, 2},
        {3, -1, -1, -1},          {0, -1, std::nullopt, -1},
    };
    for (const auto& [count, loaded, asked, selected] : cases)
    {
        CRegionTable table;
        table.m_nRegionCount = count;
        table.m_nSelectedRegion = loaded;
        EXPECT_EQ(SelectedRegionOf(table, asked), selected) << count << " " << loaded;
    }
}
} // namespace
