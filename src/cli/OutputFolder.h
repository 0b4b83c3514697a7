// The folder a command writes its files into: made, with its parents, when it does not exist yet,
// as a user who names "results/" expects.
#pragma once

#include <string>

// True when dir is a folder now; otherwise the user has been told why it could not be made.
[[nodiscard]] bool MakeOutputFolder(const std::string& dir);
