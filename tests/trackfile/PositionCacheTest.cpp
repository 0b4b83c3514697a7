#include "trackfile/PositionCache.h"

#include "base/ResultCodes.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/FileClock.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/BlockReader.h"
#include "trackfile/PositionSource.h"
#include "trackfile/TrackFile.h"

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

std::vector<TrackPosition> PositionsOf(const CTrackFileBuilder& builder)
{
    std::vector<TrackPosition> positions;
    for (const TrackRecord& record : builder.Records())
        positions.push_back(MakeTrackPosition(record));
    return positions;
}

bool SamePositions(std::span<const TrackPosition> a, std::span<const TrackPosition> b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size_bytes()) == 0;
}

// Sets a file's modification time (and so the time the cache takes as its last use).
void SetModified(const std::string& path, std::int64_t seconds)
{
    const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// Writes bytes over a file in place at offset: the same inode, a new change time.
void WriteInPlace(const std::string& path, std::uint64_t offset, const std::string& bytes)
{
    CFile file;
    ASSERT_TRUE(file.Open(path, FileMode::WriteExisting));
    ASSERT_TRUE(file.Seek(offset));
    ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
}

class PositionCacheTest : public ::testing::Test
{
protected:
    // A track of records whose positions are known, settled so that its key can be kept.
    std::string WriteTrack(const CTrackFileBuilder& builder, const std::string& name = "t.qtf")
    {
        const std::string path = builder.Write(dir.File(name));
        WaitUntilSettled(path);
        return path;
    }

    // One pass of ReadTrackPositions into a list; the list's positions, checked complete.
    int Pass(const std::string& track, PositionPassSummary& summary, const StreamProgress& progress = {})
    {
        IPositionConsumer* consumers[] = {&list};
        return ReadTrackPositions(track, &cache, consumers, progress, StoreReport::Quiet, &summary);
    }

    std::vector<std::string> CacheNames() const
    {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : SnapshotFolder(cache.Folder()))
            names.push_back(name);
        return names;
    }

    CRecordingMessageSink sink;
    CScopedMessageSink scoped{sink};
    CTempDir dir;
    CPositionCache cache{dir.File("cache"), std::nullopt, CacheFolderAccess::Private};
    CPositionList list;
};
} // namespace

// Test that the first pass reads the track and keeps its positions, the second serves them from
// the cache, and both hand over exactly the positions of the records.
TEST_F(PositionCacheTest, StoresOnceThenServes)
{
    const CTrackFileBuilder builder = CTrackFileBuilder().AddSequence(300).WithTail(9);
    const std::string track = WriteTrack(builder);
    PositionPassSummary summary;
    ASSERT_EQ(Pass(track, summary), kOk);
    EXPECT_EQ(summary.from, PositionsFrom::Track);
    EXPECT_EQ(summary.lookup, CacheLookup::Missing);
    EXPECT_EQ(summary.store, StoreOutcome::Stored);
    EXPECT_TRUE(SamePositions(list.Positions(), PositionsOf(builder)));
    EXPECT_EQ((fs::status(cache.Folder()).permissions() & fs::perms::all), fs::perms::owner_all);

    list.Abandon();
    ASSERT_EQ(Pass(track, summary), kOk);
    EXPECT_EQ(summary.from, PositionsFrom::Cache);
    EXPECT_EQ(summary.lookup, CacheLookup::Hit);
    EXPECT_TRUE(SamePositions(list.Positions(), PositionsOf(builder)));
    EXPECT_EQ(list.Info().tailBytes, 9u);
    EXPECT_EQ(list.Info().fileName, "t.qtf");
    // Both passes told the same thing about the track: its incomplete last record.
    EXPECT_EQ(sink.messages, std::vector<std::string>(2, std::string(kMsgTrackIncomplete)));
}

// Test that a track changed in any way after its positions were kept is read again, never served
// from the cache, and that the new positions then replace the old under the same name.
TEST_F(PositionCacheTest, AChangedTrackIsNeverServed)
{
    const std::uint32_t kRecords = 1400; // more than the two hashed MiB: its middle is not hashed
    const std::uint64_t middle = kTrackHeaderSize + 700 * std::uint64_t{kTrackRecordSize} + 1616;
    const struct
    {
        const char* name;
        std::function<void(const std::string&)> change;
        std::size_t files; // position files afterwards: a new inode gets a file of its own
    } cases[] = {
        {"a record added",
         [&](const std::string& t)
         { WriteInPlace(t, fs::file_size(t), std::string(kTrackRecordSize, '\1')); },
         1},
        {"cut by one byte", [&](const std::string& t) { fs::resize_file(t, fs::file_size(t) - 1); }, 1},
        {"replaced by another file of the same size",
         [&](const std::string& t)
         {
             std::string bytes = ReadWholeFile(t);
             bytes[middle] ^= 1;
             WriteWholeFile(t + ".new", bytes);
             fs::rename(t + ".new", t);
         },
         2},
        {"rewritten in place in its middle, times put back",
         [&](const std::string& t)
         {
             struct stat before = {};
             ::stat(t.c_str(), &before);
             WaitForClockPast(
                 FileTime{before.st_ctim.tv_sec, static_cast<std::uint32_t>(before.st_ctim.tv_nsec)});
             WriteInPlace(t, middle, "\x7f");
             const struct timespec times[2] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, t.c_str(), times, 0);
         },
         1},
        {"only its modification time changed", [&](const std::string& t) { SetModified(t, 1'000'000); }, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string track = WriteTrack(CTrackFileBuilder().AddSequence(kRecords));
        PositionPassSummary summary;
        ASSERT_EQ(Pass(track, summary), kOk);
        ASSERT_EQ(summary.store, StoreOutcome::Stored);
        c.change(track);
        WaitUntilSettled(track);

        ASSERT_EQ(Pass(track, summary), kOk);
        EXPECT_EQ(summary.from, PositionsFrom::Track);
        EXPECT_NE(summary.lookup, CacheLookup::Hit);
        EXPECT_EQ(summary.store, StoreOutcome::Stored);
        CPositionList fromTrack;
        IPositionConsumer* consumers[] = {&fromTrack};
        ASSERT_EQ(ReadTrackPositions(track, nullptr, consumers), kOk);
        EXPECT_TRUE(SamePositions(list.Positions(), fromTrack.Positions()));
        ASSERT_EQ(Pass(track, summary), kOk);
        EXPECT_EQ(summary.from, PositionsFrom::Cache);
        EXPECT_EQ(CacheNames().size(), c.files);
        fs::remove(track);
        EXPECT_EQ(cache.Clear(), c.files);
    }
}

// Test that a damaged, cut, foreign or another track's cache file is never served: the track is
// read (the consumer begun again when the damage showed part way) and the file replaced.
TEST_F(PositionCacheTest, ADamagedCacheFileIsReadAgainFromTheTrack)
{
    const CTrackFileBuilder builder = CTrackFileBuilder().AddSequence(120000 / 22);
    const std::string track = WriteTrack(builder);
    const std::string other = WriteTrack(CTrackFileBuilder().AddSequence(5000), "other.qtf");
    PositionPassSummary summary;
    ASSERT_EQ(Pass(other, summary), kOk);
    ASSERT_EQ(Pass(track, summary), kOk);
    CBlockReader reader;
    ASSERT_EQ(reader.Open(track), kOk);
    const std::string cached = cache.PathFor(ReadTrackKey(reader.File())->key);
    CBlockReader otherReader;
    ASSERT_EQ(otherReader.Open(other), kOk);
    const std::string otherBytes = ReadWholeFile(cache.PathFor(ReadTrackKey(otherReader.File())->key));
    const std::string good = ReadWholeFile(cached);
    const auto flipped = [&](std::size_t at)
    {
        std::string bytes = good;
        bytes[at] ^= 0x10;
        return bytes;
    };
    const struct
    {
        const char* name;
        std::string bytes;
        CacheLookup lookup;
    } cases[] = {
        {"header byte", flipped(40), CacheLookup::Damaged},
        {"last position", flipped(good.size() - 20), CacheLookup::Damaged},
        {"first block", flipped(200), CacheLookup::Damaged},
        {"closing hash", flipped(good.size() - 1), CacheLookup::Damaged},
        {"cut", good.substr(0, good.size() - 22), CacheLookup::Damaged},
        {"empty", "", CacheLookup::Damaged},
        {"foreign", std::string(good.size(), 'x'), CacheLookup::Damaged},
        {"another track's", otherBytes, CacheLookup::Stale},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteWholeFile(cached, c.bytes));
        ASSERT_EQ(Pass(track, summary), kOk);
        EXPECT_EQ(summary.from, PositionsFrom::Track);
        EXPECT_EQ(summary.lookup, c.lookup);
        EXPECT_EQ(summary.store, StoreOutcome::Stored);
        EXPECT_TRUE(SamePositions(list.Positions(), PositionsOf(builder)));
        EXPECT_EQ(ReadWholeFile(cached), good);
    }
}

// Test that a pass that fails, is cancelled, or reads a track written to meanwhile, and a track
// changed too recently to trust its times, leave no file at all, temporary or not.
TEST_F(PositionCacheTest, NothingIsKeptUnlessThePassEndsWellOnAnUnchangedTrack)
{
    const std::string track = WriteTrack(CTrackFileBuilder().AddSequence(2 * kBlockReaderRecords + 5));
    PositionPassSummary summary;
    std::uint64_t blocks = 0;
    EXPECT_EQ(Pass(track, summary, [&](std::uint64_t, std::uint64_t) { return ++blocks < 2; }),
              kErrCancelled);
    EXPECT_EQ(summary.store, StoreOutcome::Abandoned);
    EXPECT_TRUE(CacheNames().empty());

    EXPECT_EQ(Pass(track, summary,
                   [&](std::uint64_t done, std::uint64_t)
                   {
                       if (done == kBlockReaderRecords)
                           WriteInPlace(track, kTrackHeaderSize + 5, "\x01");
                       return true;
                   }),
              kOk);
    EXPECT_EQ(summary.store, StoreOutcome::TrackChanged);
    EXPECT_TRUE(CacheNames().empty());

    CBlockReader reader;
    ASSERT_EQ(reader.Open(track), kOk);
    TrackKeyReading key = *ReadTrackKey(reader.File());
    key.settled = false;
    CPositionStore store(cache, key, reader.File());
    IPositionConsumer* const stores[] = {&store};
    CRecordsToPositions positions(stores);
    IRecordConsumer* consumers[] = {&positions};
    EXPECT_EQ(reader.Run(consumers), kOk);
    EXPECT_EQ(store.GetOutcome(), StoreOutcome::NotSettled);
    EXPECT_TRUE(CacheNames().empty());

    EXPECT_TRUE(IsChangeSettled(FileTime{10, 5}, FileTime{10, 6}));
    EXPECT_TRUE(IsChangeSettled(FileTime{9, 999'999'999}, FileTime{10, 0}));
    EXPECT_FALSE(IsChangeSettled(FileTime{10, 5}, FileTime{10, 5}));
    EXPECT_FALSE(IsChangeSettled(FileTime{11, 0}, FileTime{10, 999'999'999}));
}

// Test that the bound drops the files used longest ago first (a lookup counts as a use), drops
// abandoned temporary files, refuses a file larger than itself, and touches no other file.
TEST_F(PositionCacheTest, TheBoundDropsTheOldestAndOnlyItsOwnFiles)
{
    std::vector<std::string> tracks;
    for (int k = 0; k < 4; ++k)
        tracks.push_back(
            WriteTrack(CTrackFileBuilder().AddSequence(100 + k), "t" + std::to_string(k) + ".qtf"));
    const std::uint64_t fileSize = *PositionFileLength(100);
    ASSERT_TRUE(cache.MakeFolder());
    const std::string foreign[] = {"notes.txt", "0000000000000001-0000000000000002.TPOS", "00-01.tpos",
                                   ".0000000000000001-0000000000000002.tpos.tmp"};
    for (const std::string& name : foreign)
    {
        ASSERT_TRUE(WriteWholeFile(cache.Folder() + "/" + name, std::string(5000, 'f')));
        SetModified(cache.Folder() + "/" + name, 1);
    }
    const std::string oldTemporary = cache.Folder() + "/.0000000000000001-0000000000000002.tpos.77.3.tmp";
    const std::string newTemporary = cache.Folder() + "/.0000000000000001-0000000000000002.tpos.77.4.tmp";
    ASSERT_TRUE(WriteWholeFile(oldTemporary, "old"));
    ASSERT_TRUE(WriteWholeFile(newTemporary, "new"));
    SetModified(oldTemporary, 1);

    // Room for three of the four files: the earliest used goes, though it was stored first.
    const CPositionCache bounded(cache.Folder(), 3 * fileSize + 200, CacheFolderAccess::Private);
    std::vector<std::string> paths;
    for (std::size_t k = 0; k < tracks.size(); ++k)
    {
        CBlockReader reader;
        ASSERT_EQ(reader.Open(tracks[k]), kOk);
        paths.push_back(bounded.PathFor(ReadTrackKey(reader.File())->key));
        PositionPassSummary summary;
        IPositionConsumer* consumers[] = {&list};
        ASSERT_EQ(ReadTrackPositions(tracks[k], &bounded, consumers, {}, StoreReport::Quiet, &summary), kOk);
        ASSERT_EQ(summary.store, StoreOutcome::Stored);
        SetModified(paths[k], 1000 + static_cast<std::int64_t>(k));
        if (k == 1)
        {
            PositionPassSummary used;
            ASSERT_EQ(ReadTrackPositions(tracks[0], &bounded, consumers, {}, StoreReport::Quiet, &used), kOk);
            ASSERT_EQ(used.from, PositionsFrom::Cache);
        }
    }
    EXPECT_TRUE(fs::exists(paths[0]));
    EXPECT_FALSE(fs::exists(paths[1]));
    EXPECT_TRUE(fs::exists(paths[2]));
    EXPECT_TRUE(fs::exists(paths[3]));
    EXPECT_FALSE(fs::exists(oldTemporary));
    EXPECT_TRUE(fs::exists(newTemporary));
    for (const std::string& name : foreign)
        EXPECT_EQ(ReadWholeFile(cache.Folder() + "/" + name), std::string(5000, 'f')) << name;

    const CPositionCache tiny(cache.Folder(), fileSize - 1, CacheFolderAccess::Private);
    const std::string track = WriteTrack(CTrackFileBuilder().AddSequence(100), "tiny.qtf");
    PositionPassSummary summary;
    IPositionConsumer* consumers[] = {&list};
    ASSERT_EQ(ReadTrackPositions(track, &tiny, consumers, {}, StoreReport::Quiet, &summary), kOk);
    EXPECT_EQ(summary.store, StoreOutcome::TooLarge);

    // Clear takes the cache's own files, temporary ones included, and nothing else.
    EXPECT_EQ(cache.Clear(), 4u);
    std::vector<std::string> left = CacheNames();
    std::sort(left.begin(), left.end());
    std::vector<std::string> expected(std::begin(foreign), std::end(foreign));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(left, expected);
}

// Test that processes storing the positions of one track at once, while others read them, leave
// one whole file: a reader sees a whole file or none, never a part.
TEST_F(PositionCacheTest, ConcurrentStoresOfOneTrackLeaveOneWholeFile)
{
    const CTrackFileBuilder builder = CTrackFileBuilder().AddSequence(3000);
    const std::string track = WriteTrack(builder);
    const std::vector<TrackPosition> expected = PositionsOf(builder);
    std::vector<pid_t> children;
    for (int k = 0; k < 6; ++k)
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            int failures = 0;
            for (int round = 0; round < 20; ++round)
            {
                CPositionList positions;
                PositionPassSummary summary;
                IPositionConsumer* consumers[] = {&positions};
                const int result =
                    ReadTrackPositions(track, &cache, consumers, {}, StoreReport::Quiet, &summary);
                // Odd children store every time; even ones read what is there.
                if (k % 2 == 1)
                    cache.Clear();
                if (result != kOk || !SamePositions(positions.Positions(), expected))
                    ++failures;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children)
    {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    PositionPassSummary summary;
    ASSERT_EQ(Pass(track, summary), kOk);
    EXPECT_TRUE(SamePositions(list.Positions(), expected));
    ASSERT_EQ(Pass(track, summary), kOk);
    EXPECT_EQ(summary.from, PositionsFrom::Cache);
    EXPECT_EQ(CacheNames().size(), 1u);
}

// Test that a failure of any call of the file layer while the positions are stored leaves the
// folder as it was, with the failure told.
TEST(PositionStoreFaults, EveryFaultLeavesNothing)
{
    WriterUnderTest writer;
    writer.name = "position store";
    writer.prepare = [](const CTempDir& dir)
    {
        CTrackFileBuilder().AddSequence(kBlockReaderRecords + 3).Write(dir.File("t.qtf"));
        WaitUntilSettled(dir.File("t.qtf"));
    };
    writer.run = [](const CTempDir& dir)
    {
        const CPositionCache cache(dir.Path(), std::nullopt, CacheFolderAccess::Private);
        CPositionList positions;
        IPositionConsumer* consumers[] = {&positions};
        PositionPassSummary summary;
        const int result =
            ReadTrackPositions(dir.File("t.qtf"), &cache, consumers, {}, StoreReport::Tell, &summary);
        return result != kOk ? result : summary.store == StoreOutcome::Stored ? kOk : kErrOpen;
    };
    writer.inputClosesAtTheEnd = 1;
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 20u);
}

// Test where the user's cache lies, how its bound is read, and which names are the cache's own.
TEST(PositionCacheSettings, FolderBoundAndNames)
{
    const struct
    {
        const char* xdg;
        const char* home;
        std::optional<std::string> folder;
    } folders[] = {
        {"/x/cache", "/home/u", "/x/cache/trackplay"},
        {"relative", "/home/u", "/home/u/.cache/trackplay"},
        {nullptr, "/home/u", "/home/u/.cache/trackplay"},
        {"", nullptr, std::nullopt},
    };
    const std::string savedHome = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    for (const auto& f : folders)
    {
        f.xdg != nullptr ? ::setenv("XDG_CACHE_HOME", f.xdg, 1) : ::unsetenv("XDG_CACHE_HOME");
        f.home != nullptr ? ::setenv("HOME", f.home, 1) : ::unsetenv("HOME");
        EXPECT_EQ(UserCacheFolder(), f.folder) << (f.xdg != nullptr ? f.xdg : "unset");
    }
    ::setenv("HOME", savedHome.c_str(), 1);
    ::unsetenv("XDG_CACHE_HOME");

    const struct
    {
        const char* text;
        std::optional<std::uint64_t> bound;
    } bounds[] = {
        {"0", 0},
        {"1073741824", std::uint64_t{1} << 30},
        {"512M", std::uint64_t{512} << 20},
        {"2g", std::uint64_t{2} << 30},
        {"7k", 7168},
        {"18446744073709551615", UINT64_MAX},
        {"18446744073709551616", std::nullopt},
        {"17179869184G", std::nullopt},
        {"", std::nullopt},
        {"G", std::nullopt},
        {"-1", std::nullopt},
        {"1.5G", std::nullopt},
        {"10 M", std::nullopt},
        {"1T", std::nullopt},
    };
    for (const auto& b : bounds)
        EXPECT_EQ(ParseCacheBound(b.text), b.bound) << b.text;
    ::setenv(std::string(kCacheBoundVariable).c_str(), "nonsense", 1);
    EXPECT_EQ(CacheBoundFromEnvironment(), kDefaultCacheBound);
    ::setenv(std::string(kCacheBoundVariable).c_str(), "3M", 1);
    EXPECT_EQ(CacheBoundFromEnvironment(), std::uint64_t{3} << 20);
    EXPECT_EQ(CPositionCache::ForUser()->Bound(), std::uint64_t{3} << 20);
    EXPECT_EQ(CPositionCache::ForUser(5)->Bound(), 5u); // the caller's bound before the environment's
    EXPECT_EQ(CPositionCache::ForBatch("/out").Folder(), "/out/.positions");
    EXPECT_EQ(CPositionCache::ForBatch("/out").Bound(), std::nullopt);
    ::unsetenv(std::string(kCacheBoundVariable).c_str());

    const struct
    {
        const char* name;
        bool position;
        bool temporary;
    } names[] = {
        {"0123456789abcdef-0000000000000001.tpos", true, false},
        {".0123456789abcdef-0000000000000001.tpos.123.0.tmp", false, true},
        {"0123456789ABCDEF-0000000000000001.tpos", false, false},
        {"0123456789abcdef_0000000000000001.tpos", false, false},
        {"0123456789abcdef-000000000000001.tpos", false, false},
        {"0123456789abcdef-0000000000000001.tpos.bak", false, false},
        {".0123456789abcdef-0000000000000001.tpos.tmp", false, false},
        {".0123456789abcdef-0000000000000001.tpos.1.x.tmp", false, false},
        {".0123456789abcdef-0000000000000001.tpos..1.tmp", false, false},
    };
    for (const auto& n : names)
    {
        EXPECT_EQ(IsPositionFileName(n.name), n.position) << n.name;
        EXPECT_EQ(IsPositionTemporaryName(n.name), n.temporary) << n.name;
    }
}
