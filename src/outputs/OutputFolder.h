// The folder an output's files go into: made, with its parents, when it does not exist yet, as a
// user who names "results/" expects. Made before the pass, so that a folder that cannot be made
// is refused before anything is read.
#pragma once

#include "base/Problem.h"

#include <string>

// Nothing wrong when dir is a folder now; otherwise why it could not be made.
[[nodiscard]] Problem MakeOutputFolder(const std::string& dir);
