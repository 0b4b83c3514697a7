#include "plot/PngFile.h"

#include "base/File.h"
#include "base/OutputFile.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <immintrin.h>
#include <isa-l/crc.h>
#include <isa-l/igzip_lib.h>
#include <memory>
#include <new>
#include <string>
#include <system_error>
#include <vector>

namespace
{
// No picture wider or higher than this is written; common PNG readers refuse larger ones by
// default.
constexpr std::int32_t kMaxPngSide = 1000000;

constexpr std::array<std::uint8_t, 8> kPngSignature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kChunkTypeBytes = 4;
constexpr std::size_t kChunkHead = 8;  // length and type
constexpr std::size_t kChunkTail = 4;  // CRC of type and data
constexpr std::size_t kIhdrBytes = 13; // width, height, then one byte each from kIhdrBitDepthAt on
constexpr std::size_t kIhdrHeightAt = 4;
constexpr std::size_t kIhdrBitDepthAt = 8;
constexpr std::size_t kIhdrColourTypeAt = 9;
constexpr std::uint8_t kBitDepth = 8;
constexpr std::uint8_t kColourTypeRgb = 2;
constexpr std::uint8_t kFilterNone = 0;
constexpr std::uint8_t kFilterUp = 2;

// Filtered rows go to the compressor in slices of about this many bytes, and the compressed stream
// comes out in IDAT chunks of this size: the encoder's memory stays the same whatever the picture.
constexpr std::size_t kSliceBytes = std::size_t{256} << 10;
constexpr std::size_t kIdatBytes = std::size_t{256} << 10;

// Our pictures are flat colour in blocks (bins, the plot's black, a picture magnified for print):
// the row above predicts a row exactly, and a row that repeats the one above filters to zeros. The
// fastest level of the compressor takes those in its stride; deeper levels cost several times the
// time for files a few percent smaller.
constexpr std::uint32_t kDeflateLevel = 1;

// ISA-L's wide vector code may return with the upper halves of the vector registers in use. Until
// they are cleared, every later SSE instruction of the process runs several times slower (zlib
// measured 2.7 times slower after one compression): the filtering here, and whatever the program
// does after the picture. One instruction clears them, on processors that have it.
__attribute__((target("avx"))) void ZeroUpperVectorHalves()
{
    _mm256_zeroupper();
}

void AfterVectorCode()
{
    static const bool hasAvx = __builtin_cpu_supports("avx") != 0;
    if (hasAvx)
        ZeroUpperVectorHalves();
}

std::uint32_t ChunkCrc(const std::uint8_t* bytes, std::size_t size)
{
    const std::uint32_t crc = crc32_gzip_refl(0, bytes, size);
    AfterVectorCode();
    return crc;
}

void PutBigEndian32(std::uint8_t* at, std::uint32_t value)
{
    at[0] = static_cast<std::uint8_t>(value >> 24);
    at[1] = static_cast<std::uint8_t>(value >> 16);
    at[2] = static_cast<std::uint8_t>(value >> 8);
    at[3] = static_cast<std::uint8_t>(value);
}

// Writes whole chunks to the file; each chunk's bytes are laid out in one buffer that leaves room
// for its length and type in front and its CRC behind, so that a chunk is one write.
class CChunkWriter
{
public:
    explicit CChunkWriter(COutputFile& file) : m_file(file) {}

    [[nodiscard]] bool Failed() const { return m_bFailed; }

    // chunk holds kChunkHead free bytes, dataBytes of data and kChunkTail free bytes.
    void Write(const char (&type)[kChunkTypeBytes + 1], std::uint8_t* chunk, std::size_t dataBytes)
    {
        // The length, then the type; the CRC covers the type and the data, not the length.
        std::uint8_t* const typeAt = chunk + kChunkHead - kChunkTypeBytes;
        PutBigEndian32(chunk, static_cast<std::uint32_t>(dataBytes));
        std::memcpy(typeAt, type, kChunkTypeBytes);
        const std::uint32_t crc = ChunkCrc(typeAt, kChunkTypeBytes + dataBytes);
        PutBigEndian32(chunk + kChunkHead + dataBytes, crc);
        Put(chunk, kChunkHead + dataBytes + kChunkTail);
    }
    void Put(const void* bytes, std::size_t size)
    {
        if (!m_bFailed && !m_file.Write(bytes, size))
            m_bFailed = true;
    }

private:
    COutputFile& m_file;
    bool m_bFailed = false;
};

// Filter type and bytes of row y: the first row as it is, every other row as its difference from
// the row above, byte by byte modulo 256.
void FilterRow(const RgbImageView& image, std::size_t stride, std::int32_t y, std::uint8_t* out)
{
    const std::uint8_t* row = image.pixels + static_cast<std::size_t>(y) * stride;
    if (y == 0)
    {
        out[0] = kFilterNone;
        std::memcpy(out + 1, row, stride);
        return;
    }
    out[0] = kFilterUp;
    const std::uint8_t* above = row - stride;
    if (std::memcmp(row, above, stride) == 0)
    {
        std::memset(out + 1, 0, stride);
        return;
    }
    // Sixteen bytes at a time through the compiler's vector type, then the rest one by one.
    using Bytes16 = std::uint8_t __attribute__((vector_size(16)));
    std::size_t i = 0;
    for (; i + sizeof(Bytes16) <= stride; i += sizeof(Bytes16))
    {
        Bytes16 difference;
        Bytes16 previous;
        std::memcpy(&difference, row + i, sizeof difference);
        std::memcpy(&previous, above + i, sizeof previous);
        difference -= previous;
        std::memcpy(out + 1 + i, &difference, sizeof difference);
    }
    for (; i < stride; ++i)
        out[1 + i] = static_cast<std::uint8_t>(row[i] - above[i]);
}

// The compressor's state and the encoder's buffers, about a megabyte, kept for the thread's next
// picture: a batch writes thousands of pictures, and fresh buffers of this size cost their page
// faults every time.
struct PngWorkspace
{
    isal_zstream stream{};
    std::vector<std::uint8_t> levelBuffer = std::vector<std::uint8_t>(ISAL_DEF_LVL1_DEFAULT);
    std::vector<std::uint8_t> slice;
    std::vector<std::uint8_t> idat = std::vector<std::uint8_t>(kChunkHead + kIdatBytes + kChunkTail);
};

PngWorkspace& ThreadWorkspace()
{
    thread_local const std::unique_ptr<PngWorkspace> workspace = std::make_unique<PngWorkspace>();
    return *workspace;
}

enum class EncodeResult
{
    Written,
    WriteFailed,    // the file's GetProblem says why
    CompressFailed, // the compressor refused its input
};

// The picture's chunks; the caller has checked its size. Allocation failures come out as
// std::bad_alloc.
EncodeResult EncodePicture(COutputFile& file, const RgbImageView& image)
{
    const auto width = static_cast<std::size_t>(image.width);
    const std::size_t stride = width * 3;
    const std::size_t filteredRow = stride + 1;
    const std::size_t rowsPerSlice = std::max<std::size_t>(1, kSliceBytes / filteredRow);

    CChunkWriter writer(file);
    std::array<std::uint8_t, kPngSignature.size() + kChunkHead + kIhdrBytes + kChunkTail> head{};
    std::copy(kPngSignature.begin(), kPngSignature.end(), head.begin());
    std::uint8_t* ihdr = head.data() + kPngSignature.size();
    PutBigEndian32(ihdr + kChunkHead, static_cast<std::uint32_t>(image.width));
    PutBigEndian32(ihdr + kChunkHead + kIhdrHeightAt, static_cast<std::uint32_t>(image.height));
    ihdr[kChunkHead + kIhdrBitDepthAt] = kBitDepth;
    ihdr[kChunkHead + kIhdrColourTypeAt] = kColourTypeRgb;
    // Bytes 10 to 12: deflate compression, adaptive filtering, no interlace (all 0).
    writer.Put(head.data(), kPngSignature.size());
    writer.Write("IHDR", ihdr, kIhdrBytes);

    PngWorkspace& workspace = ThreadWorkspace();
    isal_zstream* const stream = &workspace.stream;
    isal_deflate_init(stream);
    stream->level = kDeflateLevel;
    stream->level_buf = workspace.levelBuffer.data();
    stream->level_buf_size = static_cast<std::uint32_t>(workspace.levelBuffer.size());
    stream->gzip_flag = IGZIP_ZLIB;
    stream->flush = NO_FLUSH;

    std::vector<std::uint8_t>& slice = workspace.slice;
    slice.resize(rowsPerSlice * filteredRow);
    std::vector<std::uint8_t>& idat = workspace.idat;
    std::uint8_t* const idatData = idat.data() + kChunkHead;
    std::size_t idatUsed = 0;
    for (std::int32_t y = 0; y < image.height && !writer.Failed();)
    {
        const std::size_t rows =
            std::min<std::size_t>(rowsPerSlice, static_cast<std::size_t>(image.height - y));
        for (std::size_t k = 0; k < rows; ++k)
            FilterRow(image, stride, y + static_cast<std::int32_t>(k), slice.data() + k * filteredRow);
        y += static_cast<std::int32_t>(rows);
        stream->next_in = slice.data();
        stream->avail_in = static_cast<std::uint32_t>(rows * filteredRow);
        stream->end_of_stream = y == image.height ? 1 : 0;
        // Until the slice is taken (and, at the end, the stream finished): the compressor stops
        // only when it has room left over.
        do
        {
            stream->next_out = idatData + idatUsed;
            stream->avail_out = static_cast<std::uint32_t>(kIdatBytes - idatUsed);
            const int compressed = isal_deflate(stream);
            AfterVectorCode();
            if (compressed != COMP_OK)
                return EncodeResult::CompressFailed;
            idatUsed = kIdatBytes - stream->avail_out;
            if (idatUsed == kIdatBytes)
            {
                writer.Write("IDAT", idat.data(), idatUsed);
                idatUsed = 0;
            }
        } while (stream->avail_out == 0 && !writer.Failed());
    }
    if (writer.Failed())
        return EncodeResult::WriteFailed;
    if (stream->avail_in != 0 || stream->internal_state.state != ZSTATE_END)
        return EncodeResult::CompressFailed;
    if (idatUsed > 0)
        writer.Write("IDAT", idat.data(), idatUsed);
    std::array<std::uint8_t, kChunkHead + kChunkTail> iend{};
    writer.Write("IEND", iend.data(), 0);
    return writer.Failed() ? EncodeResult::WriteFailed : EncodeResult::Written;
}
} // namespace

bool HasPngExtension(std::string_view path)
{
    constexpr std::string_view kExtension = ".png";
    if (path.size() < kExtension.size())
        return false;
    const std::string_view tail = path.substr(path.size() - kExtension.size());
    return std::equal(tail.begin(), tail.end(), kExtension.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

bool WritePng(COutputFile& file, const RgbImageView& image, std::string& reason)
{
    if (image.width <= 0 || image.height <= 0 || image.pixels == nullptr)
    {
        reason = "the picture is empty";
        return false;
    }
    if (image.width > kMaxPngSide || image.height > kMaxPngSide)
    {
        reason = "the picture is more than " + std::to_string(kMaxPngSide) + " pixels wide or high";
        return false;
    }
    EncodeResult result = EncodeResult::Written;
    try
    {
        result = EncodePicture(file, image);
    }
    catch (const std::bad_alloc&)
    {
        reason = "no memory for the PNG encoder";
        return false;
    }
    switch (result)
    {
    case EncodeResult::Written:
        return true;
    case EncodeResult::WriteFailed:
        reason = std::generic_category().message(file.GetProblem().error);
        return false;
    case EncodeResult::CompressFailed:
        reason = "the picture could not be compressed";
        return false;
    }
    return false;
}
