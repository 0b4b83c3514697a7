#include "trackfile/TrackGenerator.h"

#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "trackfile/Arena.h"
#include "trackfile/TrackFileHeader.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

// The tail after the last whole record is an incomplete record: anything from no byte to one byte
// short of a record. A whole record or more is refused before any file is made.
TEST(WriteGeneratedTrack, PartialTailIsLessThanOneRecord)
{
    struct Case
    {
        std::uint32_t partialBytes;
        bool written;
    };
    const Case cases[] = {
        {0, true},
        {1, true},
        {kTrackRecordSize - 1, true},
        {kTrackRecordSize, false},
        {kTrackRecordSize + 1, false},
        {std::numeric_limits<std::uint32_t>::max(), false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.partialBytes);
        CTempDir dir;
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        TrackGeneratorOptions options;
        options.records = 3;
        options.partialBytes = c.partialBytes;
        const int result = WriteGeneratedTrack(dir.File("t.qtf"), options);
        if (c.written)
        {
            EXPECT_EQ(result, 0);
            EXPECT_TRUE(sink.messages.empty());
            EXPECT_EQ(std::filesystem::file_size(dir.File("t.qtf")),
                      kTrackHeaderSize + 3u * kTrackRecordSize + c.partialBytes);
        }
        else
        {
            EXPECT_EQ(result, -1);
            ASSERT_EQ(sink.messages.size(), 1u);
            EXPECT_NE(sink.messages[0].find("0 to 1827 bytes"), std::string::npos) << sink.messages[0];
            EXPECT_TRUE(SnapshotFolder(dir.Path()).empty());
        }
    }
}

// The tail comes from the same stream as the records: a longer tail begins with the shorter one.
TEST(WriteGeneratedTrack, TailsOfOneSeedShareTheirBytes)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 2;
    options.partialBytes = 100;
    ASSERT_EQ(WriteGeneratedTrack(dir.File("short.qtf"), options), 0);
    options.partialBytes = kTrackRecordSize - 1;
    ASSERT_EQ(WriteGeneratedTrack(dir.File("long.qtf"), options), 0);
    const std::string shorter = ReadWholeFile(dir.File("short.qtf"));
    EXPECT_EQ(ReadWholeFile(dir.File("long.qtf")).substr(0, shorter.size()), shorter);
}

// Destinations that cannot take a track: the user is told why, and what was there stays.
TEST(WriteGeneratedTrack, RefusedDestinationsAreToldAndKept)
{
    CTempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    ASSERT_TRUE(MakeFifo(dir.File("pipe")));
    struct Case
    {
        std::string path;
        int result;
        std::string message;
        std::string reason;
    };
    const Case cases[] = {
        {dir.File("folder"), -601,
         "Cannot create the track file " + dir.File("folder") + ".\n" + dir.File("folder") +
             " is a directory, not a file.",
         ""},
        {dir.File("pipe"), -601,
         "Cannot create the track file " + dir.File("pipe") + ".\n" + dir.File("pipe") +
             " is a named pipe (FIFO), not a file.",
         ""},
        {"/dev/full", -601, "Cannot create the track file /dev/full.\n/dev/full is a device, not a file.",
         ""},
        {dir.File("none/t.qtf"), -601, "Cannot create the track file " + dir.File("none/t.qtf") + ".",
         "No such file or directory"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path);
        const auto before = SnapshotFolder(dir.Path());
        // In a child, so that an open that waits for a pipe's reader fails the test, not hangs it.
        const auto status = RunInChild(
            [&]
            {
                CRecordingMessageSink sink;
                CScopedMessageSink scoped(sink);
                TrackGeneratorOptions options;
                options.records = 2;
                const int result = WriteGeneratedTrack(c.path, options);
                return result == c.result && sink.messages == std::vector<std::string>{c.message} &&
                               sink.reasons == std::vector<std::string>{c.reason}
                           ? 0
                           : 1;
            },
            std::chrono::seconds(20));
        EXPECT_EQ(status, std::optional<int>(0));
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

TEST(WriteGeneratedTrack, HeaderNamesTheArena)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 1;
    ASSERT_EQ(WriteGeneratedTrack(dir.File("t.qtf"), options), 0);
    const std::string expected = "arena=" + std::to_string(kArenaWidth) + "x" + std::to_string(kArenaHeight);
    EXPECT_NE(ReadWholeFile(dir.File("t.qtf")).substr(0, 200).find(expected), std::string::npos);
}

// Every failing call of the file layer fails the run and leaves the earlier track as it was.
TEST(WriteGeneratedTrack, EveryFileFaultFailsCleanly)
{
    WriterUnderTest writer;
    writer.name = "generator";
    writer.prepare = [](const CTempDir& dir) { WriteWholeFile(dir.File("t.qtf"), "an earlier track"); };
    writer.run = [](const CTempDir& dir)
    {
        TrackGeneratorOptions options;
        options.records = 300; // two chunks of records
        options.partialBytes = 10;
        return WriteGeneratedTrack(dir.File("t.qtf"), options);
    };
    EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 10u);
}
