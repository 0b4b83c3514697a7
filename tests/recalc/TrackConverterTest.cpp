#include "recalc/TrackConverter.h"

#include "base/File.h"
#include "base/FileFaults.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace
{
constexpr const char* kCompleted = "Conversion Completed";
constexpr const char* kLastIncomplete = "Conversion Completed, last rec was incomplete.";

// The worked triangle, coloured so that the direction can be found too.
const std::vector<TrackWord> kTriangle = {MakeTrackWord(200, 100, kWordBitRR),
                                          MakeTrackWord(260, 135, kWordBitRB),
                                          MakeTrackWord(200, 170, kWordBitRG)};
// Three targets too far apart for the band 10..100: no triangle.
const std::vector<TrackWord> kNoTriangle = {MakeTrackWord(10, 10, kWordBitRR),
                                            MakeTrackWord(400, 10, kWordBitRB),
                                            MakeTrackWord(10, 400, kWordBitRG)};

TrackRecord WithTargets(std::int64_t timestamp, const std::vector<TrackWord>& targets)
{
    TrackRecord record = MakeRecord(timestamp, 11, 22, 33);
    SetTargets(record, targets);
    return record;
}

// The record as the conversion should write it: position and heading replaced, the rest equal.
TrackRecord Converted(TrackRecord record, Point position)
{
    record.x = position.x;
    record.y = position.y;
    record.angle = static_cast<std::int32_t>(
        CDirectionFinder::FindDirection(CopyTargets(record), position.x, position.y));
    return record;
}

class TrackConverterTest : public ::testing::Test
{
protected:
    int Convert(const std::string& from, const std::string& to, int min = 10, int max = 100)
    {
        return converter.ConvertFile(from, to, min, max);
    }
    CRecordingMessageSink sink;
    CScopedMessageSink scoped{sink};
    CTempDir dir;
    CTrackConverter converter;
};
} // namespace

// Test the file-level outcomes: header, chunk boundaries and partial records.
TEST_F(TrackConverterTest, FileShapes)
{
    struct Case
    {
        const char* what;
        bool header;
        std::uint32_t records;
        std::uint32_t tail;
        int result;
        const char* message;
        std::uint32_t writtenTail; // tail bytes copied to the destination
    };
    const Case cases[] = {
        {"45 records with header", true, 45, 0, 0, kCompleted, 0},
        {"old style", false, 3, 0, 0, kCompleted, 0},
        {"exactly one chunk", true, 20, 0, 0, kCompleted, 0},
        {"one more than a chunk", true, 21, 0, 0, kCompleted, 0},
        {"two chunks", true, 40, 0, 0, kCompleted, 0},
        {"lone partial after whole chunks", true, 20, 1000, -1, kLastIncomplete, 0},
        {"partial inside the last chunk", true, 25, 1000, 0, kCompleted, 1000},
        {"header only", true, 0, 0, 0, kCompleted, 0},
        {"only a partial record", false, 0, 1000, -1, kLastIncomplete, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        sink.messages.clear();
        CTrackFileBuilder builder;
        builder.WithHeader(c.header).WithTail(c.tail);
        for (std::uint32_t r = 0; r < c.records; ++r)
            builder.Add(WithTargets(r * 16667, kTriangle));
        const std::string source = builder.Write(dir.File("in.qtf"));
        ASSERT_EQ(Convert(source, dir.File("out.qtf")), c.result);
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});

        const std::string in = ReadWholeFile(source);
        const std::string out = ReadWholeFile(dir.File("out.qtf"));
        const std::size_t headerBytes = c.header ? kTrackHeaderSize : 0;
        ASSERT_EQ(out.size(), headerBytes + c.records * kTrackRecordSize + c.writtenTail);
        EXPECT_EQ(out.substr(0, headerBytes), in.substr(0, headerBytes));
        for (std::uint32_t r = 0; r < c.records; ++r)
        {
            const TrackRecord expected = Converted(builder.Records()[r], Point{219, 134});
            const TrackRecord actual = RecordAt(out, c.header, r);
            ASSERT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0) << "record " << r;
        }
        EXPECT_EQ(out.substr(out.size() - c.writtenTail), in.substr(in.size() - c.tail, c.writtenTail));
    }
}

// Test what each record receives: a new center, the held one, or its own position.
TEST_F(TrackConverterTest, RecordsTakeTheHeldCenterAndKeepTheirOwnWhenTooFewTargets)
{
    std::vector<TrackWord> fifty;
    for (std::uint32_t k = 0; k < kMaxTargets; ++k)
        fifty.push_back(MakeTrackWord(100 + 3 * k, 100 + (k % 7), k % 3 == 0 ? kWordBitRB : kWordBitRR));
    CTrackFileBuilder builder;
    builder
        .Add(WithTargets(1, kNoTriangle))                  // no triangle yet: the held (0, 0)
        .Add(WithTargets(2, kTriangle))                    // a center: (219, 134)
        .Add(WithTargets(3, kNoTriangle))                  // no triangle: the held (219, 134)
        .Add(WithTargets(4, {kTriangle[0], kTriangle[1]})) // fewer than 3: own position, angle 0
        .Add(WithTargets(5, fifty));                       // no zero word: own position, direction of all 50
    builder.Write(dir.File("in.qtf"));
    ASSERT_EQ(Convert(dir.File("in.qtf"), dir.File("out.qtf")), 0);
    const std::string out = ReadWholeFile(dir.File("out.qtf"));

    struct Expect
    {
        std::int32_t x, y;
        CenterCase centerCase;
        std::uint32_t targets;
    };
    const Expect expected[] = {{0, 0, CenterCase::Held, 3},
                               {219, 134, CenterCase::Computed, 3},
                               {219, 134, CenterCase::Held, 3},
                               {11, 22, CenterCase::Few, 2},
                               {11, 22, CenterCase::Unterminated, 50}};
    // The per-record step, walked over the same records, says what it did and gives what was written.
    Point held{0, 0};
    converter.m_centerFinder.SetDistanceLimits(10, 100);
    for (std::size_t r = 0; r < 5; ++r)
    {
        const TrackRecord actual = RecordAt(out, true, r);
        const TrackRecord want = Converted(builder.Records()[r], Point{expected[r].x, expected[r].y});
        EXPECT_EQ(std::memcmp(&actual, &want, sizeof actual), 0) << "record " << r;
        const RecalculatedRecord step = converter.RecalculateRecord(builder.Records()[r], held);
        EXPECT_EQ(step.centerCase, expected[r].centerCase) << "record " << r;
        EXPECT_EQ(step.targets, expected[r].targets) << "record " << r;
        EXPECT_EQ((Point{step.x, step.y}), (Point{actual.x, actual.y})) << "record " << r;
        EXPECT_EQ(step.angle, std::int32_t{actual.angle}) << "record " << r;
    }
    EXPECT_EQ(std::int32_t{RecordAt(out, true, 3).angle}, 0);
}

TEST_F(TrackConverterTest, ExistingDestinationIsReplaced)
{
    CTrackFileBuilder().Add(WithTargets(1, kTriangle)).Write(dir.File("in.qtf"));
    WriteWholeFile(dir.File("out.qtf"), std::string(100000, 'z'));
    ASSERT_EQ(Convert(dir.File("in.qtf"), dir.File("out.qtf")), 0);
    EXPECT_EQ(ReadWholeFile(dir.File("out.qtf")).size(), kTrackHeaderSize + kTrackRecordSize);
}

// Test that the source can never be the destination, by whatever path it is named.
TEST_F(TrackConverterTest, DestinationThatIsTheSourceIsRefused)
{
    const std::string source = CTrackFileBuilder().AddSequence(30).Write(dir.File("a.qtf"));
    const std::string original = ReadWholeFile(source);
    ASSERT_EQ(::symlink(source.c_str(), dir.File("sym.qtf").c_str()), 0);
    ASSERT_EQ(::link(source.c_str(), dir.File("hard.qtf").c_str()), 0);
    for (const std::string& destination : std::vector<std::string>{
             source, dir.Path() + "/./a.qtf", dir.Path() + "/../" + FileNameOfPath(dir.Path()) + "/a.qtf",
             dir.File("sym.qtf"), dir.File("hard.qtf")})
    {
        sink.messages.clear();
        EXPECT_EQ(Convert(source, destination), -1) << destination;
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_NE(sink.messages[0].find("is the file being converted"), std::string::npos);
        EXPECT_EQ(ReadWholeFile(source), original) << destination;
    }
}

TEST_F(TrackConverterTest, OpenReadAndWriteFailuresAreReportedAndFail)
{
    CTrackFileBuilder().AddSequence(30).Write(dir.File("in.qtf"));
    CTrackFileBuilder().WithHeader(false).AddSequence(30).Write(dir.File("old.dat"));
    const std::string readOpen = "Error opening file to Read from; Is the file/path name correct?";
    const std::string writeOpen = "Error opening file to write to; Is the file/path name correct?";
    const std::string writeError =
        "Error writing the converted file (is the disk full?); the conversion is incomplete.";
    struct Case
    {
        std::string source;
        std::string destination;
        std::string message;
        std::string reason;
        std::optional<FileOp> failing; // the first call of this kind fails with ENOSPC
    };
    const Case cases[] = {
        {dir.File("missing.qtf"), dir.File("o1.qtf"), readOpen, "No such file or directory", {}},
        {dir.File("in.qtf"), dir.File("no/such/dir.qtf"), writeOpen, "No such file or directory", {}},
        // What is not a file is refused, and the refusal says what it is.
        {dir.Path(),
         dir.File("o2.qtf"),
         readOpen + "\n" + dir.Path() + " is a directory, not a file.",
         "",
         {}},
        {dir.File("in.qtf"),
         dir.Path(),
         writeOpen + "\n" + dir.Path() + " is a directory, not a file.",
         "",
         {}},
        {dir.File("in.qtf"), "/dev/full", writeOpen + "\n/dev/full is a device, not a file.", "", {}},
        // A full disk after both files are open: at the header, and (with no header to copy) at
        // the first chunk of records.
        {dir.File("in.qtf"), dir.File("o3.qtf"), writeError, "No space left on device", FileOp::Write},
        {dir.File("old.dat"), dir.File("o4.qtf"), writeError, "No space left on device", FileOp::Write},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.source + " to " + c.destination);
        sink.messages.clear();
        sink.reasons.clear();
        const auto before = SnapshotFolder(dir.Path());
        {
            CFileFaultScope faults;
            if (c.failing)
                faults.Arm(*c.failing, 1, FileFaultKind::Fail, ENOSPC);
            EXPECT_EQ(Convert(c.source, c.destination), -1);
        }
        EXPECT_EQ(sink.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(sink.reasons, std::vector<std::string>{c.reason});
        EXPECT_EQ(SnapshotFolder(dir.Path()), before); // nothing created, nothing left half-written
    }
}

// Sources that never end or would be waited on, and destinations that are not files, are refused
// at once. Each runs in a child, so that a conversion that blocks or runs on fails the test
// instead of hanging it.
TEST_F(TrackConverterTest, PipesAndDevicesAreRefusedAtOnce)
{
    const std::string track = CTrackFileBuilder().AddSequence(5).Write(dir.File("in.qtf"));
    ASSERT_TRUE(MakeFifo(dir.File("pipe")));
    // An anonymous pipe holding a whole track, as "cat in.qtf | tracktool convert /dev/stdin" gives.
    int fds[2] = {-1, -1};
    ASSERT_EQ(::pipe(fds), 0);
    const std::string bytes = ReadWholeFile(track);
    ASSERT_EQ(::write(fds[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    ::close(fds[1]);
    const std::string stdinLike = "/proc/self/fd/" + std::to_string(fds[0]);
    struct Case
    {
        std::string source;
        std::string destination;
        std::string what; // the second line of the message
    };
    const Case cases[] = {
        {dir.File("pipe"), dir.File("out.qtf"), dir.File("pipe") + " is a named pipe (FIFO), not a file."},
        {stdinLike, dir.File("out.qtf"), stdinLike + " is a named pipe (FIFO), not a file."},
        {"/dev/zero", dir.File("out.qtf"), "/dev/zero is a device, not a file."},
        {track, dir.File("pipe"), dir.File("pipe") + " is a named pipe (FIFO), not a file."},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.source + " to " + c.destination);
        const auto before = SnapshotFolder(dir.Path());
        const auto status = RunInChild(
            [&]
            {
                CRecordingMessageSink childSink;
                CScopedMessageSink childScoped(childSink);
                CTrackConverter childConverter;
                const int result = childConverter.ConvertFile(c.source, c.destination, 10, 100);
                return result == -1 && childSink.messages.size() == 1 &&
                               childSink.messages[0].find("\n" + c.what) != std::string::npos
                           ? 0
                           : 1;
            },
            std::chrono::seconds(20));
        EXPECT_EQ(status, std::optional<int>(0));
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
    ::close(fds[0]);
}

// A destination that is a file the program has open for reading (the track shown in the window)
// is never replaced, by whatever name it is given.
TEST_F(TrackConverterTest, FileOpenForReadingIsNeverTheDestination)
{
    const std::string source = CTrackFileBuilder().AddSequence(5).Write(dir.File("in.qtf"));
    const std::string shown = CTrackFileBuilder().AddSequence(7).Write(dir.File("shown.qtf"));
    ASSERT_EQ(::symlink(shown.c_str(), dir.File("link.qtf").c_str()), 0);
    CFile reader;
    ASSERT_TRUE(reader.Open(shown, FileMode::Read));
    const auto before = SnapshotFolder(dir.Path());
    for (const std::string& destination : {shown, dir.File("link.qtf")})
    {
        sink.messages.clear();
        EXPECT_EQ(Convert(source, destination), -1);
        EXPECT_EQ(sink.messages,
                  std::vector<std::string>{"Error opening file to write to; Is the file/path name "
                                           "correct?\n" +
                                           destination +
                                           " is a file this program is reading; it is left as it is."});
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

// A source that gets shorter while it is converted loses records: the run fails, says so, and
// writes nothing, whether the cut falls between chunks or inside one.
TEST_F(TrackConverterTest, SourceThatGetsShorterDuringTheRunFails)
{
    struct Case
    {
        std::uint64_t cutTo; // bytes of records kept by the cut
    };
    const Case cases[] = {
        {20 * kTrackRecordSize}, {25 * kTrackRecordSize}, {25 * kTrackRecordSize + 100}, {0}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.cutTo);
        const std::string source = CTrackFileBuilder().AddSequence(45).Write(dir.File("in.qtf"));
        WriteWholeFile(dir.File("out.qtf"), "an earlier conversion");
        sink.messages.clear();
        bool cut = false;
        // The cut comes after the first chunk has been written.
        const auto cutOnce = [&](std::uint64_t, std::uint64_t)
        {
            if (!cut)
                cut = ::truncate(source.c_str(), static_cast<off_t>(kTrackHeaderSize + c.cutTo)) == 0;
        };
        const int result = converter.ConvertFile(source, dir.File("out.qtf"), 10, 100, cutOnce);
        ASSERT_TRUE(cut);
        EXPECT_EQ(result, -1);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_NE(sink.messages[0].find("got shorter while it was read"), std::string::npos)
            << sink.messages[0];
        EXPECT_EQ(ReadWholeFile(dir.File("out.qtf")), "an earlier conversion");
        EXPECT_EQ(SnapshotFolder(dir.Path()).size(), 2u); // no temporary file left
    }
}

// Every failing call of the file layer fails the run without "Conversion Completed", leaving the
// source and an earlier conversion byte for byte as they were.
TEST(TrackConverterFaults, EveryFileFaultFailsCleanly)
{
    const std::vector<std::pair<std::string, bool>> shapes = {{"with a header", true}, {"old style", false}};
    for (const auto& [shape, header] : shapes)
    {
        WriterUnderTest writer;
        writer.name = "conversion " + shape;
        writer.prepare = [header = header](const CTempDir& dir)
        {
            CTrackFileBuilder().WithHeader(header).AddSequence(45).WithTail(100).Write(dir.File("in.qtf"));
            WriteWholeFile(dir.File("out.qtf"), "an earlier conversion");
        };
        writer.run = [](const CTempDir& dir)
        {
            CTrackConverter converter;
            return converter.ConvertFile(dir.File("in.qtf"), dir.File("out.qtf"), 10, 100);
        };
        EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 20u);
    }
}

TEST(ValidateTargetDistances, MinMustBeBelowMax)
{
    struct Case
    {
        int min, max;
        bool valid;
    };
    const Case cases[] = {{10, 100, true}, {50, 50, false}, {100, 10, false}, {-5, 0, true}, {0, 0, false}};
    for (const Case& c : cases)
    {
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_EQ(ValidateTargetDistances(c.min, c.max), c.valid);
        const std::vector<std::string> expected =
            c.valid ? std::vector<std::string>{}
                    : std::vector<std::string>{
                          "Invalid Values For Min/Max Target Distance Values, Unable To Complete Conversion"};
        EXPECT_EQ(sink.messages, expected);
    }
}
