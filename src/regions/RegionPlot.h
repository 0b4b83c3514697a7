// IRegionPlot: the drawing the region table asks of the plot. The window's plot surface implements
// it; tests hand the table a fake that records the calls. Results are ignored by the table: a band
// that cannot be drawn does not change what the gesture stores.
#pragma once

#include "base/Geometry.h"
#include "base/Regions.h"
#include "regions/RegionShape.h"

#include <cstdint>

class IRegionPlot
{
public:
    virtual ~IRegionPlot() = default;
    // Replaces the drawn outlines and labels by those of regions 0 .. count-1; selected is the index
    // whose label is marked (-1 for none). rects and shapes are the table's (a rectangle shape stands
    // for the rectangle of rects); shapes may be null when every region is a rectangle.
    virtual int RedrawRegions(const Rect* rects, const RegionShape* shapes, std::int32_t count,
                              std::int32_t selected) = 0;
    // Fixes the band's anchor; draws nothing.
    virtual int BeginBand(std::int32_t x, std::int32_t y) = 0;
    // Moves the band's free corner, erasing the band drawn before.
    virtual int TrackBand(std::int32_t x, std::int32_t y) = 0;
    // Erases the band.
    virtual int EndBand() = 0;
    // Shows shape's outline as the preview of a gesture that draws or moves a shape (white, in
    // exclusive-or, as the band), taking off the preview shown before.
    virtual int TrackPreview(const RegionShape& shape) = 0;
    // Takes the preview off, if one is shown.
    virtual int EndPreview() = 0;
};
