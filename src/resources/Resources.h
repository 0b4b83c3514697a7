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

// The program's name; the application gives it to the framework as the caption of every box.
inline constexpr std::string_view kProgramName = "trackplay";
// The program's version as the About box shows it.
inline constexpr std::string_view kProgramVersion = "Version 2.00";
