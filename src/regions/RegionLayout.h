// Region layout files: a region table and its margin as JSON, so that regions drawn once serve many
// tracks (the window saves and loads its table with them; every batch command takes one):
//
//     {
//       "format": "trackplay-layout",
//       "version": 2,
//       "margin": 8,
//       "rules": { "merge_gap_s": 0.5, "min_visit_s": 0.25 },
//       "regions": [
//         { "name": "open arm", "rect": [50, 50, 175, 175] },
//         { "name": "platform", "circle": [320, 240, 40] },
//         { "name": "north arm", "polygon": [[300, 0], [340, 0], [340, 200], [300, 200]] }
//       ]
//     }
//
// Each region has exactly one shape. "rect" is left, top, right, bottom in plot pixels with the
// corners as drawn (a rectangle dragged backwards stays so); "circle" is the centre and the radius;
// "polygon" the corners in order (regions/RegionShape.h says which are usable). Up to 50 regions; a
// region without "name" takes its slot's ("Box3"); the margin is 8 when not given. From version 2
// on a layout also holds the analysis settings (regions/LayoutSettings.h); a version 1 layout has
// them at their defaults, whatever keys it has, and saving always writes version 2. Unknown keys are
// ignored. Anything else that is wrong (a newer version, a bad name, a rectangle that is not four
// 32-bit whole numbers, ...) is told in one message naming the file, the entry ("regions[3].name")
// and the fault, and the caller's table and margin stay as they were. No exception leaves this
// module.
#pragma once

#include "regions/AnalysisSettings.h"
#include "regions/RegionTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::string_view kLayoutFormat = "trackplay-layout";
inline constexpr std::int64_t kLayoutVersion = 2;
// A layout is a few kilobytes; anything much larger is some other file chosen by mistake.
inline constexpr std::size_t kMaxLayoutBytes = std::size_t{1} << 20;

// Loads the layout at path. On success table holds its regions in slots 0 .. n-1, the slots after
// them are as a new table has them (named "Box" + slot, no rectangle), the first region is selected
// (-1 when there are none), the drag points are kept, and margin is the layout's. kOk; kErrOpen when
// the file cannot be opened or read, kErrNoInput when it is not a usable layout (both told once;
// table and margin untouched).
int LoadRegionLayout(const std::string& path, CRegionTable& table, std::int32_t& margin);
// The same with the layout's analysis settings as well (untouched when it fails). An arena
// calibration stretched more than 5% is told once as a warning, and loads.
int LoadRegionLayout(const std::string& path, CRegionTable& table, std::int32_t& margin,
                     AnalysisSettings& settings);

// Saves regions 0 .. count-1 of table and the margin to path, written to a temporary file and
// renamed into place. kOk; kErrNoInput (told, nothing written) when a name is not usable or the
// margin is negative, as the layout could not be loaded again; kErrOpen when the file cannot be
// written (told; the destination keeps what it had).
int SaveRegionLayout(const std::string& path, const CRegionTable& table, std::int32_t margin);
// The same with analysis settings, which are refused like a bad name when FindSettingsProblem
// finds one (the first overload saves the defaults).
int SaveRegionLayout(const std::string& path, const CRegionTable& table, std::int32_t margin,
                     const AnalysisSettings& settings);

// LoadRegionLayout on text already read; fileLabel names the file in the message.
int ParseRegionLayout(std::string_view text, std::string_view fileLabel, CRegionTable& table,
                      std::int32_t& margin);
int ParseRegionLayout(std::string_view text, std::string_view fileLabel, CRegionTable& table,
                      std::int32_t& margin, AnalysisSettings& settings);

// The text SaveRegionLayout writes for a table whose names are all usable.
[[nodiscard]] std::string FormatRegionLayout(const CRegionTable& table, std::int32_t margin,
                                             const AnalysisSettings& settings = AnalysisSettings{});
