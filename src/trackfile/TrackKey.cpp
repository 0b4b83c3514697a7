#include "trackfile/TrackKey.h"

#include <ctime>
#include <vector>

namespace
{
// The clock the file systems stamp their times with: the coarse wall clock, or finer.
FileTime CoarseClockNow()
{
    struct timespec now = {};
    (void)::clock_gettime(CLOCK_REALTIME_COARSE, &now);
    return FileTime{now.tv_sec, static_cast<std::uint32_t>(now.tv_nsec)};
}

// Hashes size bytes from offset into hasher; false when they cannot all be read.
bool HashRange(CFile& track, std::uint64_t offset, std::uint64_t size, std::vector<std::uint8_t>& buffer,
               CContentHasher& hasher)
{
    if (!track.Seek(offset))
        return false;
    while (size > 0)
    {
        const std::size_t piece = size < buffer.size() ? static_cast<std::size_t>(size) : buffer.size();
        if (track.Read(buffer.data(), piece) != static_cast<std::int64_t>(piece))
            return false;
        hasher.Update(buffer.data(), piece);
        size -= piece;
    }
    return true;
}
} // namespace

std::optional<TrackKeyReading> ReadTrackKey(CFile& track)
{
    constexpr std::size_t kPieceBytes = std::size_t{256} << 10;
    const FileTime clockBefore = CoarseClockNow();
    const std::optional<FileStatus> status = track.GetStatus();
    if (!status)
        return std::nullopt;
    TrackKeyReading reading;
    reading.key.identity = status->identity;
    reading.key.size = status->size;
    reading.key.modified = status->modified;
    reading.key.changed = status->changed;
    reading.settled = IsChangeSettled(status->changed, clockBefore);

    std::vector<std::uint8_t> buffer(kPieceBytes);
    CContentHasher hasher;
    const std::uint64_t size = status->size;
    const bool hashed =
        size <= 2 * kTrackKeyEdgeBytes
            ? HashRange(track, 0, size, buffer, hasher)
            : HashRange(track, 0, kTrackKeyEdgeBytes, buffer, hasher) &&
                  HashRange(track, size - kTrackKeyEdgeBytes, kTrackKeyEdgeBytes, buffer, hasher);
    if (!track.Seek(0) || !hashed)
        return std::nullopt;
    reading.key.edges = hasher.Digest();
    return reading;
}

bool IsSameVersion(const FileStatus& status, const TrackKey& key)
{
    return status.identity == key.identity && status.size == key.size && status.modified == key.modified &&
           status.changed == key.changed;
}
