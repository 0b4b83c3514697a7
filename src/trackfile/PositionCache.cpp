#include "trackfile/PositionCache.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <utility>
#include <vector>

namespace
{
namespace fs = std::filesystem;

constexpr std::size_t kHexDigits = 16;
constexpr std::uint64_t kHexDigitMask = 0xF;
// "<device>-<inode>.tpos", each number in 16 lower-case hex digits.
constexpr std::size_t kPositionNameSize = 2 * kHexDigits + 1 + kPositionFileExtension.size();
// A temporary file older than this belongs to a store that will never end.
constexpr std::chrono::hours kAbandonedTemporaryAge{24};

constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kSharedFolderMode = 0777;

std::string Hex16(std::uint64_t value)
{
    std::string text(kHexDigits, '0');
    for (std::size_t k = kHexDigits; k-- > 0; value >>= 4)
        text[k] = "0123456789abcdef"[value & kHexDigitMask];
    return text;
}

bool IsLowerHex(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool IsDecimal(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The cache's files in the folder, with their sizes and the times they were last written or used.
struct CacheEntry
{
    fs::path path;
    std::uint64_t size = 0;
    fs::file_time_type used;
    bool temporary = false;
};

std::vector<CacheEntry> ListEntries(const std::string& folder)
{
    std::vector<CacheEntry> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
    {
        const std::string name = it->path().filename().string();
        const bool temporary = IsPositionTemporaryName(name);
        if (!temporary && !IsPositionFileName(name))
            continue;
        std::error_code entryError;
        if (!it->is_regular_file(entryError))
            continue;
        CacheEntry entry;
        entry.path = it->path();
        entry.size = it->file_size(entryError);
        entry.used = it->last_write_time(entryError);
        entry.temporary = temporary;
        if (!entryError)
            entries.push_back(std::move(entry));
    }
    return entries;
}

// Removes a file of the cache; a file another process removed first counts as removed by neither.
bool RemoveEntry(const fs::path& path)
{
    std::error_code error;
    return fs::remove(path, error);
}
} // namespace

std::optional<std::string> UserCacheFolder()
{
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/')
        return std::string(xdg) + "/trackplay";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.cache/trackplay";
    return std::nullopt;
}

std::optional<std::uint64_t> ParseCacheBound(std::string_view text)
{
    // The suffixes of a bound, each ten bits of shift above the one before.
    constexpr std::string_view kUnits = "KMG";
    constexpr int kShiftPerUnit = 10;
    int shift = 0;
    if (!text.empty())
    {
        const auto unit =
            kUnits.find(static_cast<char>(std::toupper(static_cast<unsigned char>(text.back()))));
        if (unit != std::string_view::npos)
            shift = kShiftPerUnit * static_cast<int>(unit + 1);
    }
    if (shift != 0)
        text.remove_suffix(1);
    if (!IsDecimal(text))
        return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text)
    {
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (value > (UINT64_MAX - digit) / 10)
            return std::nullopt;
        value = value * 10 + digit;
    }
    if (value > (UINT64_MAX >> shift))
        return std::nullopt;
    return value << shift;
}

std::uint64_t CacheBoundFromEnvironment()
{
    const char* text = std::getenv(std::string(kCacheBoundVariable).c_str());
    if (text == nullptr)
        return kDefaultCacheBound;
    return ParseCacheBound(text).value_or(kDefaultCacheBound);
}

bool IsPositionFileName(std::string_view name)
{
    return name.size() == kPositionNameSize && name.ends_with(kPositionFileExtension) &&
           name[kHexDigits] == '-' && IsLowerHex(name.substr(0, kHexDigits)) &&
           IsLowerHex(name.substr(kHexDigits + 1, kHexDigits));
}

bool IsPositionTemporaryName(std::string_view name)
{
    // ".<position file name>.<process>.<count>.tmp", as COutputFile names its temporary files.
    constexpr std::string_view kEnd = ".tmp";
    if (name.size() < 1 + kPositionNameSize || name[0] != '.' || !name.ends_with(kEnd) ||
        !IsPositionFileName(name.substr(1, kPositionNameSize)))
        return false;
    std::string_view numbers = name.substr(1 + kPositionNameSize);
    numbers.remove_suffix(kEnd.size());
    if (numbers.empty() || numbers[0] != '.')
        return false;
    numbers.remove_prefix(1);
    const auto dot = numbers.find('.');
    return dot != std::string_view::npos && IsDecimal(numbers.substr(0, dot)) &&
           IsDecimal(numbers.substr(dot + 1));
}

CPositionCache::CPositionCache(std::string folder, std::optional<std::uint64_t> bound,
                               CacheFolderAccess access)
    : m_strFolder(std::move(folder)), m_bound(bound), m_access(access)
{
}

std::optional<CPositionCache> CPositionCache::ForUser(std::optional<std::uint64_t> bound)
{
    std::optional<std::string> folder = UserCacheFolder();
    if (!folder)
        return std::nullopt;
    return CPositionCache(std::move(*folder), bound ? *bound : CacheBoundFromEnvironment(),
                          CacheFolderAccess::Private);
}

CPositionCache CPositionCache::ForBatch(const std::string& outputFolder)
{
    return CPositionCache(outputFolder + "/" + std::string(kBatchCacheFolder), std::nullopt,
                          CacheFolderAccess::Shared);
}

std::string CPositionCache::PathFor(const TrackKey& key) const
{
    return m_strFolder + "/" + Hex16(key.identity.device) + "-" + Hex16(key.identity.inode) +
           std::string(kPositionFileExtension);
}

CacheLookup CPositionCache::Lookup(const TrackKey& key, const TrackSourceInfo& source,
                                   CPositionFileReader& reader) const
{
    const std::string path = PathFor(key);
    const int opened = reader.Open(path);
    if (opened == kErrOpen)
        return reader.GetProblem().error == ENOENT ? CacheLookup::Missing : CacheLookup::Unreadable;
    if (opened != kOk)
        return CacheLookup::Damaged;
    const PositionFileHeader& header = reader.Header();
    if (header.key != key || header.records != source.records || header.hasHeader != source.hasHeader ||
        header.tailBytes != source.tailBytes)
    {
        reader.Close();
        return CacheLookup::Stale;
    }
    // Used now: the bound drops the files used longest ago first. A folder that cannot be written
    // still serves its files.
    (void)::utimensat(AT_FDCWD, path.c_str(), nullptr, 0);
    return CacheLookup::Hit;
}

bool CPositionCache::MakeFolder(FileProblem* problem) const
{
    const mode_t mode = m_access == CacheFolderAccess::Private ? kPrivateFolderMode : kSharedFolderMode;
    // Each missing folder of the path is made with the mode, the cache's parents included.
    for (std::size_t slash = m_strFolder.find('/', 1);; slash = m_strFolder.find('/', slash + 1))
    {
        const std::string folder = m_strFolder.substr(0, slash);
        if (!folder.empty() && ::mkdir(folder.c_str(), mode) != 0 && errno != EEXIST)
        {
            if (problem != nullptr)
                *problem = FileProblem{errno};
            return false;
        }
        if (slash == std::string::npos)
            break;
    }
    struct stat st = {};
    if (::stat(m_strFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    {
        if (problem != nullptr)
            *problem = FileProblem{errno == 0 ? ENOTDIR : errno};
        return false;
    }
    return true;
}

std::uint64_t CPositionCache::Trim() const
{
    std::vector<CacheEntry> entries = ListEntries(m_strFolder);
    std::uint64_t removed = 0;
    const fs::file_time_type abandoned = fs::file_time_type::clock::now() - kAbandonedTemporaryAge;
    std::erase_if(entries,
                  [&](const CacheEntry& entry)
                  {
                      if (!entry.temporary)
                          return false;
                      if (entry.used <= abandoned && RemoveEntry(entry.path))
                          ++removed;
                      return true;
                  });
    if (!m_bound)
        return removed;
    std::uint64_t total = 0;
    for (const CacheEntry& entry : entries)
        total += entry.size;
    std::sort(entries.begin(), entries.end(),
              [](const CacheEntry& a, const CacheEntry& b)
              { return a.used != b.used ? a.used < b.used : a.path < b.path; });
    for (const CacheEntry& entry : entries)
    {
        if (total <= *m_bound)
            break;
        total -= entry.size;
        if (RemoveEntry(entry.path))
            ++removed;
    }
    return removed;
}

std::uint64_t CPositionCache::Clear() const
{
    std::uint64_t removed = 0;
    for (const CacheEntry& entry : ListEntries(m_strFolder))
        if (RemoveEntry(entry.path))
            ++removed;
    return removed;
}

CPositionStore::CPositionStore(const CPositionCache& cache, const TrackKeyReading& key, CFile& track,
                               StoreReport report)
    : m_cache(cache), m_key(key), m_track(track), m_report(report)
{
}

void CPositionStore::Fail(const std::string& text, const std::string& path, const FileProblem& problem)
{
    m_writer.Discard();
    m_bWriting = false;
    m_outcome = StoreOutcome::Failed;
    if (m_report == StoreReport::Tell)
        ShowFileProblem(text, path, problem);
}

int CPositionStore::Begin(const TrackSourceInfo& source)
{
    m_writer.Discard();
    m_bWriting = false;
    m_outcome = StoreOutcome::Pending;
    const std::string keep = "The positions of " + source.fileName + " could not be kept in the cache ";
    m_strFailure = keep + Path() + ".";
    const std::optional<std::uint64_t> length = PositionFileLength(source.records);
    if (!m_key.settled)
        m_outcome = StoreOutcome::NotSettled;
    else if (!length || (m_cache.Bound() && *length > *m_cache.Bound()))
        m_outcome = StoreOutcome::TooLarge;
    if (m_outcome != StoreOutcome::Pending)
        return kOk;

    FileProblem problem;
    if (!m_cache.MakeFolder(&problem))
    {
        Fail(keep + "folder " + m_cache.Folder() + ".", m_cache.Folder(), problem);
        return kOk;
    }
    PositionFileHeader header;
    header.key = m_key.key;
    header.hasHeader = source.hasHeader;
    header.records = source.records;
    header.tailBytes = source.tailBytes;
    const std::string path = Path();
    if (!m_writer.Create(path, header))
    {
        Fail(m_strFailure, path, m_writer.GetProblem());
        return kOk;
    }
    m_bWriting = true;
    return kOk;
}

int CPositionStore::Consume(std::span<const TrackPosition> positions, std::uint64_t /*firstIndex*/)
{
    if (m_bWriting && !m_writer.Append(positions))
        Fail(m_strFailure, Path(), m_writer.GetProblem());
    return kOk;
}

int CPositionStore::End()
{
    if (!m_bWriting)
        return kOk;
    const std::optional<FileStatus> status = m_track.GetStatus();
    if (!status)
    {
        Fail(m_strFailure, m_track.GetFilePath(), m_track.GetProblem());
        return kOk;
    }
    if (!IsSameVersion(*status, m_key.key))
    {
        m_writer.Discard();
        m_bWriting = false;
        m_outcome = StoreOutcome::TrackChanged;
        return kOk;
    }
    if (!m_writer.Commit())
    {
        Fail(m_strFailure, Path(), m_writer.GetProblem());
        return kOk;
    }
    m_bWriting = false;
    m_outcome = StoreOutcome::Stored;
    m_cache.Trim();
    return kOk;
}

void CPositionStore::Abandon()
{
    m_writer.Discard();
    if (m_outcome == StoreOutcome::Pending)
        m_outcome = StoreOutcome::Abandoned;
    m_bWriting = false;
}
