#include "plot/BitmapFile.h"

#include "base/File.h"
#include "base/LittleEndian.h"
#include "base/MessageSink.h"
#include "base/OutputFile.h"
#include "base/ResultCodes.h"

#include <limits>
#include <new>
#include <system_error>

namespace
{
using ColorEntry = std::array<std::uint8_t, 4>; // blue, green, red, 0

constexpr std::uint16_t kBitmapFileType = 0x4D42; // "BM"

// The sixteen colours of a 4-bit bitmap, in the platform's order.
constexpr std::array<Rgb, 16> kPalette16{{{0, 0, 0},
                                          {128, 0, 0},
                                          {0, 128, 0},
                                          {128, 128, 0},
                                          {0, 0, 128},
                                          {128, 0, 128},
                                          {0, 128, 128},
                                          {192, 192, 192},
                                          {128, 128, 128},
                                          {255, 0, 0},
                                          {0, 255, 0},
                                          {255, 255, 0},
                                          {0, 0, 255},
                                          {255, 0, 255},
                                          {0, 255, 255},
                                          {255, 255, 255}}};

// Rows are padded to whole 32-bit words.
constexpr std::uint64_t kRowAlignBits = 32;

std::uint64_t RowBytes(std::int64_t width, std::uint32_t depthClass)
{
    const std::uint64_t bits = static_cast<std::uint64_t>(width) * depthClass;
    return (bits + kRowAlignBits - 1) / kRowAlignBits * (kRowAlignBits / 8);
}

std::uint32_t SquaredDistance(Rgb a, Rgb b)
{
    const int dr = a.r - b.r;
    const int dg = a.g - b.g;
    const int db = a.b - b.b;
    return static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
}

template <std::size_t N> std::uint8_t NearestIndex(const std::array<Rgb, N>& palette, Rgb colour)
{
    std::size_t best = 0;
    for (std::size_t i = 1; i < N; ++i)
        if (SquaredDistance(palette[i], colour) < SquaredDistance(palette[best], colour))
            best = i;
    return static_cast<std::uint8_t>(best);
}

// 8 bits: a 3-3-2 palette, red in the top three bits of the index, blue in the bottom two.
constexpr std::size_t kRedShift = 5;   // red's three bits start here in the index
constexpr std::size_t kGreenShift = 2; // green's three bits
constexpr std::size_t kThreeBits = 7;  // the largest three-bit level
constexpr std::size_t kTwoBits = 3;    // the largest two-bit level (blue)

Rgb Palette256(std::size_t i)
{
    return Rgb{static_cast<std::uint8_t>(((i >> kRedShift) & kThreeBits) * 255 / kThreeBits),
               static_cast<std::uint8_t>(((i >> kGreenShift) & kThreeBits) * 255 / kThreeBits),
               static_cast<std::uint8_t>((i & kTwoBits) * 255 / kTwoBits)};
}

// The top bits of each channel: three of red and green, two of blue.
std::uint8_t Index256(Rgb c)
{
    constexpr int kDropForThree = 8 - 3;
    constexpr int kDropForTwo = 8 - 2;
    return static_cast<std::uint8_t>(((c.r >> kDropForThree) << kRedShift) |
                                     ((c.g >> kDropForThree) << kGreenShift) | (c.b >> kDropForTwo));
}

// 16 bits: five bits a channel, red highest, the top bit unused.
std::uint16_t Pack555(Rgb c)
{
    constexpr int kDrop = 8 - 5;
    constexpr int kGreenAt = 5;
    constexpr int kRedAt = 10;
    return static_cast<std::uint16_t>(((c.r >> kDrop) << kRedAt) | ((c.g >> kDrop) << kGreenAt) |
                                      (c.b >> kDrop));
}

// Appends little-endian fields one after the other, so that a header is written in file order
// without offsets.
class CFieldWriter
{
public:
    explicit CFieldWriter(std::uint8_t* p) : m_p(p) {}
    CFieldWriter& U16(std::uint16_t v)
    {
        StoreLE16(m_p, v);
        m_p += sizeof v;
        return *this;
    }
    CFieldWriter& U32(std::uint32_t v)
    {
        StoreLE32(m_p, v);
        m_p += sizeof v;
        return *this;
    }
    CFieldWriter& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }

private:
    std::uint8_t* m_p;
};

void FillColorTable(BitmapInfo& info)
{
    const std::uint16_t bits = info.header.biBitCount;
    for (std::size_t i = 0; i < info.colorTable.size(); ++i)
    {
        Rgb c = kBlack;
        if (bits == 1)
            c = i == 0 ? kBlack : kWhite;
        else if (bits == 4)
            c = kPalette16[i];
        else if (bits == 8)
            c = Palette256(i);
        info.colorTable[i] = ColorEntry{c.b, c.g, c.r, 0}; // 16 bits: no palette is used, zeros
    }
}

// One row in the block's format. Index formats pack the leftmost pixel into the high bits.
void ConvertRow(const Rgb* source, std::int32_t width, std::uint16_t bits, std::uint8_t* row)
{
    for (std::int32_t x = 0; x < width; ++x)
    {
        const Rgb c = source[x];
        const auto ux = static_cast<std::size_t>(x);
        switch (bits)
        {
        case 1:
            if (NearestIndex(std::array<Rgb, 2>{kBlack, kWhite}, c) != 0)
                row[ux / 8] |= static_cast<std::uint8_t>(0x80u >> (ux % 8));
            break;
        case 4:
            row[ux / 2] |= static_cast<std::uint8_t>(NearestIndex(kPalette16, c) << (ux % 2 == 0 ? 4 : 0));
            break;
        case 8:
            row[ux] = Index256(c);
            break;
        case 16:
            StoreLE16(row + 2 * ux, Pack555(c));
            break;
        case 24:
            row[3 * ux] = c.b;
            row[3 * ux + 1] = c.g;
            row[3 * ux + 2] = c.r;
            break;
        default: // 32
            row[4 * ux] = c.b;
            row[4 * ux + 1] = c.g;
            row[4 * ux + 2] = c.r;
            row[4 * ux + 3] = 0;
            break;
        }
    }
}

// The pixel read of the platform takes planes of 1 and the six depths only.
bool IsReadableFormat(const BitmapInfoHeader& header)
{
    const std::uint16_t bits = header.biBitCount;
    return header.biPlanes == 1 &&
           (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
}
} // namespace

CapturedBitmap CaptureSurface(const CDrawingSurface* surface, std::int32_t width, std::int32_t height)
{
    CapturedBitmap bitmap;
    bitmap.width = width;
    bitmap.height = height;
    if (surface == nullptr || width <= 0 || height <= 0)
        return bitmap; // no pixels: the description cannot be read
    bitmap.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            bitmap.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                          static_cast<std::size_t>(x)] = surface->GetPixel(x, y);
    return bitmap;
}

CapturedBitmap CaptureImage(const RgbImageView& image)
{
    CapturedBitmap bitmap;
    bitmap.width = image.width;
    bitmap.height = image.height;
    if (image.pixels == nullptr || image.width <= 0 || image.height <= 0)
        return bitmap; // no pixels: the description cannot be read
    const std::size_t count = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    bitmap.pixels.resize(count);
    for (std::size_t i = 0; i < count; ++i)
        bitmap.pixels[i] = Rgb{image.pixels[3 * i], image.pixels[3 * i + 1], image.pixels[3 * i + 2]};
    return bitmap;
}

std::uint32_t BitmapDepthClass(std::uint32_t p)
{
    if (p == 1)
        return 1;
    if (p <= 4)
        return 4;
    if (p <= 8)
        return 8;
    if (p <= 16)
        return 16;
    if (p <= 24)
        return 24;
    return 32;
}

std::optional<BitmapInfo> CreateBitmapInfo(const CapturedBitmap& bitmap)
{
    const std::uint64_t p = std::uint64_t{bitmap.planes} * bitmap.bitsPerPixel;
    const bool described = bitmap.width > 0 && bitmap.height > 0 && p > 0 &&
                           bitmap.pixels.size() == static_cast<std::uint64_t>(bitmap.width) *
                                                       static_cast<std::uint64_t>(bitmap.height);
    const std::uint32_t c = described ? BitmapDepthClass(static_cast<std::uint32_t>(p)) : 0;
    const std::uint64_t sizeImage =
        described ? RowBytes(bitmap.width, c) * static_cast<std::uint64_t>(bitmap.height) : 0;
    const std::uint32_t colorsUsed = c < 24 ? (std::uint32_t{1} << c) : 0;
    // Sizes a bitmap file cannot hold in its 32-bit fields do not describe a bitmap either.
    if (!described || sizeImage + kBitmapFileHeaderSize + kBitmapInfoHeaderSize + 4ull * colorsUsed >
                          std::numeric_limits<std::uint32_t>::max())
    {
        ShowMessage(kMsgNoBitmapObject);
        return std::nullopt;
    }
    BitmapInfo info;
    info.header.biWidth = bitmap.width;
    info.header.biHeight = bitmap.height;
    info.header.biPlanes = bitmap.planes;
    info.header.biBitCount = bitmap.bitsPerPixel;
    info.header.biSizeImage = static_cast<std::uint32_t>(sizeImage);
    info.header.biClrUsed = colorsUsed;
    info.colorTable.resize(colorsUsed);
    return info;
}

std::array<std::uint8_t, kBitmapFileHeaderSize> BitmapFileHeaderBytes(const BitmapInfoHeader& header)
{
    const std::uint32_t offBits =
        static_cast<std::uint32_t>(kBitmapFileHeaderSize + kBitmapInfoHeaderSize) + 4 * header.biClrUsed;
    std::array<std::uint8_t, kBitmapFileHeaderSize> bytes{};
    CFieldWriter(bytes.data())
        .U16(kBitmapFileType)              // bfType
        .U32(offBits + header.biSizeImage) // bfSize
        .U16(0)                            // bfReserved1
        .U16(0)                            // bfReserved2
        .U32(offBits);                     // bfOffBits
    return bytes;
}

std::vector<std::uint8_t> BitmapInfoBytes(const BitmapInfo& info)
{
    const BitmapInfoHeader& h = info.header;
    std::vector<std::uint8_t> bytes(kBitmapInfoHeaderSize + 4 * static_cast<std::size_t>(h.biClrUsed), 0);
    std::uint8_t* p = bytes.data();
    CFieldWriter(p)
        .U32(h.biSize)          // biSize
        .I32(h.biWidth)         // biWidth
        .I32(h.biHeight)        // biHeight
        .U16(h.biPlanes)        // biPlanes
        .U16(h.biBitCount)      // biBitCount
        .U32(h.biCompression)   // biCompression
        .U32(h.biSizeImage)     // biSizeImage
        .I32(h.biXPelsPerMeter) // biXPelsPerMeter
        .I32(h.biYPelsPerMeter) // biYPelsPerMeter
        .U32(h.biClrUsed)       // biClrUsed
        .U32(h.biClrImportant); // biClrImportant
    for (std::size_t i = 0; i < info.colorTable.size() && i < h.biClrUsed; ++i)
        for (std::size_t k = 0; k < 4; ++k)
            p[kBitmapInfoHeaderSize + 4 * i + k] = info.colorTable[i][k];
    return bytes;
}

int WriteBitmapFile(const std::string& path, BitmapInfo& info, const CapturedBitmap& bitmap)
{
    const BitmapInfoHeader& h = info.header;
    std::vector<std::uint8_t> pixels;
    try
    {
        pixels.assign(h.biSizeImage, 0);
    }
    catch (const std::bad_alloc&)
    {
        ShowMessage(kMsgNoPixelMemory);
        return kErrNoInput;
    }

    const std::uint64_t stride = h.biHeight > 0 ? h.biSizeImage / static_cast<std::uint32_t>(h.biHeight) : 0;
    const bool consistent = h.biWidth == bitmap.width && h.biHeight == bitmap.height &&
                            bitmap.pixels.size() == static_cast<std::uint64_t>(bitmap.width) *
                                                        static_cast<std::uint64_t>(bitmap.height) &&
                            stride >= RowBytes(bitmap.width, h.biBitCount);
    if (!IsReadableFormat(h) || !consistent)
    {
        ShowMessage(kMsgGetBitsFailed);
        return kErrNoInput;
    }
    FillColorTable(info);
    // Bottom-up: the file's first row is the bitmap's bottom row.
    for (std::int32_t fileRow = 0; fileRow < h.biHeight; ++fileRow)
    {
        const auto sourceRow = static_cast<std::size_t>(h.biHeight - 1 - fileRow);
        ConvertRow(bitmap.pixels.data() + sourceRow * static_cast<std::size_t>(bitmap.width), bitmap.width,
                   h.biBitCount, pixels.data() + static_cast<std::size_t>(fileRow) * stride);
    }

    // The file appears whole or not at all; until then a file of that name keeps what it had.
    COutputFile file;
    if (!file.Create(path, ShareMode::Exclusive))
    {
        ShowFileProblem(kMsgCreateFailed, path, file.GetProblem());
        return kErrOpen;
    }
    const auto fileHeader = BitmapFileHeaderBytes(h);
    const std::vector<std::uint8_t> block = BitmapInfoBytes(info);
    const bool written = file.Write(fileHeader.data(), fileHeader.size()) &&
                         file.Write(block.data(), block.size()) && file.Write(pixels.data(), pixels.size());
    if (!written || !file.Commit())
    {
        ShowMessageWithReason(kMsgWriteFailed, std::generic_category().message(file.GetProblem().error));
        return kErrNoInput;
    }
    return kOk;
}

int SaveCapturedBitmap(const std::string& path, const CapturedBitmap& bitmap)
{
    std::optional<BitmapInfo> info = CreateBitmapInfo(bitmap);
    if (!info)
    {
        // There is no platform error code behind a capture here; 0 shows the text alone.
        MessageBoxWithNumber(kMsgNoBitmapInfo, 0);
        return kErrNoInput;
    }
    return WriteBitmapFile(path, *info, bitmap);
}

int WriteSurfaceBitmap(const CDrawingSurface& surface, std::int32_t width, std::int32_t height,
                       const std::string& path)
{
    return SaveCapturedBitmap(path, CaptureSurface(&surface, width, height));
}
