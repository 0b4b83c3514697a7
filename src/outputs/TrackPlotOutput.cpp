#include "outputs/TrackPlotOutput.h"

#include "base/MessageSink.h"
#include "base/Regions.h"
#include "trackfile/Arena.h"

#include <algorithm>

CTrackPlotOutput::CTrackPlotOutput(std::string path, const CRegionTable& table, const PlotSettings& settings,
                                   LongPlot longPlot, std::optional<std::int32_t> selected)
    : m_picture(std::move(path), settings.scale), m_table(table),
      m_nEvery(std::max<std::uint32_t>(settings.every, 1)), m_longPlot(longPlot),
      m_surface(kArenaWidth, kArenaHeight), m_markers(kArenaWidth, kArenaHeight)
{
    m_table.m_nRegionCount = std::clamp(m_table.m_nRegionCount, 0, kMaxRegions);
    m_nSelected = SelectedRegionOf(m_table, selected);
}

std::int32_t SelectedRegionOf(const CRegionTable& table, std::optional<std::int32_t> selected)
{
    const std::int32_t loaded = table.m_nSelectedRegion;
    return selected.value_or(loaded >= 0 ? loaded : table.m_nRegionCount - 1);
}

Problem CTrackPlotOutput::Prepare(const TrackSourceInfo& source)
{
    if (Problem refused = m_picture.Prepare(); !refused.IsOk() || m_longPlot == LongPlot::Draw)
        return refused;
    // The window counts its records in 32 bits; so is the question's count.
    const std::uint64_t counted = std::min<std::uint64_t>(source.records, UINT32_MAX);
    if (const std::optional<std::string> question = LongPlotQuestion(counted, m_nEvery))
        m_bMarkers = GetMessageSink().AskYesNo(*question);
    return {};
}

Problem CTrackPlotOutput::Begin(const TrackSourceInfo& /*source*/)
{
    m_plot = CTrackPlot();
    m_plot.Attach(&m_surface, kArenaWidth, kArenaHeight, nullptr);
    m_plot.RedrawRegions(m_table.m_regionRects.data(), m_table.m_regionShapes.data(), m_table.m_nRegionCount,
                         m_nSelected);
    if (m_markers.Pending() != 0) // left by a pass that was abandoned
        m_markers = CMarkerLayer(kArenaWidth, kArenaHeight);
    return {};
}

Problem CTrackPlotOutput::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    if (!m_bMarkers)
        return {};
    m_markers.AddEveryNth(records, firstIndex, m_nEvery);
    return {};
}

Problem CTrackPlotOutput::End()
{
    m_plot.DrawMarkerLayer(m_markers);
    return m_picture.Write(ViewOf(m_surface));
}

void CTrackPlotOutput::Abandon()
{
    m_picture.Discard();
}

// A batch draws every marker asked for: nobody is there to answer the question.
std::unique_ptr<ITrackOutput> MakeTrackPlotAt(const OutputSettings& settings, const TrackOutputPlace& place)
{
    return std::make_unique<CTrackPlotOutput>(TrackOutputPath(place, kPlotPictureSuffix), settings.regions,
                                              settings.plot, LongPlot::Draw);
}
