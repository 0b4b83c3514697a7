#include "plot/RgbRaster.h"

#include "plot/LabelFont.h"

#include <algorithm>
#include <cstring>

RgbImageView ViewOf(const CDrawingSurface& surface)
{
    return RgbImageView{surface.Width(), surface.Height(), surface.Data()};
}

CRgbRaster::CRgbRaster(std::int32_t width, std::int32_t height, Rgb background)
    : m_nWidth(std::max(width, 0)), m_nHeight(std::max(height, 0)),
      // A grey background (white and black are the usual ones) is every byte the same: set at once.
      m_pixels(static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight) * 3, background.r)
{
    if (background.g != background.r || background.b != background.r)
        FillRect(Rect{0, 0, m_nWidth, m_nHeight}, background);
}

Rgb CRgbRaster::GetPixel(std::int32_t x, std::int32_t y) const
{
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return kBlack;
    const std::uint8_t* p = m_pixels.data() + Offset(x, y);
    return Rgb{p[0], p[1], p[2]};
}

void CRgbRaster::SetPixel(std::int32_t x, std::int32_t y, Rgb colour)
{
    FillRect(Rect{x, y, x + 1, y + 1}, colour);
}

void CRgbRaster::FillRect(const Rect& rect, Rgb colour)
{
    FillRgbPixels(m_pixels, m_nWidth, m_nHeight, rect, colour);
}

void CRgbRaster::FrameRect(const Rect& rect, std::int32_t thickness, Rgb colour)
{
    const Rect r = NormalizedRect(rect);
    const std::int32_t t = std::clamp(thickness, 0, std::max(r.right - r.left, r.bottom - r.top));
    FillRect(Rect{r.left, r.top, r.right, std::min(r.top + t, r.bottom)}, colour);
    FillRect(Rect{r.left, std::max(r.bottom - t, r.top), r.right, r.bottom}, colour);
    FillRect(Rect{r.left, r.top, std::min(r.left + t, r.right), r.bottom}, colour);
    FillRect(Rect{std::max(r.right - t, r.left), r.top, r.right, r.bottom}, colour);
}

void CRgbRaster::DrawText(std::int32_t x, std::int32_t y, std::string_view text, Rgb ink, std::int32_t scale)
{
    const std::int32_t k = std::max(scale, 1);
    std::int64_t cellX = x;
    for (const char c : text)
    {
        const LabelGlyph& glyph = FindLabelGlyph(c);
        for (std::int32_t row = 0; row < kLabelGlyphRows; ++row)
        {
            const std::uint8_t mask = glyph.rows[row];
            for (std::int32_t column = 0; column < kLabelGlyphColumns && column < glyph.advance; ++column)
            {
                if (((mask >> (kLabelGlyphColumns - 1 - column)) & 1u) == 0)
                    continue;
                const std::int64_t px = cellX + std::int64_t{column} * k;
                const std::int64_t py = y + std::int64_t{kLabelGlyphTop + row} * k;
                if (px >= m_nWidth || py >= m_nHeight || px + k <= 0 || py + k <= 0)
                    continue;
                FillRect(Rect{static_cast<std::int32_t>(px), static_cast<std::int32_t>(py),
                              static_cast<std::int32_t>(px + k), static_cast<std::int32_t>(py + k)},
                         ink);
            }
        }
        cellX += std::int64_t{glyph.advance} * k;
        if (cellX >= m_nWidth)
            break; // the rest lies beyond the right edge
    }
}

CRgbRaster Magnified(const RgbImageView& image, std::int32_t scale)
{
    const std::int32_t k = std::max(scale, 1);
    const std::int32_t width = std::max(image.width, 0);
    const std::int32_t height = std::max(image.height, 0);
    CRgbRaster raster(width * k, height * k, kBlack);
    if (image.pixels == nullptr || raster.m_pixels.empty())
        return raster;
    const auto sourceRow = static_cast<std::size_t>(width) * 3;
    const auto rowBytes = static_cast<std::size_t>(raster.m_nWidth) * 3;
    const auto factor = static_cast<std::size_t>(k);
    for (std::int32_t y = 0; y < height; ++y)
    {
        // The first row of the band: each pixel k times over; the band's other rows copy it.
        const std::uint8_t* from = image.pixels + static_cast<std::size_t>(y) * sourceRow;
        std::uint8_t* const band = raster.m_pixels.data() + static_cast<std::size_t>(y) * factor * rowBytes;
        std::uint8_t* to = band;
        for (std::int32_t x = 0; x < width; ++x, from += 3)
            for (std::int32_t copy = 0; copy < k; ++copy, to += 3)
            {
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
            }
        for (std::size_t row = 1; row < factor; ++row)
            std::memcpy(band + row * rowBytes, band, rowBytes);
    }
    return raster;
}

TextExtent ScaledTextExtent(std::string_view text, std::int32_t scale)
{
    const std::int32_t k = std::max(scale, 1);
    std::int32_t width = 0;
    for (const char c : text)
        width += FindLabelGlyph(c).advance * k;
    return TextExtent{width, kLabelFontHeight * k};
}
