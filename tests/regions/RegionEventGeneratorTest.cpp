// Whole runs of the event generator over tracks built in code, checked through the files written.
#include "EventTestSupport.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "trackfile/TrackGenerator.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
constexpr Rect kBox{50, 50, 175, 175};

std::vector<std::string> SlotNames(std::size_t n)
{
    std::vector<std::string> names;
    for (std::size_t i = 0; i < n; ++i)
        names.push_back("Box" + std::to_string(i));
    return names;
}

int RunGenerator(CRegionEventGenerator& generator, CTrackFile& reader, const std::vector<Rect>& rects,
                 const std::vector<std::string>& names, const CTempDir& dir)
{
    generator.Init(8);
    generator.SetSource(&reader, reader.GetFileName(), reader.GetRecordCount());
    generator.SetRegions(rects.data(), names.data(), static_cast<std::int32_t>(rects.size()));
    generator.SetOutputDirectory(dir.Path());
    return generator.Run();
}

// The size of the hidden temporary file that will become the named file (0 when there is none).
std::uintmax_t TemporarySize(const CTempDir& dir, const std::string& name)
{
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        if (entry.path().filename().string().rfind("." + name + ".", 0) == 0)
            return entry.file_size();
    return 0;
}

std::string EnterFile(const CTempDir& dir, const std::string& name)
{
    return ReadWholeFile(dir.File("track.qtf_" + name + "_Enter.qsf"));
}

std::string LeaveFile(const CTempDir& dir, const std::string& name)
{
    return ReadWholeFile(dir.File("track.qtf_" + name + "_Leave.qsf"));
}

// Runs one region kBox named Box0 over the points; the visits found, read back from its files.
struct SingleRun
{
    int result = 0;
    std::string enterBytes;
    std::string leaveBytes;
    std::vector<std::string> messages;
};

SingleRun RunBox(const std::vector<TrackPoint>& points, const Rect& rect = kBox)
{
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CTrackFile reader;
    EXPECT_EQ(reader.Open(WriteTrack(dir, points)), 0);
    CRegionEventGenerator generator;
    SingleRun run;
    run.result = RunGenerator(generator, reader, {rect}, {"Box0"}, dir);
    run.enterBytes = EnterFile(dir, "Box0");
    run.leaveBytes = LeaveFile(dir, "Box0");
    run.messages = sink.messages;
    return run;
}

std::vector<TrackPoint> AlongY100(std::initializer_list<std::int32_t> xs, std::int64_t first = 1000)
{
    std::vector<TrackPoint> points;
    for (const std::int32_t x : xs)
        points.push_back({first + static_cast<std::int64_t>(points.size()), x, 100});
    return points;
}
} // namespace

TEST(RegionEventGenerator, RunIsRefusedWithoutCompleteSetup)
{
    CTempDir dir;
    CTrackFile reader;
    ASSERT_EQ(reader.Open(WriteTrack(dir, VisitsTrack(3))), 0);
    const Rect rects[2] = {kBox, kBox};
    const std::string names[2] = {"Box0", "Box1"};
    struct Case
    {
        const char* name;
        bool init;
        CTrackFile* reader;
        std::uint32_t records;
        const Rect* rects;
        const std::string* names;
        std::int32_t count;
    };
    const Case cases[] = {
        {"not initialised", false, &reader, 6, rects, names, 1},
        {"no reader", true, nullptr, 6, rects, names, 1},
        {"no records", true, &reader, 0, rects, names, 1},
        {"no rectangles", true, &reader, 6, nullptr, names, 1},
        {"no names", true, &reader, 6, rects, nullptr, 1},
        {"no regions", true, &reader, 6, rects, names, 0},
        {"more than 50 regions", true, &reader, 6, rects, names, 51},
    };
    for (const Case& c : cases)
    {
        CRegionEventGenerator generator;
        if (c.init)
            generator.Init(8);
        generator.SetSource(c.reader, "track.qtf", c.records);
        generator.SetRegions(c.rects, c.names, c.count);
        generator.SetOutputDirectory(dir.Path());
        EXPECT_EQ(generator.Run(), -1) << c.name;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "only the track";
}

TEST(RegionEventGenerator, PrepareTakesTheReadersFileAndTheTablesRegions)
{
    CTempDir dir;
    CTrackFile reader;
    ASSERT_EQ(reader.Open(WriteTrack(dir, AlongY100({40, 52, 60, 100, 170, 180, 190}))), 0);
    CRegionTable table;
    table.m_nRegionCount = 2;
    table.m_regionRects[0] = kBox;
    table.m_regionRects[1] = Rect{400, 400, 500, 500};
    table.m_regionNames[1] = "far corner";

    CRegionEventGenerator generator;
    ASSERT_EQ(generator.Prepare(reader, table, 20), 0);
    EXPECT_EQ(generator.m_nMargin, 20);
    EXPECT_EQ(generator.m_strBaseName, "track.qtf");
    EXPECT_EQ(generator.m_nRecords, 7u);
    EXPECT_EQ(generator.m_nRegions, 2);
    EXPECT_EQ(generator.m_pRegionNames[1], "far corner");
    generator.SetOutputDirectory(dir.Path());
    ASSERT_EQ(generator.Run(), 0);
    // With a margin of 20 the core starts at x = 70: the visit enters at the first record inside
    // the rectangle (x = 52) all the same.
    EXPECT_EQ(EnterFile(dir, "Box0"), EventFileBytes({1001}));
    EXPECT_EQ(LeaveFile(dir, "far corner"), EventFileBytes({}));

    CRegionTable empty;
    CTrackFile closed;
    EXPECT_EQ(CRegionEventGenerator().Prepare(reader, empty), -1);
    EXPECT_EQ(CRegionEventGenerator().Prepare(closed, table), -1);
}

TEST(RegionEventGenerator, WorkedExampleGivesOneVisitAndExactFiles)
{
    // Core of (50, 50, 175, 175) is (58, 58, 167, 167): enters at x = 52, leaves at x = 180.
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CTrackFile reader;
    ASSERT_EQ(reader.Open(WriteTrack(dir, AlongY100({40, 52, 60, 100, 170, 180, 190}))), 0);
    CRegionEventGenerator generator;
    ASSERT_EQ(RunGenerator(generator, reader, {kBox, Rect{400, 400, 500, 500}}, {"Box0", "Box1"}, dir), 0);
    EXPECT_EQ(EnterFile(dir, "Box0"), EventFileBytes({1001}));
    EXPECT_EQ(LeaveFile(dir, "Box0"), EventFileBytes({1005}));
    // A region never visited keeps files with the header alone.
    EXPECT_EQ(EnterFile(dir, "Box1"), EventFileBytes({}));
    EXPECT_EQ(LeaveFile(dir, "Box1"), EventFileBytes({}));
    EXPECT_EQ(generator.GetVisitsWritten(0), 1u);
    EXPECT_EQ(generator.GetVisitsWritten(1), 0u);
    EXPECT_FALSE(generator.HadFileError());
    EXPECT_TRUE(sink.messages.empty());
}

TEST(RegionEventGenerator, VisitRulesOverWholeTracks)
{
    struct Case
    {
        const char* name;
        std::vector<TrackPoint> points;
        std::vector<Visit> visits;
    };
    const std::vector<Case> cases = {
        {"border band only yields nothing", AlongY100({40, 52, 57, 52, 40}), {}},
        {"first record in the core enters at its time", AlongY100({100, 120, 200}), {{1000, 1002}}},
        {"a visit open at the end is dropped", AlongY100({40, 60, 200, 60, 100}), {{1001, 1002}}},
        {"core and border back and forth is one visit",
         AlongY100({52, 60, 170, 100, 172, 300}),
         {{1000, 1005}}},
        {"leaving through the far edge", AlongY100({100, 174, 175}), {{1000, 1002}}},
        {"a border approach given up, then a real visit", AlongY100({52, 30, 54, 60, 10}), {{1002, 1004}}},
        {"(0, 0) is outside a region not holding it", {{1, 0, 0}, {2, 100, 100}, {3, 0, 0}}, {{2, 3}}},
        {"negative timestamps are copied unchanged", AlongY100({100, 10}, -5), {{-5, -4}}},
    };
    for (const Case& c : cases)
    {
        const SingleRun run = RunBox(c.points);
        EXPECT_EQ(run.result, 0) << c.name;
        EXPECT_EQ(run.enterBytes, EventFileBytes(EnterTimes(c.visits))) << c.name;
        EXPECT_EQ(run.leaveBytes, EventFileBytes(LeaveTimes(c.visits))) << c.name;
    }
}

TEST(RegionEventGenerator, TimestampZeroIsARealEnterTime)
{
    // First inside record at time 0 by way of the border band, and straight into the core at 0;
    // both visits end through the border band.
    const std::vector<TrackPoint> viaBorder = {
        {-1, 10, 100}, {0, 52, 100}, {1, 100, 100}, {2, 52, 100}, {3, 10, 100}};
    const std::vector<TrackPoint> intoCore = {{0, 100, 100}, {1, 52, 100}, {2, 10, 100}};
    const SingleRun a = RunBox(viaBorder);
    EXPECT_EQ(a.enterBytes, EventFileBytes({0}));
    EXPECT_EQ(a.leaveBytes, EventFileBytes({3}));
    const SingleRun b = RunBox(intoCore);
    EXPECT_EQ(b.enterBytes, EventFileBytes({0}));
    EXPECT_EQ(b.leaveBytes, EventFileBytes({2}));
}

TEST(RegionEventGenerator, RectangleDraggedBackwardsYieldsTheVisitsOfItsNormalForm)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 6000;
    options.seed = 11;
    ASSERT_EQ(WriteGeneratedTrack(dir.File("track.qtf"), options), 0);
    CTrackFile reader;
    ASSERT_EQ(reader.Open(dir.File("track.qtf")), 0);
    const std::vector<Rect> rects = {
        {200, 150, 440, 330}, {440, 330, 200, 150}, {440, 150, 200, 330}, {200, 330, 440, 150}};
    CRegionEventGenerator generator;
    ASSERT_EQ(RunGenerator(generator, reader, rects, SlotNames(4), dir), 0);
    ASSERT_GT(generator.GetVisitsWritten(0), 0u);
    const std::string enter = EnterFile(dir, "Box0");
    for (const char* name : {"Box1", "Box2", "Box3"})
    {
        EXPECT_EQ(EnterFile(dir, name), enter) << name;
        EXPECT_EQ(LeaveFile(dir, name), LeaveFile(dir, "Box0")) << name;
    }
}

TEST(RegionEventGenerator, TwelveHundredVisitsAreWrittenInBlocksByteForByteAsOneWrite)
{
    CTempDir dir;
    CObservedTrackFile reader;
    ASSERT_EQ(reader.Open(WriteTrack(dir, VisitsTrack(1200))), 0);
    // Visit k ends at record 2k + 1, so the 500th visit fills the buffer while record 999 is judged.
    // The file grows under its temporary name while the run goes on. Every read also looks at the
    // buffer, which must never hold more than 500 visits.
    std::vector<std::uintmax_t> sizeBeforeRead(reader.GetRecordCount() + 1);
    CRegionEventGenerator generator;
    std::int32_t largestBuffer = 0;
    reader.beforeRead = [&](std::uint32_t i)
    {
        sizeBeforeRead[i] = TemporarySize(dir, "track.qtf_Box0_Enter.qsf");
        for (const RegionEventBuffer& buffer : generator.m_buffers)
            largestBuffer = std::max(largestBuffer, std::int32_t{buffer.count});
    };
    ASSERT_EQ(RunGenerator(generator, reader, {kBox}, {"Box0"}, dir), 0);
    EXPECT_EQ(largestBuffer, 499);

    reader.beforeRead = nullptr;
    const std::vector<Visit> expected = ReferenceVisits(reader, {kBox})[0];
    ASSERT_EQ(expected.size(), 1200u);
    EXPECT_EQ(EnterFile(dir, "Box0"), EventFileBytes(EnterTimes(expected)));
    EXPECT_EQ(LeaveFile(dir, "Box0"), EventFileBytes(LeaveTimes(expected)));
    EXPECT_EQ(generator.GetVisitsWritten(0), 1200u);
    EXPECT_EQ(sizeBeforeRead[999], 16384u);
    EXPECT_EQ(sizeBeforeRead[1000], 16384u + 500 * 8);
    EXPECT_EQ(sizeBeforeRead[1999], 16384u + 500 * 8);
    EXPECT_EQ(sizeBeforeRead[2000], 16384u + 1000 * 8);
    EXPECT_EQ(sizeBeforeRead[2399], 16384u + 1000 * 8); // the last 200 go out at the end
}

TEST(RegionEventGenerator, FetchesEachRecordOnceWithTheFilesOfPerRegionFetching)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 20000;
    options.seed = 5;
    ASSERT_EQ(WriteGeneratedTrack(dir.File("track.qtf"), options), 0);
    CObservedTrackFile reader;
    ASSERT_EQ(reader.Open(dir.File("track.qtf")), 0);
    // 50 regions of assorted sizes and orientations over the 640 x 480 arena, overlapping.
    std::vector<Rect> rects;
    for (std::int32_t k = 0; k < 50; ++k)
    {
        const std::int32_t left = (k * 53) % 600;
        const std::int32_t top = (k * 37) % 440;
        const std::int32_t size = 12 + (k * 29) % 150;
        rects.push_back(k % 3 == 0 ? Rect{left + size, top + size, left, top}
                                   : Rect{left, top, left + size, top + size});
    }
    CRegionEventGenerator generator;
    ASSERT_EQ(RunGenerator(generator, reader, rects, SlotNames(50), dir), 0);
    EXPECT_EQ(reader.reads, 20000u);

    const auto expected = ReferenceVisits(reader, rects);
    std::size_t total = 0;
    for (std::size_t j = 0; j < rects.size(); ++j)
    {
        const std::string name = "Box" + std::to_string(j);
        EXPECT_EQ(EnterFile(dir, name), EventFileBytes(EnterTimes(expected[j]))) << name;
        EXPECT_EQ(LeaveFile(dir, name), EventFileBytes(LeaveTimes(expected[j]))) << name;
        EXPECT_EQ(generator.GetVisitsWritten(static_cast<std::int32_t>(j)), expected[j].size());
        total += expected[j].size();
    }
    EXPECT_GT(total, 100u); // the comparison covers real visits
}

TEST(RegionEventGenerator, RegionsSharingANameAppendToOnePairOfFiles)
{
    CTempDir dir;
    // Region 0 covers x 0..199, region 1 x 300..499; the track visits region 1, then 0, then 1.
    const std::vector<TrackPoint> points = {{1, 100, 100}, {2, 250, 100}, {3, 400, 100}, {4, 250, 100},
                                            {5, 400, 100}, {6, 600, 100}, {7, 100, 100}, {8, 250, 100}};
    CTrackFile reader;
    ASSERT_EQ(reader.Open(WriteTrack(dir, points)), 0);
    CRegionEventGenerator generator;
    ASSERT_EQ(RunGenerator(generator, reader, {Rect{0, 0, 200, 200}, Rect{300, 0, 500, 200}},
                           {"Nest", "Nest"}, dir),
              0);
    // The header once at the start (the second creation truncated the first), then region 0's
    // visits, then region 1's, as the final flushes run in region order.
    EXPECT_EQ(EnterFile(dir, "Nest"), EventFileBytes({1, 7, 3, 5}));
    EXPECT_EQ(LeaveFile(dir, "Nest"), EventFileBytes({2, 8, 4, 6}));
}

TEST(RegionEventGenerator, SecondRunReplacesTheFilesOfTheFirst)
{
    CTempDir dir;
    CTrackFile reader;
    ASSERT_EQ(reader.Open(WriteTrack(dir, VisitsTrack(700, 0))), 0);
    // The generator borrows the regions, so they outlive both runs.
    const std::vector<Rect> rects = {kBox};
    const std::vector<std::string> names = {"Box0"};
    CRegionEventGenerator generator;
    ASSERT_EQ(RunGenerator(generator, reader, rects, names, dir), 0);
    const std::string firstEnter = EnterFile(dir, "Box0");
    ASSERT_EQ(generator.Run(), 0); // the same generator once more
    EXPECT_EQ(EnterFile(dir, "Box0"), firstEnter);
    EXPECT_EQ(generator.GetVisitsWritten(0), 700u);

    ASSERT_EQ(reader.Open(WriteTrack(dir, VisitsTrack(2, 50))), 0); // a new track of the same name
    CRegionEventGenerator another;
    ASSERT_EQ(RunGenerator(another, reader, {kBox}, {"Box0"}, dir), 0);
    EXPECT_EQ(EnterFile(dir, "Box0"), EventFileBytes({50, 52}));
    EXPECT_EQ(LeaveFile(dir, "Box0"), EventFileBytes({51, 53}));
}

// A file that cannot be created ends the run at once: no region gets files, the files of an
// earlier run stay as they were, and the user is told once.
TEST(RegionEventGenerator, FileThatCannotBeCreatedFailsTheRunAndWritesNothing)
{
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CTrackFile reader;
    ASSERT_EQ(reader.Open(WriteTrack(dir, VisitsTrack(3))), 0);
    // Box1's enter file cannot be created (a folder stands in its place); Box2 has files left
    // from an earlier run.
    const std::string folder = dir.File("track.qtf_Box1_Enter.qsf");
    std::filesystem::create_directory(folder);
    const std::string stale = EventFileBytes({111, 222});
    ASSERT_TRUE(WriteWholeFile(dir.File("track.qtf_Box2_Enter.qsf"), stale));
    ASSERT_TRUE(WriteWholeFile(dir.File("track.qtf_Box2_Leave.qsf"), stale));
    const auto before = SnapshotFolder(dir.Path());

    CRegionEventGenerator generator;
    EXPECT_EQ(RunGenerator(generator, reader, {kBox, kBox, kBox}, SlotNames(3), dir), -601);
    EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    for (std::int32_t j = 0; j < 3; ++j)
        EXPECT_EQ(generator.GetVisitsWritten(j), 0u);
    EXPECT_TRUE(generator.HadFileError());
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Cannot create the event file " + folder +
                                                      "; no timestamp files were written.\n" + folder +
                                                      " is a directory, not a file."});
}

// An event file name that is a link to the track (or any file the program is reading) is refused:
// the track is never emptied.
TEST(RegionEventGenerator, EventFileNameThatLeadsToTheTrackIsRefused)
{
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CTrackFile reader;
    const std::string track = WriteTrack(dir, VisitsTrack(3));
    ASSERT_EQ(reader.Open(track), 0);
    const std::string planted = dir.File("track.qtf_Box0_Leave.qsf");
    ASSERT_EQ(::symlink(track.c_str(), planted.c_str()), 0);
    const auto before = SnapshotFolder(dir.Path());
    CRegionEventGenerator generator;
    EXPECT_EQ(RunGenerator(generator, reader, {kBox}, {"Box0"}, dir), -601);
    EXPECT_EQ(SnapshotFolder(dir.Path()), before); // the track byte for byte, and no enter file
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Cannot create the event file " + planted +
                                       "; no timestamp files were written.\n" + planted +
                                       " is a file this program is reading; it is left as it is."});
}

// A named pipe where an event file goes is refused at once rather than waited on.
TEST(RegionEventGenerator, NamedPipeInPlaceOfAnEventFileIsRefusedAtOnce)
{
    CTempDir dir;
    const std::string track = WriteTrack(dir, VisitsTrack(3));
    const std::string pipe = dir.File("track.qtf_Box0_Enter.qsf");
    ASSERT_TRUE(MakeFifo(pipe));
    const auto status = RunInChild(
        [&]
        {
            CRecordingMessageSink sink;
            CScopedMessageSink scoped(sink);
            CTrackFile reader;
            CRegionEventGenerator generator;
            const bool refused =
                reader.Open(track) == 0 && RunGenerator(generator, reader, {kBox}, {"Box0"}, dir) == -601 &&
                sink.messages.size() == 1 &&
                sink.messages[0].find(pipe + " is a named pipe (FIFO), not a file.") != std::string::npos;
            return refused ? 0 : 1;
        },
        std::chrono::seconds(20));
    EXPECT_EQ(status, std::optional<int>(0));
}

// A track that gets shorter during the run: the run stops at the first record it cannot read,
// says so once (after the reader's own message), reads no further and writes no event file.
TEST(RegionEventGenerator, RunStopsAtTheFirstRecordThatCannotBeRead)
{
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CObservedTrackFile reader;
    const std::string track = WriteTrack(dir, VisitsTrack(1200));
    ASSERT_EQ(reader.Open(track), 0);
    const std::string earlier = EventFileBytes({5, 6});
    ASSERT_TRUE(WriteWholeFile(dir.File("track.qtf_Box0_Enter.qsf"), earlier));
    ASSERT_TRUE(WriteWholeFile(dir.File("track.qtf_Box0_Leave.qsf"), earlier));
    reader.beforeRead = [&](std::uint32_t i)
    {
        if (i == 1000) // records 1000 and later go
        {
            ASSERT_EQ(
                ::truncate(track.c_str(), static_cast<off_t>(kTrackHeaderSize + 1000 * kTrackRecordSize)), 0);
        }
    };
    const auto before = SnapshotFolder(dir.Path());
    CRegionEventGenerator generator;
    EXPECT_EQ(RunGenerator(generator, reader, {kBox, kBox}, SlotNames(2), dir), -603);
    EXPECT_EQ(reader.reads, 1001u);
    EXPECT_EQ(sink.messages,
              (std::vector<std::string>{"Insufficient read length.",
                                        "Record 1000 of track.qtf cannot be read; no timestamp "
                                        "files were written."}));
    auto after = SnapshotFolder(dir.Path());
    EXPECT_EQ(after.size(), before.size());
    after.erase("track.qtf");
    auto expected = before;
    expected.erase("track.qtf");
    EXPECT_EQ(after, expected);
    EXPECT_EQ(generator.GetVisitsWritten(0), 0u);
    EXPECT_FALSE(generator.HadFileError());
}

// Every failing call of the file layer (the reader's included) fails the run and leaves no event
// file, in a fresh folder and over the files of an earlier run.
TEST(RegionEventGenerator, EveryFileFaultFailsCleanly)
{
    for (const bool earlierRun : {false, true})
    {
        WriterUnderTest writer;
        writer.name = earlierRun ? "events over an earlier run" : "events";
        writer.cleanupMayFail = earlierRun;
        writer.inputClosesAtTheEnd = 1; // the reader's
        writer.prepare = [earlierRun](const CTempDir& dir)
        {
            // Two regions of one name share their files. A small track keeps the many runs quick.
            WriteTrack(dir, VisitsTrack(20));
            if (!earlierRun)
                return;
            for (const std::string name : {"track.qtf_Nest_Enter.qsf", "track.qtf_Nest_Leave.qsf",
                                           "track.qtf_Box2_Enter.qsf", "track.qtf_Box2_Leave.qsf"})
                WriteWholeFile(dir.File(name), EventFileBytes({1, 2}));
        };
        writer.run = [](const CTempDir& dir)
        {
            CTrackFile reader;
            if (reader.Open(dir.File("track.qtf")) != 0)
                return -1;
            CRegionEventGenerator generator;
            return RunGenerator(generator, reader, {kBox, kBox, Rect{0, 0, 10, 10}}, {"Nest", "Nest", "Box2"},
                                dir);
        };
        EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 20u);
    }
}
