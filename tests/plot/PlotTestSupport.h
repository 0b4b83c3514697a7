// Helpers for the plot tests: pixel sets read from a surface, random backgrounds, and BMP parsing.
#pragma once

#include "plot/DrawingSurface.h"
#include "plot/RgbRaster.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

using Pixel = std::pair<int, int>; // (x, y)
using PixelSet = std::set<Pixel>;

// Every pixel of the surface that is not black.
PixelSet LitPixels(const CDrawingSurface& surface);
// Every non-black pixel with its colour.
std::map<Pixel, Rgb> LitPixelColours(const CDrawingSurface& surface);
// The pixels of the surface whose colour is exactly c.
PixelSet PixelsOfColour(const CDrawingSurface& surface, Rgb c);
// Fills the surface with pseudo-random colours from seed.
void FillRandom(CDrawingSurface& surface, std::uint32_t seed);
// A raster whose every pixel differs from its neighbours: random colours from seed.
CRgbRaster RandomRaster(std::int32_t width, std::int32_t height, std::uint32_t seed);
// All pixels, row by row.
std::vector<Rgb> AllPixels(const CDrawingSurface& surface);
// The pixels of a window of the surface, shifted by (-x0, -y0), lit pixels only.
PixelSet LitPixelsInWindow(const CDrawingSurface& surface, int x0, int y0, int width, int height);

// A BMP file read back field by field.
struct ParsedBitmap
{
    std::uint16_t bfType = 0;
    std::uint32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::uint32_t bfOffBits = 0;
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
// False when the bytes are shorter than the two headers.
bool ParseBitmapHeaders(const std::string& bytes, ParsedBitmap& parsed);
// The colour of pixel (x, y), y counted from the top, of a 24- or 32-bit file, or through the
// colour table for 1, 4 and 8 bits.
Rgb BitmapPixel(const std::string& bytes, const ParsedBitmap& parsed, int x, int y);
