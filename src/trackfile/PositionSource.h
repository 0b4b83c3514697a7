// The positions of a track from wherever they are cheapest: its position file in a cache when a
// sound one for this version of the track is there, otherwise a pass of the block reader over the
// track that also keeps them in the cache for the next time.
#pragma once

#include "trackfile/PositionCache.h"
#include "trackfile/PositionStream.h"

#include <span>
#include <string>

enum class PositionsFrom
{
    None,  // the track could not be opened
    Cache, // its position file
    Track, // the track itself
};

// What became of the cache in a pass of ReadTrackPositions.
struct PositionPassSummary
{
    PositionsFrom from = PositionsFrom::None;
    CacheLookup lookup = CacheLookup::Missing;  // Missing, too, when no cache or no key was used
    StoreOutcome store = StoreOutcome::Pending; // Pending when nothing was to be stored
};

// One pass over the positions of the track at path, to every consumer. The track is opened (and
// its opening told: a missing file, an incomplete last record) as by the block reader; then, with
// a cache, its key is read and its position file served when it holds. A position file that turns
// out damaged part way is left for the store to replace: the consumers are abandoned and begun
// again on the track. Without a cache, or when the track's key cannot be read, the track is read.
// The result is the pass's, as CBlockReader::Run gives it; the cache never fails a pass.
// report: whether a failure to read the key or to write the cache is told (see StoreReport).
int ReadTrackPositions(const std::string& path, const CPositionCache* cache,
                       std::span<IPositionConsumer* const> consumers, const StreamProgress& progress = {},
                       StoreReport report = StoreReport::Quiet, PositionPassSummary* summary = nullptr);
