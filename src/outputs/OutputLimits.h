// The defaults and ranges of the outputs' options, the one home the window's dialogs, tracktool's
// commands and a batch take them from, so that each accepts exactly what the others accept.
#pragma once

#include "plot/HeatmapPicture.h"
#include "trackfile/Arena.h"

#include <algorithm>
#include <cstdint>

// The entire-track plot: a marker a second, drawn as the window shows it.
inline constexpr std::uint32_t kDefaultPlotEvery = 60;
inline constexpr std::int32_t kDefaultPlotScale = 1;
// Every picture is enlarged at most as far as the heatmap's drawing goes.
inline constexpr std::int32_t kMaxPictureScale = kMaxHeatmapScale;

// The heatmap's bins: one pixel up to the plot's longer side.
inline constexpr std::int32_t kMaxBinPixels = std::max(kArenaWidth, kArenaHeight);
// Its smoothing, in bins. At one-pixel bins a sigma of 160 already spreads a bin over the whole
// plot (the kernel reaches four sigma), so a thousand leaves every useful blur of every grid open
// and refuses only a number typed wrong.
inline constexpr double kMaxSigmaBins = 1000.0;
// The top of its colour scale, in seconds: some thirty years of records.
inline constexpr double kMaxScaleSeconds = 1.0e9;
