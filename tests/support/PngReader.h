// Reads PNG files back in tests with libpng itself: the pixels as 8-bit RGB, and the header's
// claims (bit depth, colour type) as the file states them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct DecodedPng
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bitDepth = 0;              // as the file's header says
    int colourType = 0;            // as the file's header says (2 = RGB)
    std::vector<std::uint8_t> rgb; // rows top to bottom, 3 bytes per pixel

    // The colour at (x, y) as {r, g, b}.
    [[nodiscard]] std::vector<int> At(std::int32_t x, std::int32_t y) const;
};

// The decoded file, or nothing when libpng does not read it as a whole PNG.
[[nodiscard]] std::optional<DecodedPng> ReadPngFile(const std::string& path);
