// Little-endian loads and stores, written out byte by byte so that on-disk layouts never depend on
// the host's byte order or on alignment.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr void StoreLE16(std::uint8_t* p, std::uint16_t v)
{
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

constexpr void StoreLE32(std::uint8_t* p, std::uint32_t v)
{
    for (std::size_t i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr void StoreLE64(std::uint8_t* p, std::uint64_t v)
{
    for (std::size_t i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

constexpr std::uint16_t LoadLE16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

constexpr std::uint32_t LoadLE32(const std::uint8_t* p)
{
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(p[i]) << (8 * i);
    return v;
}

constexpr std::uint64_t LoadLE64(const std::uint8_t* p)
{
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < 8; ++i)
        v |= static_cast<std::uint64_t>(p[i]) << (8 * i);
    return v;
}
