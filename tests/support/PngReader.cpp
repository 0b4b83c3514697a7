#include "support/PngReader.h"

#include "support/TempDir.h"

#include <cstring>
#include <png.h>

namespace
{
// The first chunk follows the 8-byte signature: its length, "IHDR", then width, height (4 bytes
// each), bit depth and colour type.
constexpr std::size_t kIhdrNameAt = 12;
constexpr std::size_t kBitDepthAt = 24;
constexpr std::size_t kColourTypeAt = 25;
} // namespace

std::vector<int> DecodedPng::At(std::int32_t x, std::int32_t y) const
{
    const std::size_t at =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

std::optional<DecodedPng> ReadPngFile(const std::string& path)
{
    const std::string bytes = ReadWholeFile(path);
    if (bytes.size() <= kColourTypeAt || std::memcmp(bytes.data() + kIhdrNameAt, "IHDR", 4) != 0)
        return std::nullopt;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()) == 0)
        return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    DecodedPng decoded;
    decoded.width = static_cast<std::int32_t>(image.width);
    decoded.height = static_cast<std::int32_t>(image.height);
    decoded.bitDepth = static_cast<unsigned char>(bytes[kBitDepthAt]);
    decoded.colourType = static_cast<unsigned char>(bytes[kColourTypeAt]);
    decoded.rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, decoded.rgb.data(), 0, nullptr) == 0)
    {
        png_image_free(&image);
        return std::nullopt;
    }
    return decoded;
}
