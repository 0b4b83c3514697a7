// Writes captures of any description (sizes, planes, bits per pixel, pixel counts that do not
// match, a capture that changed between the header block and the write) through CreateBitmapInfo and
// WriteBitmapFile, and reads every file written back: header fields, offsets, sizes, colour table,
// row padding and every pixel in the file's format.
#include "base/LittleEndian.h"
#include "plot/BitmapFile.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"
#include "support/GeneratedTrack.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace
{
// Captures hold at most this many pixels, so a file stays small and a fuzz run fast.
constexpr std::int64_t kMaxPixels = 16384;

constexpr std::uint8_t kWideSizes = 0x01;     // sizes anywhere in the 32-bit range
constexpr std::uint8_t kCountOff = 0x02;      // a pixel count that does not match the sizes
constexpr std::uint8_t kOtherCapture = 0x04;  // the write gets a capture of its own description
constexpr std::uint8_t kOtherCountOff = 0x08; // ... whose pixel count does not match either

// Reads a description: sizes, then as many pixels as they say (or a few more or fewer), all black.
CapturedBitmap ReadDescription(CFuzzInput& input, bool wideSizes, bool countOff)
{
    CapturedBitmap bitmap;
    bitmap.width = wideSizes ? input.Int() : input.I8();
    bitmap.height = wideSizes ? input.Int() : input.I8();
    std::int64_t count = 0;
    if (bitmap.width > 0 && bitmap.height > 0)
        count = std::int64_t{bitmap.width} * bitmap.height;
    count = std::min<std::int64_t>(count, kMaxPixels); // a larger description cannot match: it is refused
    if (countOff)
        count = std::max<std::int64_t>(0, count + input.I8());
    bitmap.pixels.resize(static_cast<std::size_t>(count));
    return bitmap;
}

// Colours the pixels by cycling through the bytes the input has left.
void Paint(CapturedBitmap& bitmap, const std::vector<std::uint8_t>& colours)
{
    if (colours.empty())
        return;
    for (std::size_t i = 0; i < bitmap.pixels.size(); ++i)
    {
        const std::size_t at = 3 * i;
        bitmap.pixels[i] = Rgb{colours[at % colours.size()], colours[(at + 1) % colours.size()],
                               colours[(at + 2) % colours.size()]};
    }
}

bool Describes(const CapturedBitmap& b)
{
    return b.width > 0 && b.height > 0 && std::uint32_t{b.planes} * b.bitsPerPixel > 0 &&
           b.pixels.size() == static_cast<std::uint64_t>(b.width) * static_cast<std::uint64_t>(b.height);
}

std::uint32_t DepthOf(std::uint64_t planesTimesBits)
{
    for (const std::uint32_t depth : {1u, 4u, 8u, 16u, 24u})
        if (planesTimesBits <= depth)
            return depth;
    return 32;
}

std::uint64_t RowBytesOf(std::int64_t width, std::uint32_t depth)
{
    const std::uint64_t bits = static_cast<std::uint64_t>(width) * depth;
    return (bits + 31) / 32 * 4; // rows padded to whole 32-bit words
}

std::uint32_t SquaredDistance(Rgb a, Rgb b)
{
    const int dr = a.r - b.r;
    const int dg = a.g - b.g;
    const int db = a.b - b.b;
    return static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
}

// Checks one pixel of an indexed format: its colour table entry is the nearest of all entries.
void CheckNearest(const std::vector<Rgb>& table, std::size_t index, Rgb source)
{
    FuzzCheck(index < table.size(), "a pixel's index lies in the colour table");
    for (const Rgb& other : table)
        FuzzCheck(SquaredDistance(table[index], source) <= SquaredDistance(other, source),
                  "an indexed pixel takes the nearest colour of the table");
}

void CheckFile(const std::vector<std::uint8_t>& file, const CapturedBitmap& bitmap)
{
    const std::uint16_t bits = bitmap.bitsPerPixel;
    const std::uint32_t colours = bits < 24 ? (1u << bits) : 0;
    const std::uint64_t rowBytes = RowBytesOf(bitmap.width, bits);
    const std::uint64_t imageSize = rowBytes * static_cast<std::uint64_t>(bitmap.height);
    const std::uint64_t offset = kBitmapFileHeaderSize + kBitmapInfoHeaderSize + 4ull * colours;
    FuzzCheck(file.size() == offset + imageSize, "the file is headers, colour table and rows");
    const std::uint8_t* p = file.data();
    FuzzCheck(p[0] == 'B' && p[1] == 'M', "the file starts with BM");
    FuzzCheck(LoadLE32(p + 2) == file.size(), "the file header gives the file's size");
    FuzzCheck(LoadLE32(p + 6) == 0, "the reserved fields are zero");
    FuzzCheck(LoadLE32(p + 10) == offset, "the file header gives the pixels' offset");
    const std::uint8_t* info = p + kBitmapFileHeaderSize;
    FuzzCheck(LoadLE32(info) == kBitmapInfoHeaderSize, "biSize");
    FuzzCheck(static_cast<std::int32_t>(LoadLE32(info + 4)) == bitmap.width, "biWidth");
    FuzzCheck(static_cast<std::int32_t>(LoadLE32(info + 8)) == bitmap.height, "biHeight");
    FuzzCheck(LoadLE16(info + 12) == 1 && LoadLE16(info + 14) == bits, "biPlanes and biBitCount");
    FuzzCheck(LoadLE32(info + 16) == 0, "biCompression is BI_RGB");
    FuzzCheck(LoadLE32(info + 20) == imageSize, "biSizeImage");
    FuzzCheck(LoadLE32(info + 32) == colours, "biClrUsed");

    std::vector<Rgb> table(colours);
    for (std::uint32_t i = 0; i < colours; ++i)
    {
        const std::uint8_t* entry = info + kBitmapInfoHeaderSize + 4 * i;
        table[i] = Rgb{entry[2], entry[1], entry[0]};
        FuzzCheck(entry[3] == 0, "a colour table entry's fourth byte is zero");
        FuzzCheck(bits != 16 || table[i] == kBlack, "a 16-bit file's table is empty");
    }
    if (bits == 1)
        FuzzCheck(table[0] == kBlack && table[1] == kWhite, "a 1-bit table is black and white");

    const auto width = static_cast<std::size_t>(bitmap.width);
    for (std::int32_t fileRow = 0; fileRow < bitmap.height; ++fileRow)
    {
        // Bottom-up: the file's first row is the capture's last.
        const std::uint8_t* row = p + offset + static_cast<std::uint64_t>(fileRow) * rowBytes;
        const Rgb* source =
            bitmap.pixels.data() + static_cast<std::size_t>(bitmap.height - 1 - fileRow) * width;
        for (std::size_t x = 0; x < width; ++x)
        {
            const Rgb c = source[x];
            switch (bits)
            {
            case 1:
                CheckNearest(table, (row[x / 8] >> (7 - x % 8)) & 1u, c);
                break;
            case 4:
                CheckNearest(table, x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0xFu, c);
                break;
            case 8:
            {
                // A 3-3-2 table: each channel within one step of the source.
                const Rgb t = table[row[x]];
                FuzzCheck(std::abs(t.r - c.r) < 32 && std::abs(t.g - c.g) < 32 && std::abs(t.b - c.b) < 64,
                          "an 8-bit pixel is within one step of its colour");
                break;
            }
            case 16:
            {
                const std::uint16_t v = LoadLE16(row + 2 * x);
                FuzzCheck(v >> 15 == 0 && ((v >> 10) & 31) == c.r >> 3 && ((v >> 5) & 31) == c.g >> 3 &&
                              (v & 31) == c.b >> 3,
                          "a 16-bit pixel is 5-5-5 of its colour");
                break;
            }
            case 24:
                FuzzCheck(row[3 * x] == c.b && row[3 * x + 1] == c.g && row[3 * x + 2] == c.r,
                          "a 24-bit pixel is blue, green, red");
                break;
            default:
                FuzzCheck(row[4 * x] == c.b && row[4 * x + 1] == c.g && row[4 * x + 2] == c.r &&
                              row[4 * x + 3] == 0,
                          "a 32-bit pixel is blue, green, red, zero");
                break;
            }
        }
        const std::uint64_t used = (static_cast<std::uint64_t>(width) * bits + 7) / 8;
        for (std::uint64_t k = used; k < rowBytes; ++k)
            FuzzCheck(row[k] == 0, "row padding is zero");
    }
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    // The colours are the bytes of a generated record; the widths leave padding at every depth.
    const std::vector<TrackRecord> records = GeneratedRecords(1, 5);
    std::vector<std::vector<std::uint8_t>> seeds;
    for (const std::uint16_t bits : {1, 4, 8, 16, 24, 32})
    {
        CFuzzInputBuilder input;
        input.U8(0).U8(7).U8(5).U16(1).U16(bits).Bytes(&records[0], 96);
        seeds.push_back(input.Data());
    }
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    CFuzzInput input(data, size);
    const std::uint8_t control = input.U8();
    const bool wideSizes = (control & kWideSizes) != 0;
    CapturedBitmap bitmap = ReadDescription(input, wideSizes, (control & kCountOff) != 0);
    bitmap.planes = input.U16();
    bitmap.bitsPerPixel = input.U16();
    const bool otherCapture = (control & kOtherCapture) != 0;
    CapturedBitmap other;
    if (otherCapture)
    {
        other = ReadDescription(input, wideSizes, (control & kOtherCountOff) != 0);
        other.planes = bitmap.planes;
        other.bitsPerPixel = bitmap.bitsPerPixel;
    }
    std::vector<std::uint8_t> colours;
    while (input.Remaining() > 0)
        colours.push_back(input.U8());
    Paint(bitmap, colours);
    Paint(other, colours);
    const CapturedBitmap& written = otherCapture ? other : bitmap;

    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);
    std::optional<BitmapInfo> info = CreateBitmapInfo(bitmap);
    FuzzCheck(info.has_value() == Describes(bitmap), "a header block is made exactly for a real description");
    if (!info)
    {
        FuzzCheck(sink.m_messages == std::vector<std::string>{std::string(kMsgNoBitmapObject)},
                  "a refused description is told once");
        return 0;
    }
    const std::uint64_t p = std::uint64_t{bitmap.planes} * bitmap.bitsPerPixel;
    const std::uint32_t depth = DepthOf(p);
    const BitmapInfoHeader& h = info->header;
    FuzzCheck(h.biWidth == bitmap.width && h.biHeight == bitmap.height && h.biPlanes == bitmap.planes &&
                  h.biBitCount == bitmap.bitsPerPixel,
              "the header block keeps the description");
    FuzzCheck(h.biSizeImage == RowBytesOf(bitmap.width, depth) * static_cast<std::uint64_t>(bitmap.height),
              "the image size is whole padded rows at the description's depth");
    FuzzCheck(h.biClrUsed == (depth < 24 ? 1u << depth : 0u) && info->colorTable.size() == h.biClrUsed,
              "a colour table below 24 bits, none above");

    const std::string path = scratch.File("plot.bmp");
    const int result = WriteBitmapFile(path, *info, written);
    const std::uint16_t bits = bitmap.bitsPerPixel;
    const bool readable =
        bitmap.planes == 1 && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32);
    const bool writable =
        readable && Describes(written) && written.width == bitmap.width && written.height == bitmap.height;
    if (!writable)
    {
        FuzzCheck(result != 0, "a capture the block does not describe is not written");
        FuzzCheck(sink.m_messages == std::vector<std::string>{std::string(kMsgGetBitsFailed)},
                  "a capture that cannot be read is told once");
        FuzzCheck(scratch.List().empty(), "a refused write leaves no file");
        return 0;
    }
    FuzzCheck(result == 0 && sink.m_messages.empty(), "a readable capture is written without a message");
    FuzzCheck(scratch.List() == std::vector<std::string>{"plot.bmp"}, "the write leaves the bitmap alone");
    const std::optional<std::vector<std::uint8_t>> file = ReadFileBytes(path);
    FuzzCheck(file.has_value(), "the bitmap can be read back");
    CheckFile(*file, written);
    scratch.Clear();
    return 0;
}
