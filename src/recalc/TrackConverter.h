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

// Fewer targets than this before the list's end give no center.
inline constexpr std::uint32_t kFewestCenterTargets = 3;

// What the per-record step made of a record's position.
enum class CenterCase : std::uint8_t
{
    Computed,     // a triangle of targets gave a center, which is now the held one
    Held,         // 3 or more targets, but no triangle gave a center: the held center is used
    Few,          // fewer than 3 targets before the list's end: the position stays as read
    Unterminated, // no zero word among the 50 targets: no center is computed, the position stays
};

// A record's position and heading as the conversion writes them, and how they came about.
struct RecalculatedRecord
{
    CenterCase centerCase = CenterCase::Few;
    std::uint32_t targets = 0; // before the list's end; 50 when no word is zero
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t angle = 0; // FindDirection's degrees, truncated toward zero
};

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

    // The conversion's step for one record, given the center held from the records before it in
    // the run ((0, 0) at its start), which a computed center replaces. The band is the one last
    // given to m_centerFinder. Everything the conversion changes in a record comes from here.
    [[nodiscard]] RecalculatedRecord RecalculateRecord(const TrackRecord& record, Point& heldCenter) const;

    CCenterFinder m_centerFinder;
    CDirectionFinder m_directionFinder;

private:
    void ConvertRecord(std::uint8_t* recordBytes, Point& heldCenter) const;
};
