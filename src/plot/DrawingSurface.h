// CDrawingSurface: the plot's drawing context. A 24-bit RGB pixel buffer with the few primitives
// the plot draws with (single pixels, 1-pixel lines from a current position, hollow rectangle and
// ellipse outlines, copy and exclusive-or raster operations, an opaque fill, and text in the
// built-in label font), each setting exactly the pixels the platform's graphics interface would.
// It knows nothing of any window: the window shows Data(), tracktool writes it to files, tests
// read GetPixel().
#pragma once

#include "base/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

struct Rgb
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kWhite{255, 255, 255};

// Paints the part of rect (corners in either order) that lies inside a picture of width x height
// pixels, stored as rows of 3-byte pixels without padding, as the surface and the raster store them.
void FillRgbPixels(std::vector<std::uint8_t>& pixels, std::int32_t width, std::int32_t height,
                   const Rect& rect, Rgb colour);

// The raster operations of lines, rectangles and ellipses, numbered as the platform numbers them.
enum class RasterOp
{
    Xor = 7,   // each channel becomes pen XOR pixel
    Copy = 13, // the pixel becomes the pen colour
};

struct TextExtent
{
    std::int32_t cx = 0;
    std::int32_t cy = 0;
    friend bool operator==(const TextExtent&, const TextExtent&) = default;
};

class CDrawingSurface
{
public:
    // A black surface of width x height pixels (negative sizes count as 0).
    CDrawingSurface(int width, int height);

    [[nodiscard]] int Width() const { return m_nWidth; }
    [[nodiscard]] int Height() const { return m_nHeight; }
    // The pixel at (x, y); black outside the surface.
    [[nodiscard]] Rgb GetPixel(int x, int y) const;
    // Rows top to bottom, 3 bytes per pixel (R, G, B), no padding.
    [[nodiscard]] const std::uint8_t* Data() const { return m_pixels.data(); }
    // Grows with every drawing call, so a viewer knows when to show the pixels again.
    [[nodiscard]] std::uint64_t ChangeCount() const { return m_nChangeCount; }

    // Single pixel, always copied; nothing happens outside the surface.
    void SetPixelV(std::int32_t x, std::int32_t y, Rgb colour);

    // The pen of lines, rectangles and ellipses: solid, 1 pixel wide, this colour.
    void SelectPen(Rgb colour) { m_penColour = colour; }
    [[nodiscard]] Rgb PenColour() const { return m_penColour; }
    // Sets the raster operation; returns the previous one.
    RasterOp SetROP2(RasterOp op);
    [[nodiscard]] RasterOp GetROP2() const { return m_rasterOp; }

    // Moves the current position without drawing; returns the previous one.
    Point MoveToEx(std::int32_t x, std::int32_t y);
    [[nodiscard]] Point CurrentPosition() const { return m_ptCurrent; }
    // A line from the current position to (x, y), the end pixel excluded; (x, y) becomes the
    // current position.
    void LineTo(std::int32_t x, std::int32_t y);
    // Hollow outlines of the box with the corners in any order, right and bottom excluded.
    void Rectangle(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    void Ellipse(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom);
    // Hollow outline of the closed path through points: the pixels LineTo sets along each edge from
    // one point to the next and from the last back to the first, each pixel set once even where two
    // edges share it, so that exclusive-or drawing erases it exactly. The current position stays.
    void Polygon(std::span<const Point> points);

    // Fills rect (right and bottom excluded) with colour, always copied, and makes colour the text
    // background colour (the platform's opaque text-out with no text).
    void FillOpaque(const Rect& rect, Rgb colour);

    // Paints a layer of coded pixels in one call (the markers of many records, see MarkerLayer.h):
    // every pixel of box whose code is not 0 becomes palette[code]. codes holds a byte per pixel of
    // box, its top-left pixel's first, rows codeStride bytes apart. box lies on the surface. Always
    // copied, whatever the raster operation.
    void PaintCodes(const Rect& box, const std::uint8_t* codes, std::size_t codeStride,
                    std::span<const Rgb> palette);

    void SetTextColor(Rgb colour) { m_textColour = colour; }
    void SetBkColor(Rgb colour) { m_bkColour = colour; }
    [[nodiscard]] Rgb GetBkColor() const { return m_bkColour; }
    // Text in the label font, left- and top-aligned at (x, y): the cell of its extent is painted in
    // the background colour, then the glyph pixels in the text colour. Always copied.
    void DrawText(std::int32_t x, std::int32_t y, std::string_view text);
    // Width and height that DrawText covers for text.
    [[nodiscard]] TextExtent GetTextExtent(std::string_view text) const;

private:
    // One pixel through the current raster operation; the caller has checked the bounds.
    void PlotPixel(std::int32_t x, std::int32_t y);
    void PlotPixelClipped(std::int64_t x, std::int64_t y);
    [[nodiscard]] bool Contains(std::int64_t x, std::int64_t y) const
    {
        return x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight;
    }
    [[nodiscard]] std::uint8_t* PixelAt(std::int32_t x, std::int32_t y)
    {
        return m_pixels.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(m_nWidth) +
                                  static_cast<std::size_t>(x)) *
                                     3;
    }
    void CopyPixel(std::int32_t x, std::int32_t y, Rgb colour);

    int m_nWidth;
    int m_nHeight;
    std::vector<std::uint8_t> m_pixels;
    std::uint64_t m_nChangeCount = 0;
    Rgb m_penColour = kBlack;
    RasterOp m_rasterOp = RasterOp::Copy;
    Point m_ptCurrent;
    Rgb m_textColour = kBlack;
    Rgb m_bkColour = kWhite; // the platform's default until a fill sets it
};
