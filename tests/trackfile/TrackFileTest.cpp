#include "trackfile/TrackFile.h"

#include "base/File.h"
#include "base/FileFaults.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <system_error>
#include <unistd.h>

namespace
{
constexpr const char* kIncomplete = "Corrupt file - incomplete record encountered.";

class TrackFileTest : public ::testing::Test
{
protected:
    CRecordingMessageSink sink;
    CScopedMessageSink scoped{sink};
    CTempDir dir;
    CTrackFile reader;
};

TrackRecord Poisoned()
{
    TrackRecord record;
    std::memset(&record, 0x77, sizeof record);
    return record;
}
} // namespace

// Test that the count follows the length and the header, and which files are called incomplete.
TEST_F(TrackFileTest, OpenCountsWholeRecordsAndReportsIncompleteTails)
{
    struct Case
    {
        const char* name;
        std::string bytes;
        std::uint32_t count;
        bool header;
        std::uint64_t tail;
    };
    const std::string header = MakeHeaderBytes();
    const Case cases[] = {
        {"empty", "", 0, false, 0},
        {"header only", header, 0, true, 0},
        {"header and 10 records and 100 bytes", CTrackFileBuilder().AddSequence(10).WithTail(100).Bytes(), 10,
         true, 100},
        {"old style 3 records", CTrackFileBuilder().WithHeader(false).AddSequence(3).Bytes(), 3, false, 0},
        // Without the tag the header bytes are read as records from byte 0: 16384 + 1828 * 2 bytes.
        {"untagged header",
         std::string(kTrackHeaderSize, 'x') + CTrackFileBuilder().WithHeader(false).AddSequence(2).Bytes(),
         10, false, (kTrackHeaderSize + 2 * kTrackRecordSize) % kTrackRecordSize},
        // A tag followed by less than a whole header: no records, and never a wrapped count.
        {"truncated header", header.substr(0, 100), 0, true, 100},
        {"tag alone", header.substr(0, 18), 0, true, 18},
    };
    for (const Case& c : cases)
    {
        sink.messages.clear();
        ASSERT_TRUE(WriteWholeFile(dir.File("f.qtf"), c.bytes));
        EXPECT_EQ(reader.Open(dir.File("f.qtf")), 0) << c.name;
        EXPECT_EQ(reader.GetRecordCount(), c.count) << c.name;
        EXPECT_EQ(reader.HasHeader(), c.header) << c.name;
        EXPECT_EQ(reader.GetTailBytes(), c.tail) << c.name;
        const std::vector<std::string> expected =
            c.tail != 0 ? std::vector<std::string>{kIncomplete} : std::vector<std::string>{};
        EXPECT_EQ(sink.messages, expected) << c.name;
    }
}

// Test the four-record window: forward steps read once per four, a miss restarts at the index.
TEST_F(TrackFileTest, WindowRestartsAtTheMissedIndex)
{
    const CTrackFileBuilder builder = CTrackFileBuilder().AddSequence(10, 500, 10);
    builder.Write(dir.File("ten.qtf"));
    ASSERT_EQ(reader.Open(dir.File("ten.qtf")), 0);
    EXPECT_EQ(reader.GetWindowReadCount(), 1u);

    struct Step
    {
        std::uint32_t index;
        int result;
        std::uint64_t reads;       // window reads done so far
        std::uint32_t windowStart; // after the call
    };
    const Step steps[] = {
        {0, 0, 1, 0},     {1, 0, 1, 0},
        {2, 0, 1, 0},     {3, 0, 1, 0},
        {4, 0, 2, 4},     {7, 0, 2, 4},
        {3, 0, 3, 3}, // backwards out of the window: a new window starting at 3
        {6, 0, 3, 3},     {8, 0, 4, 8},
        {9, 0, 4, 8}, // records 8-9 only (n = 2)
        {10, -603, 4, 8}, {0xFFFFFFFFu, -603, 4, 8},
    };
    for (const Step& s : steps)
    {
        TrackRecord record = Poisoned();
        EXPECT_EQ(reader.GetRecord(record, s.index), s.result) << s.index;
        EXPECT_EQ(reader.GetWindowReadCount(), s.reads) << s.index;
        EXPECT_EQ(reader.GetWindowStart(), s.windowStart) << s.index;
        const TrackRecord poisoned = Poisoned();
        const TrackRecord& expected = s.result == 0 ? builder.Records()[s.index] : poisoned;
        EXPECT_EQ(std::memcmp(&record, &expected, sizeof record), 0) << s.index;
    }
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(TrackFileTest, MissingPathLeavesTheReaderClosed)
{
    CTrackFileBuilder().AddSequence(5).Write(dir.File("five.qtf"));
    ASSERT_EQ(reader.Open(dir.File("five.qtf")), 0);
    EXPECT_EQ(reader.GetFileName(), "five.qtf");
    EXPECT_EQ(reader.Open(dir.File("missing.qtf")), -601);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Error opening file; Is the file/path name correct?"});
    EXPECT_EQ(sink.reasons, std::vector<std::string>{"No such file or directory"});
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.GetRecordCount(), 0u);
    EXPECT_EQ(reader.GetFileName(), "");
    TrackRecord record;
    EXPECT_EQ(reader.GetRecord(record, 0), -603);
    EXPECT_EQ(reader.ReadWindow(0), -603);
    EXPECT_EQ(sink.messages.back(), "Please open a file before attempting this operation.");
    EXPECT_EQ(sink.messages.size(), 2u);
}

TEST_F(TrackFileTest, WindowAskedToStartAtOrPastTheEndReadsNothing)
{
    const CTrackFileBuilder builder = CTrackFileBuilder().AddSequence(5);
    builder.Write(dir.File("five.qtf"));
    ASSERT_EQ(reader.Open(dir.File("five.qtf")), 0);
    const std::uint32_t reads = reader.GetWindowReadCount();
    for (const std::uint32_t first : {5u, 6u, 0xFFFFFFFFu})
    {
        EXPECT_EQ(reader.ReadWindow(first), 0) << first;
        EXPECT_EQ(reader.GetWindowReadCount(), reads) << first;
    }
    TrackRecord record = Poisoned();
    EXPECT_EQ(reader.GetRecord(record, 4), 0);
    EXPECT_EQ(std::memcmp(&record, &builder.Records()[4], sizeof record), 0);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(TrackFileTest, ShortReadIsReportedAndCopiesWhatTheSlotHolds)
{
    const CTrackFileBuilder builder = CTrackFileBuilder().AddSequence(8, 1, 1);
    builder.Write(dir.File("eight.qtf"));
    ASSERT_EQ(reader.Open(dir.File("eight.qtf")), 0);
    // Another program shortens the file while it is open: records 4-7 are gone.
    ASSERT_EQ(::truncate(dir.File("eight.qtf").c_str(), kTrackHeaderSize + 5 * kTrackRecordSize), 0);
    TrackRecord record = Poisoned();
    EXPECT_EQ(reader.GetRecord(record, 5), -603);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Insufficient read length."});
    EXPECT_EQ(sink.reasons, std::vector<std::string>{"eight.qtf is shorter than when it was opened."});
    EXPECT_EQ(reader.GetWindowStart(), 5u);
    // Nothing arrived for the window at 5, so its slot 0 still holds record 0 of the first window.
    EXPECT_EQ(std::int64_t{record.timestamp}, std::int64_t{builder.Records()[0].timestamp});
}

TEST_F(TrackFileTest, FileNameIsTheLastPathComponent)
{
    CTrackFileBuilder().AddSequence(1).Write(dir.File("run7.data.qtf"));
    ASSERT_EQ(reader.Open(dir.File("run7.data.qtf")), 0);
    EXPECT_EQ(reader.GetFileName(), "run7.data.qtf");
}

TEST_F(TrackFileTest, OtherProgramsMayWriteTheOpenFile)
{
    CTrackFileBuilder().AddSequence(2).Write(dir.File("shared.qtf"));
    ASSERT_EQ(reader.Open(dir.File("shared.qtf")), 0);
    CFile writer;
    EXPECT_TRUE(writer.Open(dir.File("shared.qtf"), FileMode::WriteExisting, ShareMode::Exclusive));
}

// Test that offsets and the length are 64-bit: a sparse file of more than 4 GiB.
TEST_F(TrackFileTest, RecordsBeyondFourGibibytesAreRead)
{
    const std::uint32_t count = 2400000; // 16384 + 2,400,000 * 1828 bytes is about 4.39 GB
    const std::string path = dir.File("big.qtf");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, FileMode::CreateWrite));
        const std::string header = MakeHeaderBytes();
        ASSERT_TRUE(file.Write(header.data(), header.size()));
        const std::uint64_t lastOffset = kTrackHeaderSize + std::uint64_t{count - 1} * kTrackRecordSize;
        ASSERT_TRUE(file.Seek(lastOffset));
        const TrackRecord last = MakeRecord(123456789, 7, 8, 9);
        ASSERT_TRUE(file.Write(&last, sizeof last));
    }
    ASSERT_EQ(reader.Open(path), 0);
    EXPECT_EQ(reader.GetRecordCount(), count);
    TrackRecord record = Poisoned();
    ASSERT_EQ(reader.GetRecord(record, count - 1), 0);
    EXPECT_EQ(std::int64_t{record.timestamp}, 123456789);
    EXPECT_EQ(std::int32_t{record.angle}, 9);
    ASSERT_EQ(reader.GetRecord(record, count - 2), 0);
    EXPECT_EQ(std::int64_t{record.timestamp}, 0); // the hole reads as zeros
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(reader.GetRecordsInFile(), count);
}

TEST_F(TrackFileTest, MoreRecordsThanACountCanHoldAreServedUpToTheCountAndKnown)
{
    // A sparse headerless file one record longer than 2^32 - 1 records (about 7.8 TB, of which
    // nothing is written); skipped where the file system cannot hold such a length.
    const std::uint64_t records = std::uint64_t{0xFFFFFFFFu} + 1;
    const std::string path = dir.File("huge.dat");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path, FileMode::CreateWrite));
        if (!file.SetLength(records * kTrackRecordSize))
            GTEST_SKIP() << "the file system cannot hold a file of " << records * kTrackRecordSize
                         << " bytes";
    }
    ASSERT_EQ(reader.Open(path), 0);
    EXPECT_EQ(reader.GetRecordCount(), 0xFFFFFFFFu);
    EXPECT_EQ(reader.GetRecordsInFile(), records);
}

// Anything but a regular file is refused at once, saying what it is, and the reader stays closed:
// a directory is not read as records, a pipe without a writer is not waited on, and a device is
// not read without end.
TEST_F(TrackFileTest, OnlyRegularFilesAreOpened)
{
    ASSERT_TRUE(MakeFifo(dir.File("pipe.qtf")));
    struct Case
    {
        std::string path;
        std::string what;
    };
    const Case cases[] = {
        {dir.Path(), " is a directory, not a file."},
        {dir.File("pipe.qtf"), " is a named pipe (FIFO), not a file."},
        {"/dev/zero", " is a device, not a file."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path);
        // In a child, so that an open that blocks fails the test instead of hanging it.
        const auto status = RunInChild(
            [&]
            {
                CRecordingMessageSink childSink;
                CScopedMessageSink childScoped(childSink);
                CTrackFile childReader;
                const bool refused =
                    childReader.Open(c.path) == -601 && !childReader.IsOpen() &&
                    childReader.GetRecordCount() == 0 &&
                    childSink.messages ==
                        std::vector<std::string>{"Error opening file; Is the file/path name correct?\n" +
                                                 c.path + c.what};
                return refused ? 0 : 1;
            },
            std::chrono::seconds(20));
        EXPECT_EQ(status, std::optional<int>(0));
    }
}

// A file whose length or start cannot be read is not opened: its records could not be placed.
// Every failure passes the system's reason along.
TEST_F(TrackFileTest, FailuresWhileOpeningCloseTheFileAndGiveTheReason)
{
    CTrackFileBuilder().AddSequence(5).Write(dir.File("five.qtf"));
    struct Case
    {
        FileOp op;
        int error;
        int result;
        std::string message;
        bool open;
    };
    const Case cases[] = {
        {FileOp::Open, EIO, -601, "Error opening file; Is the file/path name correct?", false},
        {FileOp::Stat, EIO, -601, "Error opening file; Is the file/path name correct?", false}, // at open
        {FileOp::Read, EIO, -601, "Error opening file; Is the file/path name correct?", false}, // the tag
        {FileOp::Seek, ESPIPE, -601, "Error opening file; Is the file/path name correct?", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(FileOpName(c.op));
        sink.messages.clear();
        sink.reasons.clear();
        const std::size_t descriptors = CountOpenDescriptors();
        {
            CFileFaultScope faults;
            faults.Arm(c.op, 1, FileFaultKind::Fail, c.error);
            EXPECT_EQ(reader.Open(dir.File("five.qtf")), c.result);
        }
        EXPECT_EQ(reader.IsOpen(), c.open);
        EXPECT_EQ(reader.GetRecordCount(), 0u);
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(sink.reasons, std::vector<std::string>{std::generic_category().message(c.error)});
        EXPECT_EQ(CountOpenDescriptors(), descriptors);
    }
    // A read error inside the file (not a short read) is a short read to the caller, with its reason.
    ASSERT_EQ(reader.Open(dir.File("five.qtf")), 0);
    sink.messages.clear();
    sink.reasons.clear();
    CFileFaultScope faults;
    faults.Arm(FileOp::Read, 1, FileFaultKind::Fail, EIO);
    TrackRecord record;
    EXPECT_EQ(reader.GetRecord(record, 4), -603);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Insufficient read length."});
    EXPECT_EQ(sink.reasons, std::vector<std::string>{"Input/output error"});
}
