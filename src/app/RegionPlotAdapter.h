// Lets the region table draw through the window's plot: the outlines and labels of the regions
// and the rubber band of the mouse gesture.
#pragma once

#include "plot/TrackPlot.h"
#include "regions/RegionPlot.h"

class CRegionPlotAdapter final : public IRegionPlot
{
public:
    explicit CRegionPlotAdapter(CTrackPlot& plot) : m_plot(plot) {}

    int RedrawRegions(const Rect* rects, const RegionShape* shapes, std::int32_t count,
                      std::int32_t selected) override
    {
        return m_plot.RedrawRegions(rects, shapes, count, selected);
    }
    int BeginBand(std::int32_t x, std::int32_t y) override { return m_plot.BeginBand(x, y); }
    int TrackBand(std::int32_t x, std::int32_t y) override { return m_plot.TrackBand(x, y); }
    int EndBand() override { return m_plot.EndBand(); }
    int TrackPreview(const RegionShape& shape) override { return m_plot.TrackPreview(shape); }
    int EndPreview() override { return m_plot.EndPreview(); }

private:
    CTrackPlot& m_plot; // not owned
};
