// The fuzz targets' view of their input: CFuzzInput reads the fuzzer's bytes as a stream of small
// little-endian values (zero once the bytes run out, so every input is a valid one), and
// CFuzzInputBuilder writes the same stream, so that seed inputs are built in the format their
// target reads. FuzzCheck stops the run on a broken property, naming it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <vector>

// Aborts with the property's name when ok is false; libFuzzer keeps the input as a crash file.
inline void FuzzCheck(bool ok, const char* property)
{
    if (ok)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", property);
    std::fflush(stderr);
    std::abort();
}

// How a 32-bit value is spelled in the stream: a mode byte, then the value in as few bytes as the
// mode needs. The extremes have a mode of their own so that the fuzzer meets them often.
enum class FuzzIntMode : std::uint8_t
{
    Small = 0,   // one signed byte
    Medium = 1,  // two bytes, signed
    Full = 2,    // four bytes
    Extreme = 3, // one byte choosing among the limits of the 32-bit range and their neighbours
};

class CFuzzInput
{
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}

    [[nodiscard]] std::size_t Remaining() const { return m_nSize - m_nAt; }

    std::uint8_t U8() { return m_nAt < m_nSize ? m_pData[m_nAt++] : 0; }
    std::uint16_t U16() { return static_cast<std::uint16_t>(Unsigned(2)); }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    std::uint64_t U64() { return Unsigned(8); }
    std::int8_t I8() { return static_cast<std::int8_t>(U8()); }
    std::int16_t I16() { return static_cast<std::int16_t>(U16()); }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::int64_t I64() { return static_cast<std::int64_t>(U64()); }
    bool Bit() { return (U8() & 1) != 0; }

    // A 32-bit value spelled with a FuzzIntMode (see CFuzzInputBuilder::Int).
    std::int32_t Int()
    {
        switch (static_cast<FuzzIntMode>(U8() % 4))
        {
        case FuzzIntMode::Small:
            return I8();
        case FuzzIntMode::Medium:
            return I16();
        case FuzzIntMode::Full:
            return I32();
        default:
            return Extreme(U8());
        }
    }

    // The limits of the 32-bit range and their neighbours, chosen by one byte.
    static std::int32_t Extreme(std::uint8_t choice)
    {
        constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
        constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
        constexpr std::int32_t kValues[] = {kMin, kMin + 1, kMax, kMax - 1, -1, 0, 1, 1 << 30, -(1 << 30)};
        return kValues[choice % (sizeof kValues / sizeof kValues[0])];
    }

private:
    std::uint64_t Unsigned(std::size_t bytes)
    {
        std::uint64_t v = 0;
        for (std::size_t i = 0; i < bytes; ++i)
            v |= std::uint64_t{U8()} << (8 * i);
        return v;
    }

    const std::uint8_t* m_pData;
    std::size_t m_nSize;
    std::size_t m_nAt = 0;
};

class CFuzzInputBuilder
{
public:
    CFuzzInputBuilder& U8(std::uint8_t v)
    {
        m_bytes.push_back(v);
        return *this;
    }
    CFuzzInputBuilder& U16(std::uint16_t v) { return Unsigned(v, 2); }
    CFuzzInputBuilder& U32(std::uint32_t v) { return Unsigned(v, 4); }
    CFuzzInputBuilder& U64(std::uint64_t v) { return Unsigned(v, 8); }
    CFuzzInputBuilder& I16(std::int16_t v) { return Unsigned(static_cast<std::uint16_t>(v), 2); }
    CFuzzInputBuilder& I32(std::int32_t v) { return Unsigned(static_cast<std::uint32_t>(v), 4); }
    CFuzzInputBuilder& I64(std::int64_t v) { return Unsigned(static_cast<std::uint64_t>(v), 8); }
    // v in the shortest mode that holds it.
    CFuzzInputBuilder& Int(std::int32_t v)
    {
        if (v >= -128 && v <= 127)
            return U8(static_cast<std::uint8_t>(FuzzIntMode::Small)).U8(static_cast<std::uint8_t>(v));
        if (v >= -32768 && v <= 32767)
            return U8(static_cast<std::uint8_t>(FuzzIntMode::Medium)).I16(static_cast<std::int16_t>(v));
        return U8(static_cast<std::uint8_t>(FuzzIntMode::Full)).I32(v);
    }
    CFuzzInputBuilder& Bytes(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        m_bytes.insert(m_bytes.end(), p, p + size);
        return *this;
    }

    [[nodiscard]] const std::vector<std::uint8_t>& Data() const { return m_bytes; }

private:
    CFuzzInputBuilder& Unsigned(std::uint64_t v, std::size_t bytes)
    {
        for (std::size_t i = 0; i < bytes; ++i)
            m_bytes.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }

    std::vector<std::uint8_t> m_bytes;
};
