// The picture outputs of a batch's pass, drawn from the records as they stream by and written as
// their single-file commands write them:
//   heatmap  <track>_heatmap.png and <track>_occupancy.csv, as tracktool heatmap --csv writes them
//   plot     <track>_plot.png, the entire-track plot as tracktool plot writes it to a .png name
// Both draw the regions of the table; the plot selects a loaded layout's selection, as plot does.
#pragma once

#include "analysis/Occupancy.h"
#include "analysis/TrackOutputs.h"
#include "cli/PictureLimits.h"
#include "plot/HeatmapPicture.h"
#include "regions/RegionTable.h"

#include <cstdint>
#include <memory>
#include <optional>

struct HeatmapSettings
{
    std::int32_t binPixels = kDefaultBinPixels;
    double sigmaBins = 0.0;
    std::optional<double> vmax; // the top of the colour scale; by default the largest bin
    std::int32_t scale = kDefaultHeatmapScale;
};

struct PlotSettings
{
    std::uint32_t every = kDefaultPlotEvery; // a marker every Nth record; 0 means every record
    std::int32_t scale = kDefaultPlotScale;
};

[[nodiscard]] std::unique_ptr<ITrackOutput>
MakeHeatmapOutput(const TrackOutputPlace& place, const CRegionTable& table, const HeatmapSettings& settings);
[[nodiscard]] std::unique_ptr<ITrackOutput>
MakePlotOutput(const TrackOutputPlace& place, const CRegionTable& table, const PlotSettings& settings);
