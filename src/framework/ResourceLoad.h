// Loading the window resources the way the window code asks for them: handles are plain pointers
// to the constant tables of resources/, so nothing needs releasing.
#pragma once

#include "resources/Resources.h"

#include <string>

using HICON = const IconImage*;         // nullptr: no icon
using HACCEL = const AcceleratorTable*; // nullptr: no table

[[nodiscard]] HICON LoadIcon(int id);
[[nodiscard]] HACCEL LoadAccelerators(int id);
[[nodiscard]] std::string LoadString(int id); // "" when there is no such string
