// The entire-track plot of the window's Plot Now as a picture file (outputs/PictureFile.h): the
// region outlines and labels, then the marker of every Nth record, gathered as the records stream
// by instead of fetched one by one and drawn at the end in one layer (plot/MarkerLayer.h), pixel
// for pixel what the window shows. Like Plot Now it can ask before drawing more than 10,000
// markers; a No leaves the outlines and labels alone.
#pragma once

#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"
#include "outputs/PictureFile.h"
#include "outputs/TrackOutput.h"
#include "plot/DrawingSurface.h"
#include "plot/MarkerLayer.h"
#include "plot/TrackPlot.h"
#include "regions/RegionTable.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// Whether a long plot asks first, as Plot Now does, or draws every marker asked for.
enum class LongPlot
{
    Ask,
    Draw,
};

class CTrackPlotOutput final : public ITrackOutput
{
public:
    // selected: the region marked in the label row; by default the table's selection (a loaded
    // layout selects its first region) or else its last region.
    CTrackPlotOutput(std::string path, const CRegionTable& table, const PlotSettings& settings,
                     LongPlot longPlot, std::optional<std::int32_t> selected = std::nullopt);

    [[nodiscard]] std::vector<std::string> Files() const override { return {m_picture.Path()}; }
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::Positions; }
    [[nodiscard]] Problem Prepare(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Begin(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    [[nodiscard]] Problem End() override;
    void Abandon() override;

private:
    CPictureFile m_picture;
    CRegionTable m_table;
    std::int32_t m_nSelected;
    std::uint32_t m_nEvery;
    LongPlot m_longPlot;
    bool m_bMarkers = true; // false after a No to the long plot's question
    CDrawingSurface m_surface;
    CMarkerLayer m_markers; // drawn onto m_surface at End
    CTrackPlot m_plot;
};

// The region a picture of the plot marks as selected: the one asked for, else the table's selection
// (a loaded layout selects its first region), else its last region (-1 without regions).
[[nodiscard]] std::int32_t SelectedRegionOf(const CRegionTable& table, std::optional<std::int32_t> selected);

// For the table of outputs (OutputKinds.h): <track>_plot.png at place, every marker drawn.
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeTrackPlotAt(const OutputSettings& settings,
                                                            const TrackOutputPlace& place);
