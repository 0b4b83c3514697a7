#include "plot/DrawingSurface.h"

#include "plot/LabelFont.h"
#include "plot/PixelWalks.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstring>

namespace
{
// The ellipse walk's error terms grow with the cube of the box size; boxes up to this size in each
// direction keep them well inside 64 bits. The plot's only ellipse is 10 x 10.
constexpr std::int64_t kMaxEllipseBox = 1 << 16;
} // namespace

CDrawingSurface::CDrawingSurface(int width, int height)
    : m_nWidth(std::max(width, 0)), m_nHeight(std::max(height, 0)),
      m_pixels(static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight) * 3, 0)
{
}

Rgb CDrawingSurface::GetPixel(int x, int y) const
{
    if (!Contains(x, y))
        return kBlack;
    const std::uint8_t* p =
        m_pixels.data() +
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth) + static_cast<std::size_t>(x)) * 3;
    return Rgb{p[0], p[1], p[2]};
}

void CDrawingSurface::CopyPixel(std::int32_t x, std::int32_t y, Rgb colour)
{
    std::uint8_t* p = PixelAt(x, y);
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
}

void CDrawingSurface::PlotPixel(std::int32_t x, std::int32_t y)
{
    std::uint8_t* p = PixelAt(x, y);
    if (m_rasterOp == RasterOp::Xor)
    {
        p[0] ^= m_penColour.r;
        p[1] ^= m_penColour.g;
        p[2] ^= m_penColour.b;
    }
    else
    {
        p[0] = m_penColour.r;
        p[1] = m_penColour.g;
        p[2] = m_penColour.b;
    }
}

void CDrawingSurface::PlotPixelClipped(std::int64_t x, std::int64_t y)
{
    if (Contains(x, y))
        PlotPixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
}

void CDrawingSurface::SetPixelV(std::int32_t x, std::int32_t y, Rgb colour)
{
    ++m_nChangeCount;
    if (Contains(x, y))
        CopyPixel(x, y, colour);
}

RasterOp CDrawingSurface::SetROP2(RasterOp op)
{
    const RasterOp previous = m_rasterOp;
    m_rasterOp = op;
    return previous;
}

Point CDrawingSurface::MoveToEx(std::int32_t x, std::int32_t y)
{
    const Point previous = m_ptCurrent;
    m_ptCurrent = Point{x, y};
    return previous;
}

void CDrawingSurface::LineTo(std::int32_t x1, std::int32_t y1)
{
    ++m_nChangeCount;
    const std::int64_t x0 = m_ptCurrent.x;
    const std::int64_t y0 = m_ptCurrent.y;
    m_ptCurrent = Point{x1, y1};

    // A line whose box misses the surface sets nothing; skipping the walk keeps far-off lines cheap.
    if (std::max<std::int64_t>(x0, x1) < 0 || std::min<std::int64_t>(x0, x1) >= m_nWidth ||
        std::max<std::int64_t>(y0, y1) < 0 || std::min<std::int64_t>(y0, y1) >= m_nHeight)
        return;
    WalkLine(x0, y0, x1, y1, [this](std::int64_t x, std::int64_t y) { PlotPixelClipped(x, y); });
}

// Rows top and bottom - 1 from column left to right - 1, columns left and right - 1 between them:
// every outline pixel exactly once, so that drawing the outline twice in exclusive-or mode
// restores the surface. A box one pixel wide or high is a single column or row, set once.
void CDrawingSurface::Rectangle(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1)
{
    ++m_nChangeCount;
    const std::int64_t left = std::min(x0, x1);
    const std::int64_t right = std::max(x0, x1);
    const std::int64_t top = std::min(y0, y1);
    const std::int64_t bottom = std::max(y0, y1);
    if (left == right || top == bottom)
        return;
    const std::int64_t lastColumn = right - 1;
    const std::int64_t lastRow = bottom - 1;
    // Only the part of each edge that lies on the surface is walked.
    const std::int64_t fromX = std::max<std::int64_t>(left, 0);
    const std::int64_t toX = std::min<std::int64_t>(lastColumn, m_nWidth - 1);
    for (std::int64_t x = fromX; x <= toX; ++x)
    {
        PlotPixelClipped(x, top);
        if (lastRow != top)
            PlotPixelClipped(x, lastRow);
    }
    const std::int64_t fromY = std::max<std::int64_t>(top + 1, 0);
    const std::int64_t toY = std::min<std::int64_t>(lastRow - 1, m_nHeight - 1);
    for (std::int64_t y = fromY; y <= toY; ++y)
    {
        PlotPixelClipped(left, y);
        if (lastColumn != left)
            PlotPixelClipped(lastColumn, y);
    }
}

// The outline of the ellipse inscribed in the box (see WalkEllipseOutline); a box 2 pixels or less
// wide or high is the rectangle outline of the same box.
void CDrawingSurface::Ellipse(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1)
{
    const std::int64_t left = std::min(x0, x1);
    const std::int64_t right = std::max(x0, x1);
    const std::int64_t top = std::min(y0, y1);
    const std::int64_t bottom = std::max(y0, y1);
    const std::int64_t w = right - left;
    const std::int64_t h = bottom - top;
    if (w <= 2 || h <= 2)
    {
        Rectangle(x0, y0, x1, y1);
        return;
    }
    ++m_nChangeCount;
    if (right <= 0 || left >= m_nWidth || bottom <= 0 || top >= m_nHeight)
        return;
    if (w > kMaxEllipseBox || h > kMaxEllipseBox)
        return; // beyond any plot; the walk's arithmetic would not hold

    WalkEllipseOutline(left, top, w, h, [this](std::int64_t x, std::int64_t y) { PlotPixelClipped(x, y); });
}

// LineTo's own walk decides the pixels: the edges are drawn white on the part of the surface they
// can reach, cleared black first, and the white pixels are the outline. The surface is then put back
// and each outline pixel drawn once with the caller's pen and raster operation.
void CDrawingSurface::Polygon(std::span<const Point> points)
{
    ++m_nChangeCount;
    if (points.empty())
        return;
    std::int64_t left = points[0].x;
    std::int64_t top = points[0].y;
    std::int64_t right = points[0].x;
    std::int64_t bottom = points[0].y;
    for (const Point& p : points)
    {
        left = std::min<std::int64_t>(left, p.x);
        top = std::min<std::int64_t>(top, p.y);
        right = std::max<std::int64_t>(right, p.x);
        bottom = std::max<std::int64_t>(bottom, p.y);
    }
    // A line sets pixels only within the box of its ends.
    const auto fromX = static_cast<std::int32_t>(std::max<std::int64_t>(left, 0));
    const auto fromY = static_cast<std::int32_t>(std::max<std::int64_t>(top, 0));
    const auto toX = static_cast<std::int32_t>(std::min<std::int64_t>(right + 1, m_nWidth));
    const auto toY = static_cast<std::int32_t>(std::min<std::int64_t>(bottom + 1, m_nHeight));
    if (fromX >= toX || fromY >= toY)
        return;
    const Rect reach{fromX, fromY, toX, toY};
    const auto rowBytes = static_cast<std::size_t>(toX - fromX) * 3;
    std::vector<std::uint8_t> saved;
    saved.reserve(rowBytes * static_cast<std::size_t>(toY - fromY));
    for (std::int32_t y = fromY; y < toY; ++y)
        saved.insert(saved.end(), PixelAt(fromX, y), PixelAt(fromX, y) + rowBytes);

    const Rgb pen = m_penColour;
    const RasterOp op = m_rasterOp;
    const Point current = m_ptCurrent;
    FillRgbPixels(m_pixels, m_nWidth, m_nHeight, reach, kBlack);
    m_penColour = kWhite;
    m_rasterOp = RasterOp::Copy;
    MoveToEx(points[0].x, points[0].y);
    for (std::size_t k = 1; k <= points.size(); ++k)
        LineTo(points[k % points.size()].x, points[k % points.size()].y);

    std::vector<Point> outline;
    for (std::int32_t y = fromY; y < toY; ++y)
        for (std::int32_t x = fromX; x < toX; ++x)
            if (PixelAt(x, y)[0] != 0)
                outline.push_back(Point{x, y});
    for (std::int32_t y = fromY; y < toY; ++y)
        std::copy_n(saved.data() + static_cast<std::size_t>(y - fromY) * rowBytes, rowBytes,
                    PixelAt(fromX, y));
    m_penColour = pen;
    m_rasterOp = op;
    m_ptCurrent = current;
    for (const Point& p : outline)
        PlotPixel(p.x, p.y);
}

void FillRgbPixels(std::vector<std::uint8_t>& pixels, std::int32_t width, std::int32_t height,
                   const Rect& rect, Rgb colour)
{
    const Rect r = NormalizedRect(rect);
    const std::int32_t fromX = std::max(r.left, 0);
    const std::int32_t toX = std::min(r.right, width);
    const std::int32_t fromY = std::max(r.top, 0);
    const std::int32_t toY = std::min(r.bottom, height);
    if (fromX >= toX || fromY >= toY)
        return;
    const auto rowBytes = static_cast<std::size_t>(width) * 3;
    const auto spanBytes = static_cast<std::size_t>(toX - fromX) * 3;
    std::uint8_t* const first =
        pixels.data() + static_cast<std::size_t>(fromY) * rowBytes + static_cast<std::size_t>(fromX) * 3;
    // The first row's span: one pixel, then the filled part copied after itself until the span is
    // full; every further row is a copy of that span. Pictures are mostly large fills (a plot's
    // clear, a heatmap's paper and bins), which this does at the speed of copying memory.
    first[0] = colour.r;
    first[1] = colour.g;
    first[2] = colour.b;
    for (std::size_t filled = 3; filled < spanBytes; filled *= 2)
        std::memcpy(first + filled, first, std::min(filled, spanBytes - filled));
    for (std::int32_t y = fromY + 1; y < toY; ++y)
        std::memcpy(first + static_cast<std::size_t>(y - fromY) * rowBytes, first, spanBytes);
}

void CDrawingSurface::FillOpaque(const Rect& rect, Rgb colour)
{
    ++m_nChangeCount;
    m_bkColour = colour;
    FillRgbPixels(m_pixels, m_nWidth, m_nHeight, rect, colour);
}

void CDrawingSurface::PaintCodes(const Rect& box, const std::uint8_t* codes, std::size_t codeStride,
                                 std::span<const Rgb> palette)
{
    assert(box.left >= 0 && box.top >= 0 && box.left <= box.right && box.top <= box.bottom &&
           box.right <= m_nWidth && box.bottom <= m_nHeight && "the coded box lies on the surface");
    ++m_nChangeCount;
    for (std::int32_t y = box.top; y < box.bottom; ++y, codes += codeStride)
    {
        std::uint8_t* p = PixelAt(box.left, y);
        for (std::int32_t x = 0; x < box.right - box.left; ++x, p += 3)
        {
            const std::uint8_t code = codes[x];
            if (code == 0)
                continue;
            assert(code < palette.size() && "every code has its colour");
            const Rgb colour = palette[code];
            p[0] = colour.r;
            p[1] = colour.g;
            p[2] = colour.b;
        }
    }
}

TextExtent CDrawingSurface::GetTextExtent(std::string_view text) const
{
    std::int32_t width = 0;
    for (const char c : text)
        width += FindLabelGlyph(c).advance;
    return TextExtent{width, kLabelFontHeight};
}

void CDrawingSurface::DrawText(std::int32_t x, std::int32_t y, std::string_view text)
{
    ++m_nChangeCount;
    std::int64_t cellX = x;
    for (const char c : text)
    {
        const LabelGlyph& glyph = FindLabelGlyph(c);
        for (std::int64_t row = 0; row < kLabelFontHeight; ++row)
        {
            const std::int64_t glyphRow = row - kLabelGlyphTop;
            const std::uint8_t mask =
                (glyphRow >= 0 && glyphRow < kLabelGlyphRows) ? glyph.rows[glyphRow] : std::uint8_t{0};
            for (std::int64_t column = 0; column < glyph.advance; ++column)
            {
                const std::int64_t px = cellX + column;
                const std::int64_t py = y + row;
                if (!Contains(px, py))
                    continue;
                const bool ink =
                    column < kLabelGlyphColumns && (mask >> (kLabelGlyphColumns - 1 - column)) & 1u;
                CopyPixel(static_cast<std::int32_t>(px), static_cast<std::int32_t>(py),
                          ink ? m_textColour : m_bkColour);
            }
        }
        cellX += glyph.advance;
    }
}
