// The defaults and ranges of the picture options that tracktool plot, frame, heatmap and batch
// share, so that a batch takes exactly what the single-file commands take.
#pragma once

#include "trackfile/Arena.h"

#include <algorithm>
#include <cstdint>

inline constexpr std::uint32_t kDefaultPlotEvery = 60; // a marker a second
inline constexpr std::int32_t kDefaultPlotScale = 1;   // the plot as the window shows it
inline constexpr std::int32_t kMaxPictureScale = 8;
inline constexpr double kMaxSigmaBins = 1000.0;   // far beyond a useful blur of the widest grid
inline constexpr double kMaxScaleSeconds = 1.0e9; // some thirty years of records
inline constexpr std::int32_t kMaxBinPixels = std::max(kArenaWidth, kArenaHeight);
