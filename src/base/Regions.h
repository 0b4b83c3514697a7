// The rules about regions that the region table, the event files and the plot share.
#pragma once

#include <cstdint>

// The table holds at most this many regions, and the plot draws at most this many outlines.
inline constexpr std::int32_t kMaxRegions = 50;

// True when index names one of count slots; -1 (no selection) never does.
[[nodiscard]] constexpr bool IsRegionIndex(std::int32_t index, std::int64_t count)
{
    return index >= 0 && index < count;
}
