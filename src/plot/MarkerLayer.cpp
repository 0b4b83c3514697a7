#include "plot/MarkerLayer.h"

#include "plot/PixelWalks.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

namespace
{
// The buffer's margin on every side: a marked marker's position lies within kMarkerReach of the
// surface, and its pixels within kMarkerReach of its position.
constexpr std::int64_t kMargin = 2 * std::int64_t{kMarkerReach};
// The circle's box, (x - 5, y - 5) to (x + 5, y + 5) for every marker.
constexpr std::int64_t kCircleSide = 10;

Rect Union(const Rect& a, const Rect& b)
{
    if (a.right <= a.left)
        return b;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}
} // namespace

CMarkerLayer::CMarkerLayer(std::int32_t width, std::int32_t height)
    : m_nWidth(std::max(width, 0)), m_nHeight(std::max(height, 0)),
      m_nStride(static_cast<std::size_t>(m_nWidth + 2 * kMargin)),
      m_codes(m_nStride * static_cast<std::size_t>(m_nHeight + 2 * kMargin), kUntouched),
      m_headings(kHeadingSlots), m_lineShapes(kLineShapes)
{
    // The circle's outline is the same for every marker, moved to its box.
    WalkEllipseOutline(0, 0, kCircleSide, kCircleSide,
                       [this](std::int64_t x, std::int64_t y) {
                           m_circleOffsets.push_back(
                               static_cast<std::ptrdiff_t>(y * static_cast<std::int64_t>(m_nStride) + x));
                       });
}

std::size_t CMarkerLayer::CodeIndex(std::int64_t x, std::int64_t y) const
{
    assert(x >= -kMargin && x < m_nWidth + kMargin && y >= -kMargin && y < m_nHeight + kMargin &&
           "a marked pixel lies within the layer's margin");
    return static_cast<std::size_t>(y + kMargin) * m_nStride + static_cast<std::size_t>(x + kMargin);
}

const MarkerHeading& CMarkerLayer::HeadingOf(std::int32_t angle)
{
    HeadingSlot& slot = m_headings[static_cast<std::uint32_t>(angle) % kHeadingSlots];
    if (!slot.filled || slot.angle != angle)
    {
        slot.filled = true;
        slot.angle = angle;
        slot.heading = MarkerHeadingOf(angle);
    }
    return slot.heading;
}

const CMarkerLayer::LineShape& CMarkerLayer::LineShapeOf(std::int32_t dx, std::int32_t dy)
{
    assert(std::abs(dx) <= kLineSpan && std::abs(dy) <= kLineSpan &&
           "a marker's line stays within its reach");
    const std::int64_t row = std::int64_t{dy} + kLineSpan;
    const std::int64_t column = std::int64_t{dx} + kLineSpan;
    LineShape& shape = m_lineShapes[static_cast<std::size_t>(row * std::int64_t{kLineSide} + column)];
    if (!shape.walked)
    {
        shape.walked = true;
        shape.first = static_cast<std::uint32_t>(m_lineOffsets.size());
        const auto stride = static_cast<std::int64_t>(m_nStride);
        WalkLine(0, 0, dx, dy,
                 [this, stride](std::int64_t x, std::int64_t y)
                 { m_lineOffsets.push_back(static_cast<std::ptrdiff_t>(y * stride + x)); });
        shape.count = static_cast<std::uint32_t>(m_lineOffsets.size()) - shape.first;
    }
    return shape;
}

void CMarkerLayer::MarkLine(Point from, Point to)
{
    const LineShape& shape = LineShapeOf(to.x - from.x, to.y - from.y);
    std::uint8_t* const start = m_codes.data() + CodeIndex(from.x, from.y);
    const std::ptrdiff_t* const offsets = m_lineOffsets.data() + shape.first;
    for (std::uint32_t k = 0; k < shape.count; ++k)
        start[offsets[k]] = kLine;
}

void CMarkerLayer::Add(std::int32_t x, std::int32_t y, std::int32_t angle)
{
    ++m_nPending;
    m_nLastX = x;
    m_nLastY = y;
    m_nLastAngle = angle;
    // A marker further off touches no pixel of the surface.
    if (x < -kMarkerReach || y < -kMarkerReach || x >= m_nWidth + kMarkerReach ||
        y >= m_nHeight + kMarkerReach)
        return;

    // In the order the plot draws a marker: the dot, then the circle and the lines over it.
    const MarkerShape shape = MarkerShapeAt(x, y, HeadingOf(angle));
    for (const std::int32_t row : shape.dotRows)
        for (const std::int32_t column : shape.dotColumns)
            m_codes[CodeIndex(column, row)] = kDot;
    assert(shape.circle.right - shape.circle.left == kCircleSide &&
           shape.circle.bottom - shape.circle.top == kCircleSide && "every marker's circle has the same box");
    std::uint8_t* const circle = m_codes.data() + CodeIndex(shape.circle.left, shape.circle.top);
    for (const std::ptrdiff_t offset : m_circleOffsets)
        circle[offset] = kLine;
    MarkLine(shape.tail, shape.tip);
    MarkLine(shape.tip, shape.leftBarb);
    MarkLine(shape.tip, shape.rightBarb);
    MarkLine(shape.crossStart, shape.crossEnd);
    m_dirty =
        Union(m_dirty, Rect{x - kMarkerReach, y - kMarkerReach, x + kMarkerReach + 1, y + kMarkerReach + 1});
}

void CMarkerLayer::AddEveryNth(std::span<const TrackRecord> records, std::uint64_t firstIndex,
                               std::uint32_t every)
{
    const std::uint64_t step = std::max<std::uint32_t>(every, 1);
    // The first record of the block whose index is a multiple of step.
    const std::uint64_t first = (step - firstIndex % step) % step;
    for (std::uint64_t k = first; k < records.size(); k += step)
    {
        const TrackRecord& record = records[static_cast<std::size_t>(k)];
        Add(record.x, record.y, record.angle);
    }
}

void CMarkerLayer::PaintOnto(CDrawingSurface& surface)
{
    if (m_nPending == 0)
        return;
    assert(surface.Width() == m_nWidth && surface.Height() == m_nHeight &&
           "the layer has the surface's size");
    const Rect visible{std::max(m_dirty.left, 0), std::max(m_dirty.top, 0),
                       std::min({m_dirty.right, m_nWidth, surface.Width()}),
                       std::min({m_dirty.bottom, m_nHeight, surface.Height()})};
    static constexpr std::array<Rgb, 3> kPalette{kBlack, kMarkerDotColour, kMarkerLineColour};
    if (visible.left < visible.right && visible.top < visible.bottom)
        surface.PaintCodes(visible, m_codes.data() + CodeIndex(visible.left, visible.top), m_nStride,
                           kPalette);
    else
        surface.PaintCodes(Rect{}, nullptr, m_nStride, kPalette); // still one operation, as the markers were
    for (std::int32_t y = m_dirty.top; y < m_dirty.bottom; ++y)
        std::memset(m_codes.data() + CodeIndex(m_dirty.left, y), kUntouched,
                    static_cast<std::size_t>(m_dirty.right - m_dirty.left));

    // What the last marker drawn one by one leaves behind.
    const MarkerShape last = MarkerShapeAt(m_nLastX, m_nLastY, HeadingOf(m_nLastAngle));
    surface.SelectPen(kMarkerLineColour);
    surface.SetROP2(RasterOp::Copy);
    surface.MoveToEx(last.crossEnd.x, last.crossEnd.y);
    m_dirty = Rect{};
    m_nPending = 0;
}
