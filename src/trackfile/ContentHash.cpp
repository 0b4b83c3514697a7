#include "trackfile/ContentHash.h"

#include <cassert>
#include <new>
#include <xxhash.h>

// The library's state, allocated by the library so that its layout is the library's business.
struct CContentHasher::CState
{
    XXH3_state_t* pState = XXH3_createState();
    CState()
    {
        if (pState == nullptr)
            throw std::bad_alloc();
    }
    ~CState() { XXH3_freeState(pState); }
    CState(const CState&) = delete;
    CState& operator=(const CState&) = delete;
};

CContentHasher::CContentHasher() : m_pState(std::make_unique<CState>())
{
    Reset();
}

CContentHasher::~CContentHasher() = default;

void CContentHasher::Reset()
{
    const XXH_errorcode reset = XXH3_128bits_reset(m_pState->pState);
    assert(reset == XXH_OK && "a state made by the library resets");
    (void)reset;
}

void CContentHasher::Update(const void* bytes, std::size_t size)
{
    const XXH_errorcode updated = XXH3_128bits_update(m_pState->pState, bytes, size);
    assert(updated == XXH_OK && "a state made by the library takes any bytes");
    (void)updated;
}

ContentHash CContentHasher::Digest() const
{
    const XXH128_hash_t hash = XXH3_128bits_digest(m_pState->pState);
    return ContentHash{hash.low64, hash.high64};
}

ContentHash HashBytes(const void* bytes, std::size_t size)
{
    const XXH128_hash_t hash = XXH3_128bits(bytes, size);
    return ContentHash{hash.low64, hash.high64};
}
