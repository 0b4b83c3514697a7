// CRgbRaster: a plain 24-bit picture in memory, for pictures composed off the plot area (the
// occupancy heatmap with its colour bar and titles). It fills rectangles and draws the label font at
// any whole scale; everything outside the raster is skipped. RgbImageView is the read-only view of
// such pixels that the PNG writer takes, from a raster or from the plot's drawing surface alike.
#pragma once

#include "base/Geometry.h"
#include "plot/DrawingSurface.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Pixels owned elsewhere: rows top to bottom, 3 bytes per pixel (R, G, B), no padding.
struct RgbImageView
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    const std::uint8_t* pixels = nullptr;
};

// The surface's pixels as they stand (valid while the surface lives and is not drawn on).
[[nodiscard]] RgbImageView ViewOf(const CDrawingSurface& surface);

class CRgbRaster
{
public:
    // A raster of width x height pixels (negative sizes count as 0), every pixel background.
    CRgbRaster(std::int32_t width, std::int32_t height, Rgb background);

    [[nodiscard]] std::int32_t Width() const { return m_nWidth; }
    [[nodiscard]] std::int32_t Height() const { return m_nHeight; }
    [[nodiscard]] const std::uint8_t* Data() const { return m_pixels.data(); }
    [[nodiscard]] RgbImageView View() const { return RgbImageView{m_nWidth, m_nHeight, m_pixels.data()}; }
    // The pixel at (x, y); black outside the raster.
    [[nodiscard]] Rgb GetPixel(std::int32_t x, std::int32_t y) const;

    void SetPixel(std::int32_t x, std::int32_t y, Rgb colour);
    // Fills rect (corners in any order, right and bottom excluded), clipped to the raster.
    void FillRect(const Rect& rect, Rgb colour);
    // The outline of rect (right and bottom excluded) thickness pixels wide, grown inwards.
    void FrameRect(const Rect& rect, std::int32_t thickness, Rgb colour);

    // Text in the label font with its top-left corner at (x, y), each font pixel drawn as
    // scale x scale pixels (scale below 1 counts as 1). Only the glyphs' pixels are drawn: what
    // lies between them stays as it was.
    void DrawText(std::int32_t x, std::int32_t y, std::string_view text, Rgb ink, std::int32_t scale);

private:
    friend CRgbRaster Magnified(const RgbImageView& image, std::int32_t scale);

    [[nodiscard]] std::size_t Offset(std::int32_t x, std::int32_t y) const
    {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth) +
                static_cast<std::size_t>(x)) *
               3;
    }

    std::int32_t m_nWidth;
    std::int32_t m_nHeight;
    std::vector<std::uint8_t> m_pixels;
};

// The image with each pixel drawn as scale x scale pixels (scale below 1 counts as 1).
[[nodiscard]] CRgbRaster Magnified(const RgbImageView& image, std::int32_t scale);

// Width and height the text covers at scale (the label font's extent times scale).
[[nodiscard]] TextExtent ScaledTextExtent(std::string_view text, std::int32_t scale);
