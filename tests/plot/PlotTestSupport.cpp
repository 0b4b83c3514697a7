#include "PlotTestSupport.h"

#include "base/LittleEndian.h"

#include <random>

namespace
{
const std::uint8_t* Bytes(const std::string& s, std::size_t offset)
{
    return reinterpret_cast<const std::uint8_t*>(s.data()) + offset;
}
} // namespace

PixelSet LitPixels(const CDrawingSurface& surface)
{
    PixelSet lit;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.GetPixel(x, y) != kBlack)
                lit.insert({x, y});
    return lit;
}

std::map<Pixel, Rgb> LitPixelColours(const CDrawingSurface& surface)
{
    std::map<Pixel, Rgb> lit;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.GetPixel(x, y) != kBlack)
                lit[{x, y}] = surface.GetPixel(x, y);
    return lit;
}

PixelSet PixelsOfColour(const CDrawingSurface& surface, Rgb c)
{
    PixelSet found;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            if (surface.GetPixel(x, y) == c)
                found.insert({x, y});
    return found;
}

CRgbRaster RandomRaster(std::int32_t width, std::int32_t height, std::uint32_t seed)
{
    CRgbRaster raster(width, height, kBlack);
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> channel(0, 255);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            raster.SetPixel(x, y,
                            Rgb{static_cast<std::uint8_t>(channel(random)),
                                static_cast<std::uint8_t>(channel(random)),
                                static_cast<std::uint8_t>(channel(random))});
    return raster;
}

void FillRandom(CDrawingSurface& surface, std::uint32_t seed)
{
    std::uint32_t state = seed * 2654435761u + 1;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
        {
            state = state * 1664525u + 1013904223u;
            surface.SetPixelV(x, y,
                              Rgb{static_cast<std::uint8_t>(state >> 24),
                                  static_cast<std::uint8_t>(state >> 16),
                                  static_cast<std::uint8_t>(state >> 8)});
        }
}

std::vector<Rgb> AllPixels(const CDrawingSurface& surface)
{
    std::vector<Rgb> pixels;
    for (int y = 0; y < surface.Height(); ++y)
        for (int x = 0; x < surface.Width(); ++x)
            pixels.push_back(surface.GetPixel(x, y));
    return pixels;
}

PixelSet LitPixelsInWindow(const CDrawingSurface& surface, int x0, int y0, int width, int height)
{
    PixelSet lit;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (surface.GetPixel(x0 + x, y0 + y) != kBlack)
                lit.insert({x, y});
    return lit;
}

bool ParseBitmapHeaders(const std::string& bytes, ParsedBitmap& p)
{
    if (bytes.size() < 54)
        return false;
    p.bfType = LoadLE16(Bytes(bytes, 0));
    p.bfSize = LoadLE32(Bytes(bytes, 2));
    p.bfReserved1 = LoadLE16(Bytes(bytes, 6));
    p.bfReserved2 = LoadLE16(Bytes(bytes, 8));
    p.bfOffBits = LoadLE32(Bytes(bytes, 10));
    p.biSize = LoadLE32(Bytes(bytes, 14));
    p.biWidth = static_cast<std::int32_t>(LoadLE32(Bytes(bytes, 18)));
    p.biHeight = static_cast<std::int32_t>(LoadLE32(Bytes(bytes, 22)));
    p.biPlanes = LoadLE16(Bytes(bytes, 26));
    p.biBitCount = LoadLE16(Bytes(bytes, 28));
    p.biCompression = LoadLE32(Bytes(bytes, 30));
    p.biSizeImage = LoadLE32(Bytes(bytes, 34));
    p.biXPelsPerMeter = static_cast<std::int32_t>(LoadLE32(Bytes(bytes, 38)));
    p.biYPelsPerMeter = static_cast<std::int32_t>(LoadLE32(Bytes(bytes, 42)));
    p.biClrUsed = LoadLE32(Bytes(bytes, 46));
    p.biClrImportant = LoadLE32(Bytes(bytes, 50));
    return true;
}

Rgb BitmapPixel(const std::string& bytes, const ParsedBitmap& p, int x, int y)
{
    const std::size_t stride = p.biSizeImage / static_cast<std::uint32_t>(p.biHeight);
    const std::size_t row = p.bfOffBits + static_cast<std::size_t>(p.biHeight - 1 - y) * stride;
    const auto ux = static_cast<std::size_t>(x);
    auto tableColour = [&](std::size_t index)
    {
        const std::uint8_t* e = Bytes(bytes, 54 + 4 * index);
        return Rgb{e[2], e[1], e[0]};
    };
    switch (p.biBitCount)
    {
    case 1:
        return tableColour((*Bytes(bytes, row + ux / 8) >> (7 - ux % 8)) & 1u);
    case 4:
        return tableColour((*Bytes(bytes, row + ux / 2) >> (ux % 2 == 0 ? 4 : 0)) & 0xFu);
    case 8:
        return tableColour(*Bytes(bytes, row + ux));
    case 24:
    {
        const std::uint8_t* q = Bytes(bytes, row + 3 * ux);
        return Rgb{q[2], q[1], q[0]};
    }
    default:
    {
        const std::uint8_t* q = Bytes(bytes, row + 4 * ux);
        return Rgb{q[2], q[1], q[0]};
    }
    }
}
