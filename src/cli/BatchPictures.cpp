#include "cli/BatchPictures.h"

#include "base/ResultCodes.h"
#include "plot/DrawingSurface.h"
#include "plot/HeatmapFiles.h"
#include "plot/PngFile.h"
#include "plot/RgbRaster.h"
#include "plot/TrackPlot.h"
#include "trackfile/Arena.h"

#include <algorithm>

namespace
{
class CHeatmapOutput final : public ITrackOutput
{
public:
    CHeatmapOutput(const TrackOutputPlace& place, const CRegionTable& table, const HeatmapSettings& settings)
        : m_strPicture(MakeTrackOutputPath(place, "_heatmap.png")),
          m_strMatrix(MakeTrackOutputPath(place, "_occupancy.csv")), m_settings(settings),
          m_grid(settings.binPixels)
    {
        m_regions = HeatmapRegionsOf(table);
    }

    std::vector<std::string> Files() const override { return {m_strPicture, m_strMatrix}; }
    int Begin(const TrackSourceInfo& source) override
    {
        m_strFileName = source.fileName;
        return m_grid.Begin(source);
    }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        return m_grid.Consume(records, firstIndex);
    }
    int End() override
    {
        if (const int ended = m_grid.End(); ended != kOk)
            return ended;
        const OccupancyMap map = m_grid.Map(m_settings.sigmaBins);
        HeatmapPictureOptions options;
        options.scale = m_settings.scale;
        options.vmax = m_settings.vmax;
        options.fileName = m_strFileName;
        options.secondsBinned = m_grid.SecondsBinned();
        options.recordsOffPlot = m_grid.RecordsOffPlot();
        options.sigmaBins = m_settings.sigmaBins;
        options.regions = m_regions;
        const CRgbRaster picture = DrawHeatmapPicture(map, options);
        return WriteHeatmapFiles(m_strPicture, picture.View(), m_strMatrix, map);
    }

private:
    std::string m_strPicture;
    std::string m_strMatrix;
    HeatmapSettings m_settings;
    std::vector<HeatmapRegion> m_regions;
    COccupancyGrid m_grid;
    std::string m_strFileName;
};

// The entire-track plot of the window's Plot Now: the region outlines and labels, then the marker
// of every Nth record, drawn as the records come instead of fetched one by one.
class CPlotOutput final : public ITrackOutput
{
public:
    CPlotOutput(const TrackOutputPlace& place, const CRegionTable& table, const PlotSettings& settings)
        : m_strPath(MakeTrackOutputPath(place, "_plot.png")), m_table(table), m_settings(settings),
          m_surface(kArenaWidth, kArenaHeight)
    {
        m_table.m_nRegionCount = std::clamp(m_table.m_nRegionCount, 0, kMaxRegions);
    }

    std::vector<std::string> Files() const override { return {m_strPath}; }
    int Begin(const TrackSourceInfo& /*source*/) override
    {
        m_plot = CTrackPlot();
        m_plot.Attach(&m_surface, kArenaWidth, kArenaHeight, nullptr);
        m_plot.Clear();
        // A loaded layout selects its first region; a table without one selects its last.
        const std::int32_t selected =
            m_table.m_nSelectedRegion >= 0 ? m_table.m_nSelectedRegion : m_table.m_nRegionCount - 1;
        return m_plot.RedrawRegions(m_table.m_regionRects.data(), m_table.m_regionShapes.data(),
                                    m_table.m_nRegionCount, selected);
    }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        const std::uint64_t every = std::max<std::uint64_t>(m_settings.every, 1);
        // The first index of the block that is a multiple of every, then every every-th after it.
        const std::uint64_t first = (firstIndex + every - 1) / every * every;
        for (std::uint64_t index = first; index < firstIndex + records.size(); index += every)
            m_plot.DrawPositionMarker(records[static_cast<std::size_t>(index - firstIndex)]);
        return kOk;
    }
    int End() override
    {
        if (m_settings.scale <= 1)
            return WritePngFile(m_strPath, ViewOf(m_surface));
        return WritePngFile(m_strPath, Magnified(ViewOf(m_surface), m_settings.scale).View());
    }

private:
    std::string m_strPath;
    CRegionTable m_table;
    PlotSettings m_settings;
    CDrawingSurface m_surface;
    CTrackPlot m_plot;
};
} // namespace

std::unique_ptr<ITrackOutput> MakeHeatmapOutput(const TrackOutputPlace& place, const CRegionTable& table,
                                                const HeatmapSettings& settings)
{
    return std::make_unique<CHeatmapOutput>(place, table, settings);
}

std::unique_ptr<ITrackOutput> MakePlotOutput(const TrackOutputPlace& place, const CRegionTable& table,
                                             const PlotSettings& settings)
{
    return std::make_unique<CPlotOutput>(place, table, settings);
}
