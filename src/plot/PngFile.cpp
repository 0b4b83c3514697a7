#include "plot/PngFile.h"

#include "base/File.h"
#include "base/OutputFile.h"

#include <algorithm>
#include <cctype>
#include <csetjmp>
#include <png.h>
#include <string>
#include <system_error>

namespace
{
constexpr std::size_t kReasonCapacity = 200;
// libpng writes no picture wider or higher than this (its default limit).
constexpr std::int32_t kMaxPngSide = PNG_USER_WIDTH_MAX;
static_assert(PNG_USER_WIDTH_MAX == PNG_USER_HEIGHT_MAX);

// What the callbacks share with the encoder. Plain data only: libpng leaves a failed encode with a
// longjmp, which must not skip any destructor.
struct PngSink
{
    COutputFile* file = nullptr;
    bool writeFailed = false;             // COutputFile::Write failed; its GetProblem says why
    char libpngReason[kReasonCapacity]{}; // libpng's own words for any other failure
};

void OnPngWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (!sink->file->Write(data, length))
    {
        sink->writeFailed = true;
        png_error(png, "the file could not be written");
    }
}

void OnPngFlush(png_structp /*png*/)
{
    // Nothing is held back: COutputFile writes straight through, and Commit checks the close.
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    if (sink != nullptr && sink->libpngReason[0] == '\0')
    {
        const std::string_view text(message != nullptr ? message : "unknown error");
        const std::size_t n = std::min(text.size(), kReasonCapacity - 1);
        std::copy_n(text.data(), n, sink->libpngReason);
        sink->libpngReason[n] = '\0';
    }
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp /*png*/, png_const_charp /*message*/)
{
    // Warnings change nothing in what is written; they are not shown.
}

// The encoder's setjmp frame. No object with a destructor lives here or in the callbacks it runs,
// so the longjmp of a failure skips nothing; the caller owns and releases libpng's structures.
bool EncodeRows(png_structp png, png_infop info, const RgbImageView& image)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    // Our pictures are flat colour in blocks (bins, the plot's black, the colour bar), where the
    // row above predicts a row exactly: one fixed filter compresses them as well as trying all
    // five per row. A fast deflate level keeps a batch's pictures to a few milliseconds each; the
    // files stay some tens of kilobytes.
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    for (std::int32_t y = 0; y < image.height; ++y)
    {
        // libpng's row type is not const, but a written row is only read.
        auto* row = const_cast<png_bytep>(image.pixels + static_cast<std::size_t>(y) * stride);
        png_write_row(png, row);
    }
    png_write_end(png, info);
    return true;
}

// libpng's write and info structures, released on every path.
class CPngWriteStruct
{
public:
    explicit CPngWriteStruct(PngSink& sink)
        : m_png(png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, OnPngWarning))
    {
        if (m_png != nullptr)
            m_info = png_create_info_struct(m_png);
    }
    ~CPngWriteStruct() { png_destroy_write_struct(&m_png, m_info != nullptr ? &m_info : nullptr); }
    CPngWriteStruct(const CPngWriteStruct&) = delete;
    CPngWriteStruct& operator=(const CPngWriteStruct&) = delete;

    [[nodiscard]] bool IsReady() const { return m_png != nullptr && m_info != nullptr; }
    [[nodiscard]] png_structp Png() const { return m_png; }
    [[nodiscard]] png_infop Info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};
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
    PngSink sink;
    sink.file = &file;
    CPngWriteStruct png(sink);
    if (!png.IsReady())
    {
        reason = "no memory for the PNG encoder";
        return false;
    }
    png_set_write_fn(png.Png(), &sink, OnPngWrite, OnPngFlush);
    if (EncodeRows(png.Png(), png.Info(), image))
        return true;
    reason = sink.writeFailed ? std::generic_category().message(file.GetProblem().error)
                              : std::string(sink.libpngReason);
    return false;
}
