// TrackKey: which version of which track a set of positions was made from, found without reading
// the track: the identity, length and times the system keeps for the open file, and the hash of
// its first and last MiB. The change time cannot be set back by a user, so a track replaced by
// another file (a new inode) or rewritten in place (a new change time) gets another key; the hash
// catches what times alone would miss on a file system that keeps them coarsely.
#pragma once

#include "base/File.h"
#include "trackfile/ContentHash.h"

#include <cstdint>
#include <optional>

// The bytes hashed at each end of a track; a track of twice this or less is hashed whole.
inline constexpr std::uint64_t kTrackKeyEdgeBytes = std::uint64_t{1} << 20;

struct TrackKey
{
    FileIdentity identity; // device and inode
    std::uint64_t size = 0;
    FileTime modified;
    FileTime changed;
    ContentHash edges; // XXH3-128 of the first and the last kTrackKeyEdgeBytes, in that order
    friend bool operator==(const TrackKey&, const TrackKey&) = default;
};

// What reading the key of an open track tells.
struct TrackKeyReading
{
    TrackKey key;
    // The track's last change came before the clock was read for the key, so any later change
    // gives the track another change time. A change within the same tick of the file system's
    // clock may leave the time as it was: positions read from a track changed that recently must
    // not be kept under its key.
    bool settled = false;
};

// Reads the key of an open track; its position is left at byte 0. Nothing when its status or its
// ends cannot be read, or when it got shorter meanwhile (the file's problem says why, if any).
[[nodiscard]] std::optional<TrackKeyReading> ReadTrackKey(CFile& track);

// Whether a track last changed at changed is settled for a key whose clock, read just before the
// track's status, showed clockBefore.
[[nodiscard]] constexpr bool IsChangeSettled(FileTime changed, FileTime clockBefore)
{
    return changed < clockBefore;
}

// Whether a track's status now is still that of its key: true after a pass means no byte was
// written to the track while it was read.
[[nodiscard]] bool IsSameVersion(const FileStatus& status, const TrackKey& key);
