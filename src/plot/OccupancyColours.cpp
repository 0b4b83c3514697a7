#include "plot/OccupancyColours.h"

#include "analysis/Clock.h"
#include "plot/Viridis.h"
#include "trackfile/Arena.h"

#include <algorithm>
#include <cmath>

double OccupancyScaleTop(const OccupancyMap& map, std::optional<double> vmax)
{
    if (vmax && *vmax > 0.0 && std::isfinite(*vmax))
        return *vmax;
    const double largest = map.Largest();
    return largest > 0.0 && std::isfinite(largest) ? largest : RecordsToSeconds(1);
}

std::size_t OccupancyColourIndex(double seconds, double top)
{
    const double fraction = seconds / top;
    if (!(fraction < 1.0)) // at or above the top (or a top that is no number)
        return kViridisEntries - 1;
    if (!(fraction > 0.0))
        return 0;
    return std::min(static_cast<std::size_t>(fraction * static_cast<double>(kViridisEntries)),
                    kViridisEntries - 1);
}

Rgb OccupancyColour(double seconds, double top)
{
    if (!(seconds > 0.0))
        return kNeverVisitedColour;
    return kViridis[OccupancyColourIndex(seconds, top)];
}

void DrawOccupancyBins(CDrawingSurface& surface, const OccupancyMap& map, std::optional<double> vmax)
{
    const std::size_t bins =
        static_cast<std::size_t>(std::max(map.columns, 0)) * static_cast<std::size_t>(std::max(map.rows, 0));
    if (bins == 0 || map.seconds.size() != bins || map.binPixels < 1)
        return;
    const double top = OccupancyScaleTop(map, vmax);
    const Rgb textBackground = surface.GetBkColor(); // the fills below would change it
    const std::int64_t b = map.binPixels;
    for (std::int32_t row = 0; row < map.rows; ++row)
    {
        const std::int64_t y0 = row * b;
        if (y0 >= kArenaHeight)
            break;
        const auto y1 = static_cast<std::int32_t>(std::min<std::int64_t>(y0 + b, kArenaHeight));
        for (std::int32_t column = 0; column < map.columns; ++column)
        {
            const std::int64_t x0 = column * b;
            if (x0 >= kArenaWidth)
                break;
            const auto x1 = static_cast<std::int32_t>(std::min<std::int64_t>(x0 + b, kArenaWidth));
            surface.FillOpaque(Rect{static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0), x1, y1},
                               OccupancyColour(map.At(column, row), top));
        }
    }
    surface.SetBkColor(textBackground);
}
