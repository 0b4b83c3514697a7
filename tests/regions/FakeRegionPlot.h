// A plot that records every call the region table makes, with a copy of the regions it was handed.
#pragma once

#include "regions/RegionPlot.h"

#include <string>
#include <vector>

class CFakeRegionPlot final : public IRegionPlot
{
public:
    struct Call
    {
        std::string op; // "Redraw", "Begin", "Track", "End", "Preview", "EndPreview"
        std::int32_t x = 0;
        std::int32_t y = 0;
        std::vector<Rect> rects; // Redraw: rects[0 .. count-1]
        std::int32_t selected = 0;
        std::vector<RegionShape> shapes; // Redraw: shapes[0 .. count-1] (empty when none were handed);
                                         // Preview: the shape shown
    };

    int RedrawRegions(const Rect* rects, const RegionShape* shapes, std::int32_t count,
                      std::int32_t selected) override
    {
        calls.push_back({"Redraw", 0, 0, std::vector<Rect>(rects, rects + count), selected,
                         shapes != nullptr ? std::vector<RegionShape>(shapes, shapes + count)
                                           : std::vector<RegionShape>()});
        return 0;
    }
    int BeginBand(std::int32_t x, std::int32_t y) override
    {
        calls.push_back({"Begin", x, y, {}, 0, {}});
        return 0;
    }
    int TrackBand(std::int32_t x, std::int32_t y) override
    {
        calls.push_back({"Track", x, y, {}, 0, {}});
        return 0;
    }
    int EndBand() override
    {
        calls.push_back({"End", 0, 0, {}, 0, {}});
        return -602; // results are ignored by the table
    }

    int TrackPreview(const RegionShape& shape) override
    {
        calls.push_back({"Preview", 0, 0, {}, 0, {shape}});
        return 0;
    }
    int EndPreview() override
    {
        calls.push_back({"EndPreview", 0, 0, {}, 0, {}});
        return 0;
    }

    std::vector<std::string> Ops() const
    {
        std::vector<std::string> ops;
        for (const Call& call : calls)
            ops.push_back(call.op);
        return ops;
    }

    std::vector<Call> calls;
};
