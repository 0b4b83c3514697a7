// The colours of the region outlines and labels: one cycle of ten colours repeated for the 50
// regions. kRegionColors draws every outline and the selected region's label, kRegionColorsDim
// the labels of the other regions. Row 9 repeats row 8, so regions 8 and 9 share a colour.
#pragma once

#include "base/Regions.h"
#include "plot/DrawingSurface.h"

#include <array>
#include <cstddef>

namespace region_colors_detail
{
inline constexpr std::array<Rgb, 10> kCycle{{{175, 175, 175},
                                             {255, 0, 0},
                                             {0, 255, 0},
                                             {0, 0, 255},
                                             {255, 255, 0},
                                             {255, 0, 255},
                                             {255, 127, 0},
                                             {0, 255, 127},
                                             {0, 127, 255},
                                             {0, 127, 255}}};
inline constexpr std::array<Rgb, 10> kDimCycle{{{143, 143, 143},
                                                {127, 0, 0},
                                                {0, 127, 0},
                                                {0, 0, 127},
                                                {127, 127, 0},
                                                {127, 0, 127},
                                                {127, 63, 0},
                                                {0, 127, 63},
                                                {0, 63, 127},
                                                {0, 63, 127}}};

constexpr std::array<Rgb, kMaxRegions> Repeat(const std::array<Rgb, 10>& cycle)
{
    std::array<Rgb, kMaxRegions> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = cycle[i % cycle.size()];
    return table;
}
} // namespace region_colors_detail

inline constexpr std::array<Rgb, kMaxRegions> kRegionColors =
    region_colors_detail::Repeat(region_colors_detail::kCycle);
inline constexpr std::array<Rgb, kMaxRegions> kRegionColorsDim =
    region_colors_detail::Repeat(region_colors_detail::kDimCycle);

namespace region_colors_detail
{
inline constexpr std::size_t kCycleLength = kCycle.size();
// The last two colours of the cycle are one colour, and the table repeats the cycle.
static_assert(kRegionColors[kCycleLength - 2] == kRegionColors[kCycleLength - 1] &&
              kRegionColorsDim[kCycleLength - 2] == kRegionColorsDim[kCycleLength - 1]);
static_assert(kRegionColors[2 * kCycleLength - 1] == kCycle.back() &&
              kRegionColorsDim[4 * kCycleLength + 1] == kDimCycle[1]);
} // namespace region_colors_detail
