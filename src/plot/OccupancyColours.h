// How occupancy is coloured, the same in every picture: a bin's seconds on a scale from 0 to a top
// through the viridis map, time at or above the top in the map's last colour, and bins no record
// reached in a light grey that is not on the map. Also the window's view of a grid: its bins drawn
// one to one on the 640 x 480 plot surface, under whatever the window draws on top.
#pragma once

#include "analysis/Occupancy.h"
#include "plot/DrawingSurface.h"

#include <cstddef>
#include <optional>

inline constexpr Rgb kNeverVisitedColour{210, 210, 210};

// The top of the scale: vmax when it is given and positive, else the largest bin, else (no time
// binned at all) one record's time.
[[nodiscard]] double OccupancyScaleTop(const OccupancyMap& map, std::optional<double> vmax);

// The map's entry for seconds on a scale from 0 to top: the fraction seconds / top of 256 entries,
// the last for anything at or above the top.
[[nodiscard]] std::size_t OccupancyColourIndex(double seconds, double top);

// The colour of a bin: kNeverVisitedColour for 0 seconds (or anything that is not a positive
// number), otherwise its viridis entry.
[[nodiscard]] Rgb OccupancyColour(double seconds, double top);

// Paints every bin of map at one surface pixel per plot pixel from (0, 0), bin (column, row)
// covering columns column x B up to (not including) the next bin's, the last ones cut at the
// 640 x 480 plot; clipped to the surface. Nothing else of the surface changes, its text background
// colour included; the scale is OccupancyScaleTop(map, vmax).
void DrawOccupancyBins(CDrawingSurface& surface, const OccupancyMap& map, std::optional<double> vmax);
