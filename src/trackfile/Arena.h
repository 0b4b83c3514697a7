// The tracker's frame: positions and light points of a record lie in an arena of this many pixels
// (the plot area shows it one to one).
#pragma once

#include <cstdint>

inline constexpr std::int32_t kArenaWidth = 640;
inline constexpr std::int32_t kArenaHeight = 480;
