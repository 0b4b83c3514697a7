// The entry-rule sensitivity (analysis/Sensitivity.h) as a picture for a paper: small multiples,
// one panel per region in a grid five panels wide, each with the region's name and two small charts
// of its entries, against the minimum visit (0 to 2 s) on the left and against the margin (0 to
// 16 px) on the right. Two charts rather than two lines on one: the parameters have different units
// and ranges, and one x axis for both would need a second scale the reader has to match lines to.
// The two charts of a panel share their entries scale, so the two effects compare at a glance; each
// panel has its own scale, since regions differ in entries by orders of magnitude and what matters
// is how much each one's count moves. The current settings are marked in every chart by a dashed
// vertical line (a ring around the point too when the value is on the grid), which stays
// distinct from the series in a grey print.
//
// Laid out in plot pixels and drawn with each as scale x scale pixels, as the heatmap picture is
// (plot/PaperPicture.h).
#pragma once

#include "analysis/Sensitivity.h"
#include "base/Geometry.h"
#include "plot/PaperPicture.h"
#include "plot/RgbRaster.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kSensitivityPictureSuffix = "_sensitivity.png";

inline constexpr std::int32_t kMinSensitivityScale = 1;
inline constexpr std::int32_t kMaxSensitivityScale = 8;
inline constexpr std::int32_t kDefaultSensitivityScale = 2;
inline constexpr std::int32_t kSensitivityPanelColumns = 5;
// A chart's data area: the grid's values span its columns, entries 0 to the scale's top its rows.
inline constexpr std::int32_t kSensitivityChartWidth = 81;
inline constexpr std::int32_t kSensitivityChartHeight = 61;

inline constexpr Rgb kSensitivitySeriesColour{31, 84, 150}; // points and the lines between them
inline constexpr Rgb kSensitivityCurrentColour{214, 39, 40};

struct SensitivityPictureOptions
{
    std::int32_t scale = kDefaultSensitivityScale; // pixels per plot pixel, kept within 1 to 8
    std::string fileName;                          // the title's first line
};

// One region's panel, in plot pixels.
struct SensitivityPanel
{
    Rect box;                   // the whole panel; the region's name at its top-left corner
    std::array<Rect, 2> charts; // data areas: against the minimum visit, against the margin
    std::uint64_t top = 0;      // the entries at the charts' top row
};

struct SensitivityLayout
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    Point title; // top-left of the title's first line
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::vector<SensitivityPanel> panels; // the result's regions, in order, row by row
};

// The chart of parameter in a panel's charts.
[[nodiscard]] std::size_t SensitivityChartSlot(SensitivityParameter parameter);

// The top of an entries scale that holds largest: twice the smallest step of 1, 2 or 5 times a
// power of ten that reaches largest in two, so that 0, the step and the top are whole labelled
// marks (0 gives 2: an empty region still has a scale).
[[nodiscard]] std::uint64_t SensitivityScaleTop(std::uint64_t largest);

// Where value k of parameter's grid with entries lands in the data area chart of a scale up to
// top: the point's centre pixel.
[[nodiscard]] Point SensitivityPointAt(const Rect& chart, SensitivityParameter parameter, std::size_t k,
                                       std::uint64_t entries, std::uint64_t top);

// The column of chart where result's current value of parameter is marked: the grid value's when it
// counts as the current one, else where the value falls between the grid's ends; none beyond them.
[[nodiscard]] std::optional<std::int32_t>
SensitivityCurrentColumn(const Rect& chart, const SensitivityResult& result, SensitivityParameter parameter);

// The title's lines after the file's name: what the charts show, the merge gap, the current values.
[[nodiscard]] std::vector<std::string> SensitivitySubtitle(const SensitivityResult& result);

[[nodiscard]] SensitivityLayout LayOutSensitivityPicture(const SensitivityResult& result,
                                                         const SensitivityPictureOptions& options);

// The picture, for the PNG writer (plot/PngFile.h).
[[nodiscard]] CRgbRaster DrawSensitivityPicture(const SensitivityResult& result,
                                                const SensitivityPictureOptions& options);
