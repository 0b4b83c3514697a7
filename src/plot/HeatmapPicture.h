// The occupancy heatmap as a picture for a paper: the plot's bins in the viridis map (never-visited
// bins in grey), region outlines and names on top, a colour bar with its scale in seconds, and a
// title with the file's name and the time binned. The picture is laid out in plot pixels and drawn
// with each of them as scale x scale pixels, text included, so that it prints sharp and legible.
#pragma once

#include "analysis/Occupancy.h"
#include "base/Geometry.h"
#include "plot/PaperPicture.h" // PrintableText, which names and titles go through
#include "plot/RgbRaster.h"
#include "regions/RegionShape.h"
#include "regions/RegionTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::int32_t kMinHeatmapScale = 1;
inline constexpr std::int32_t kMaxHeatmapScale = 8;
inline constexpr std::int32_t kDefaultHeatmapScale = 2;

// A region drawn over the heatmap: its shape in plot pixels (a rectangle's corners in any order)
// and its name.
struct HeatmapRegion
{
    RegionShape shape;
    std::string name;
};

// The regions 0 .. m_nRegionCount - 1 of a table, each with its shape and name.
[[nodiscard]] std::vector<HeatmapRegion> HeatmapRegionsOf(const CRegionTable& table);

struct HeatmapPictureOptions
{
    std::int32_t scale = kDefaultHeatmapScale; // pixels per plot pixel, kept within 1 to 8
    std::optional<double> vmax;                // the top of the scale; by default the largest bin
    std::string fileName;                      // the title's first line
    double secondsBinned = 0.0;                // for the title's second line
    std::uint64_t recordsOffPlot = 0;
    double sigmaBins = 0.0; // the smoothing the map has had, for the title
    std::vector<HeatmapRegion> regions;
};

// Where the parts of the picture lie, in plot pixels (multiply by the scale for the raster's).
struct HeatmapLayout
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    Point title;     // top-left of the title's first line
    Rect plot;       // the 640 x 480 plot
    Rect bar;        // the colour bar, 0 at its bottom row, the top of the scale at its top row
    Point barHeader; // "seconds", above the bar
    Rect swatch;     // the never-visited sample under the plot
};

// A mark of the colour bar's scale: its seconds, its text, and the bar row it stands at.
struct ColourBarTick
{
    double seconds = 0.0;
    std::string label;
    std::int32_t row = 0; // from the bar's top row (0) down to its bottom row (height - 1)
};

// The layout for a picture of a map with these options (the width depends on the scale's labels).
[[nodiscard]] HeatmapLayout LayOutHeatmapPicture(const OccupancyMap& map,
                                                 const HeatmapPictureOptions& options);

// Where the top of a scale comes from, which says how its label reads.
enum class ScaleTopKind
{
    LargestBin,        // the largest bin's time, shown to three significant digits
    Fixed,             // a top asked for, shown as given
    FixedBelowLargest, // a top asked for that some bin exceeds: ">= top"
};

// The scale's kind for a map under an optional fixed top.
[[nodiscard]] ScaleTopKind KindOfScaleTop(const OccupancyMap& map, std::optional<double> vmax);

// The marks of a bar barRows rows high for a scale from 0 to top: 0, round steps (1, 2 or 5 times a
// power of ten, three to eight of them) far enough below the top not to crowd its label, and the
// top itself.
[[nodiscard]] std::vector<ColourBarTick> ColourBarTicks(double top, std::int32_t barRows, ScaleTopKind kind);

// The title's second line: the time binned, the records off the plot, the bin size and smoothing.
[[nodiscard]] std::string HeatmapSubtitle(const OccupancyMap& map, const HeatmapPictureOptions& options);

// The picture.
[[nodiscard]] CRgbRaster DrawHeatmapPicture(const OccupancyMap& map, const HeatmapPictureOptions& options);
