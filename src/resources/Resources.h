// Lookup of the window resources by id, as the program loads them. Each function returns nullptr
// (or an empty view) for an id that does not exist, never throws, and never allocates.
#pragma once

#include "resources/ResourceIds.h"
#include "resources/ResourceTypes.h"
#include "resources/VirtualKeys.h"

#include <string_view>

[[nodiscard]] const DialogTemplate* FindDialogTemplate(int id);     // 100 and 102
[[nodiscard]] const MenuResource* FindMenuResource(int id);         // 101
[[nodiscard]] const AcceleratorTable* FindAcceleratorTable(int id); // 132
[[nodiscard]] const IconImage* FindIconResource(int id);            // 130
[[nodiscard]] std::string_view FindStringResource(int id);          // 101; "" when missing

// The program's name, used as the caption of every message box.
inline constexpr std::string_view kProgramName = "trackplay";
// The program's version as the About box shows it.
inline constexpr std::string_view kProgramVersion = "Version 2.00";

// The plot area's client size in pixels: the tracker's video frame, one tracker unit per pixel.
// Its template rectangle (430 x 298 dialog units) is 645 x 484 pixels; hosts give the area a
// 2-pixel sunken edge on every side and a client area of exactly this size, so the outer box is
// 644 x 484 and the one spare pixel column at the right stays dialog background.
inline constexpr int kPlotClientWidth = 640;
inline constexpr int kPlotClientHeight = 480;
inline constexpr int kPlotEdge = 2;
