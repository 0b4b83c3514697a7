// CTrackConverter: rewrites a tracker file with every record's position and heading recomputed
// from its targets; everything else, the header included, is copied byte for byte.
#pragma once

#include "recalc/CenterFinder.h"
#include "recalc/DirectionFinder.h"

#include <cstdint>
#include <functional>
#include <string>

// Records per chunk: the source is streamed through one buffer of this many records.
inline constexpr std::uint32_t kConversionChunkRecords = 20;

// Called after each chunk with the bytes of the source read so far and the source's length.
using ConversionProgress = std::function<void(std::uint64_t done, std::uint64_t total)>;

// The window's check of the distance band before a conversion: false, after telling the user,
// unless min is below max.
bool ValidateTargetDistances(int minDistance, int maxDistance);

class CTrackConverter
{
public:
    virtual ~CTrackConverter() = default;

    // Converts source into destination with the band min..max. 0 when the run completed; -1 when
    // a file cannot be opened (or is not a regular file), the destination is the source itself, a
    // read, seek or write failed, the source got shorter while it was read, or the source ended
    // with a lone incomplete record. The destination is written through COutputFile: after a
    // failure it keeps what it had. Every outcome is told to the user.
    int ConvertFile(const std::string& source, const std::string& destination, int minDistance,
                    int maxDistance, const ConversionProgress& progress = {});

    CCenterFinder m_centerFinder;
    CDirectionFinder m_directionFinder;

private:
    void ConvertRecord(std::uint8_t* recordBytes, Point& heldCenter) const;
};
