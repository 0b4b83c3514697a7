// CPositionCache: a folder of position files, one per track (named by the track's device and
// inode, so that a track rewritten or replaced under the same inode keeps one file, replaced when
// its positions are stored again), each served only while its track's key still holds.
//
// The user's cache is $XDG_CACHE_HOME/trackplay (else $HOME/.cache/trackplay), made private to
// the user, and kept under a bound (1 GiB unless TRACKPLAY_CACHE_MAX says otherwise) by dropping
// the files used longest ago. A batch gives a folder of its own (OUT/.positions), which processes
// on several machines may share: every file is written under a temporary name and renamed into
// place, so a reader sees a whole file or none, and two stores of one track both leave a whole one.
//
// The cache never touches a file whose name is not one of its own, and never fails a pass: a store
// that fails leaves nothing (told only when the caller asks, StoreReport) and the next pass reads
// the track again.
#pragma once

#include "trackfile/PositionFile.h"
#include "trackfile/TrackKey.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::uint64_t kDefaultCacheBound = std::uint64_t{1} << 30;
inline constexpr std::string_view kCacheBoundVariable = "TRACKPLAY_CACHE_MAX";
inline constexpr std::string_view kPositionFileExtension = ".tpos";
inline constexpr std::string_view kBatchCacheFolder = ".positions";

// The user's cache folder from the environment ($XDG_CACHE_HOME when it is an absolute path, else
// $HOME/.cache, then /trackplay); nothing when neither is set.
[[nodiscard]] std::optional<std::string> UserCacheFolder();
// A bound in bytes: a whole number, optionally followed by K, M or G (KiB, MiB, GiB). Nothing for
// anything else, or a value beyond 64 bits.
[[nodiscard]] std::optional<std::uint64_t> ParseCacheBound(std::string_view text);
// The bound TRACKPLAY_CACHE_MAX gives; kDefaultCacheBound when it is unset or not a bound.
[[nodiscard]] std::uint64_t CacheBoundFromEnvironment();

// Who may enter the folder when the cache makes it.
enum class CacheFolderAccess
{
    Private, // the user alone (mode 0700): the user's cache
    Shared,  // as any new folder (0777 less the umask): a batch's folder
};

enum class CacheLookup
{
    Hit,        // the reader is open on the track's positions
    Missing,    // no file for this track
    Unreadable, // a file that cannot be opened or examined (GetProblem of the reader says why)
    Stale,      // a sound file made from another version of the track (or another track)
    Damaged,    // a file that is not a sound position file
};

class CPositionCache
{
public:
    // bound: the most bytes the folder's position files may take after a store; none for no bound.
    CPositionCache(std::string folder, std::optional<std::uint64_t> bound, CacheFolderAccess access);
    // The user's cache, bounded by bound when given, else by the environment (CacheBoundFromEnvironment);
    // nothing when there is no home.
    [[nodiscard]] static std::optional<CPositionCache>
    ForUser(std::optional<std::uint64_t> bound = std::nullopt);
    // A batch's cache: the folder kBatchCacheFolder in its output folder, unbounded and shared by
    // every process that writes there.
    [[nodiscard]] static CPositionCache ForBatch(const std::string& outputFolder);

    [[nodiscard]] const std::string& Folder() const { return m_strFolder; }
    [[nodiscard]] const std::optional<std::uint64_t>& Bound() const { return m_bound; }
    // Where the positions of the track of key are kept.
    [[nodiscard]] std::string PathFor(const TrackKey& key) const;

    // Opens reader on the positions of the track of key, when a sound file for exactly that key
    // and those counts is there, and marks the file as just used. Nothing is removed or shown.
    CacheLookup Lookup(const TrackKey& key, const TrackSourceInfo& source, CPositionFileReader& reader) const;

    // Makes the folder (and its parents) when missing; false when it cannot be made (problem, when
    // given, says why).
    [[nodiscard]] bool MakeFolder(FileProblem* problem = nullptr) const;
    // Drops the position files used longest ago until those left take no more than the bound, and
    // the temporary files of stores that ended a day ago or more (a process killed mid-store).
    // The number of files removed.
    std::uint64_t Trim() const;
    // Removes every position file of the cache and every temporary file of its stores; the number
    // removed.
    std::uint64_t Clear() const;

private:
    std::string m_strFolder;
    std::optional<std::uint64_t> m_bound;
    CacheFolderAccess m_access;
};

// Whether a file name is one the cache gives its position files, or their temporary files.
[[nodiscard]] bool IsPositionFileName(std::string_view name);
[[nodiscard]] bool IsPositionTemporaryName(std::string_view name);

// Whether a store tells the user when the cache could not be written.
enum class StoreReport
{
    Quiet, // the window: the cache is its own business
    Tell,  // a note through the message sink, naming the file and the system's reason
};

enum class StoreOutcome
{
    Pending,      // the pass has not ended
    Stored,       // the file is in place
    NotSettled,   // the track changed too recently for its key to be trusted: nothing stored
    TooLarge,     // the file alone would exceed the cache's bound: nothing stored
    TrackChanged, // the track was written to during the pass: nothing stored
    Failed,       // the folder or the file could not be written: nothing stored
    Abandoned,    // the pass ended early: nothing stored
};

// A consumer that keeps a pass's positions in the cache: it writes them to a temporary file as
// they come (one block of memory whatever the track's length) and puts the file in place when the
// pass ends well and the track is still as its key says. It never fails the pass: every result is
// 0, and GetOutcome says what became of the file.
class CPositionStore final : public IPositionConsumer
{
public:
    // track: the open track the pass reads (checked again at the end); it must outlive the pass.
    CPositionStore(const CPositionCache& cache, const TrackKeyReading& key, CFile& track,
                   StoreReport report = StoreReport::Quiet);

    int Begin(const TrackSourceInfo& source) override;
    int Consume(std::span<const TrackPosition> positions, std::uint64_t firstIndex) override;
    int End() override;
    void Abandon() override;

    [[nodiscard]] StoreOutcome GetOutcome() const { return m_outcome; }
    [[nodiscard]] std::string Path() const { return m_cache.PathFor(m_key.key); }

private:
    void Fail(const std::string& text, const std::string& path, const FileProblem& problem);

    const CPositionCache& m_cache;
    TrackKeyReading m_key;
    CFile& m_track;
    StoreReport m_report;
    CPositionFileWriter m_writer;
    std::string m_strFailure; // what the user is told when the file cannot be written
    StoreOutcome m_outcome = StoreOutcome::Pending;
    bool m_bWriting = false;
};
