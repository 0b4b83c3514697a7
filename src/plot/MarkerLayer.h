// CMarkerLayer: the position markers of many records drawn at once. The entire-track plot draws a
// marker for every Nth record, each a dot, a circle and four lines; drawn one by one that is
// fourteen surface operations a marker. The layer marks each marker's pixels in a buffer of its own
// (one byte a pixel: untouched, dot colour or line colour, the later marker over the earlier) and
// paints them onto the surface in one operation. Every marker draws in copy mode, so the last
// marker to touch a pixel gives its colour: the picture is byte for byte the one the markers drawn
// one by one in the same order give, at the edges and off the surface too, and the surface is left
// as the last marker leaves it (white pen, copy mode, current position at the crossbar's end).
//
// Use: one layer per picture, sized to the surface; Add or AddEveryNth the records in file order,
// as the blocks of a pass come; CTrackPlot::DrawMarkerLayer when the markers should show (at the
// end of the pass, and before anything else is drawn on the surface or a pass that stops early
// shows what it has).
#pragma once

#include "plot/DrawingSurface.h"
#include "plot/PositionMarker.h"
#include "trackfile/TrackRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class CMarkerLayer
{
public:
    // A layer for a surface of width x height pixels (negative sizes count as 0).
    CMarkerLayer(std::int32_t width, std::int32_t height);

    [[nodiscard]] std::int32_t Width() const { return m_nWidth; }
    [[nodiscard]] std::int32_t Height() const { return m_nHeight; }
    // Markers added since the layer was last painted.
    [[nodiscard]] std::uint64_t Pending() const { return m_nPending; }

    // The marker of a record at (x, y) heading angle degrees, over every marker added before it.
    void Add(std::int32_t x, std::int32_t y, std::int32_t angle);
    // The markers of the records of a block whose index is a multiple of every (0 counts as 1):
    // records[k] is record firstIndex + k of the track.
    void AddEveryNth(std::span<const TrackRecord> records, std::uint64_t firstIndex, std::uint32_t every);

    // Paints the markers added since the last paint onto surface (of the layer's size) in one
    // operation and empties the layer; nothing at all when none were added.
    void PaintOnto(CDrawingSurface& surface);

private:
    enum Code : std::uint8_t
    {
        kUntouched = 0,
        kDot = 1,
        kLine = 2,
    };
    // Cached headings: the markers of a track come with few distinct angles.
    static constexpr std::size_t kHeadingSlots = 1024;
    struct HeadingSlot
    {
        bool filled = false;
        std::int32_t angle = 0;
        MarkerHeading heading;
    };

    // A line's pixels, from its start, depend only on how far its end lies from its start; those
    // of the lines a marker has (at most 2 x kMarkerReach each way) are walked once and kept as
    // offsets into the buffer.
    static constexpr std::int32_t kLineSpan = 2 * kMarkerReach;
    static constexpr std::size_t kLineSide = 2 * kLineSpan + 1;
    static constexpr std::size_t kLineShapes = kLineSide * kLineSide;
    struct LineShape
    {
        std::uint32_t first = 0; // in m_lineOffsets
        std::uint32_t count = 0;
        bool walked = false;
    };

    const MarkerHeading& HeadingOf(std::int32_t angle);
    [[nodiscard]] std::size_t CodeIndex(std::int64_t x, std::int64_t y) const;
    const LineShape& LineShapeOf(std::int32_t dx, std::int32_t dy);
    void MarkLine(Point from, Point to);

    std::int32_t m_nWidth;
    std::int32_t m_nHeight;
    // The buffer reaches 2 x kMarkerReach beyond every side: markers whose position lies within
    // kMarkerReach of the surface fall wholly inside it; those further off touch no surface pixel
    // and are not marked.
    std::size_t m_nStride;
    std::vector<std::uint8_t> m_codes;
    std::vector<std::ptrdiff_t> m_circleOffsets; // the circle's pixels from its box's top-left
    std::vector<HeadingSlot> m_headings;
    std::vector<LineShape> m_lineShapes;
    std::vector<std::ptrdiff_t> m_lineOffsets;
    // Marked area since the last paint, in surface coordinates (empty when right <= left).
    Rect m_dirty;
    std::uint64_t m_nPending = 0;
    // The last marker added, which leaves the surface's current position at its crossbar's end.
    std::int32_t m_nLastX = 0;
    std::int32_t m_nLastY = 0;
    std::int32_t m_nLastAngle = 0;
};
