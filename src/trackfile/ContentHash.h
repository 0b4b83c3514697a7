// XXH3 (libxxhash) over bytes that arrive in pieces: the 128-bit hash of a track's first and last
// MiB in its cache key, and the checksums of a position file. Fast enough (tens of GB/s) to run
// alongside every read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

struct ContentHash
{
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    friend bool operator==(const ContentHash&, const ContentHash&) = default;
};

class CContentHasher
{
public:
    CContentHasher(); // ready for the first bytes
    ~CContentHasher();
    CContentHasher(const CContentHasher&) = delete;
    CContentHasher& operator=(const CContentHasher&) = delete;

    void Reset();
    void Update(const void* bytes, std::size_t size);
    // The XXH3-128 hash (seed 0) of every byte given since the last reset.
    [[nodiscard]] ContentHash Digest() const;

private:
    struct CState;
    std::unique_ptr<CState> m_pState;
};

// The XXH3-128 hash of bytes given at once.
[[nodiscard]] ContentHash HashBytes(const void* bytes, std::size_t size);
