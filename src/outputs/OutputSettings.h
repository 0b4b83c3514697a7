// What the outputs of a track are made with besides where they go: the regions and their visit
// rule's margin, the analysis settings the visit table is counted by, the quality band and jump, and each
// picture's options. A batch makes every track's outputs from one of these; a single-file command or a window
// export fills in what its output uses.
#pragma once

#include "analysis/Occupancy.h"
#include "analysis/TrackingQuality.h"
#include "outputs/OutputLimits.h"
#include "plot/HeatmapPicture.h"
#include "plot/SensitivityPicture.h"
#include "regions/AnalysisSettings.h"
#include "regions/RegionTable.h"
#include "regions/VisitRule.h"

#include <cstdint>
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

struct SensitivitySettings
{
    std::int32_t scale = kDefaultSensitivityScale; // the picture's pixels per plot pixel
};

struct OutputSettings
{
    CRegionTable regions; // none without a layout
    std::int32_t margin = kDefaultRegionMargin;
    AnalysisSettings analysis; // by default the visit table of the event files' rule
    QualityOptions quality;
    HeatmapSettings heatmap;
    PlotSettings plot;
    SensitivitySettings sensitivity;
};
