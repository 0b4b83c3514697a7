// The event files written during one pass of the block reader are those of the generator's own
// run over the same track, byte for byte; a pass that fails or is cut short leaves none.
#include "regions/RegionEventConsumer.h"

#include "EventTestSupport.h"
#include "base/ResultCodes.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
// Regions of every shape over the 640 x 480 arena: the default, dragged backwards, narrow (no core
// with margin 8), thin but with a core, overlapping, one covering everything, and two sharing a name.
const std::vector<Rect> kRects = {
    {50, 50, 175, 175},   {440, 330, 200, 150}, {300, 0, 316, 480},   {0, 200, 640, 218},
    {100, 100, 500, 400}, {120, 90, 380, 260},  {-10, -10, 700, 600}, {600, 400, 500, 300},
};
const std::vector<std::string> kNames = {"Box0", "arm", "narrow", "strip", "big", "Box5", "all", "arm"};

std::map<std::string, std::string> FilesOf(const std::string& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        files[entry.path().filename().string()] = ReadWholeFile(entry.path().string());
    return files;
}

int RunThroughReader(const std::string& track, const std::string& out, std::int32_t margin)
{
    CTrackFile reader;
    if (reader.Open(track) != kOk)
        return kErrOpen;
    CRegionEventGenerator generator;
    generator.Init(margin);
    generator.SetSource(&reader, reader.GetFileName(), reader.GetRecordCount());
    generator.SetRegions(kRects.data(), kNames.data(), static_cast<std::int32_t>(kRects.size()));
    generator.SetOutputDirectory(out);
    return generator.Run();
}

struct PassResult
{
    int result = 0;
    std::vector<std::uint64_t> visits;
};

PassResult RunThroughPass(const std::string& track, const std::string& out, std::int32_t margin,
                          std::size_t blockRecords, const StreamProgress& progress = {})
{
    CBlockReader reader(blockRecords);
    PassResult pass;
    if (reader.Open(track) != kOk)
    {
        pass.result = kErrOpen;
        return pass;
    }
    CRegionEventGenerator generator;
    generator.Init(margin);
    generator.SetRegions(kRects.data(), kNames.data(), static_cast<std::int32_t>(kRects.size()));
    generator.SetOutputDirectory(out);
    CRegionEventConsumer events(generator);
    IRecordConsumer* consumers[] = {&events};
    pass.result = reader.Run(consumers, progress);
    for (std::size_t j = 0; j < kRects.size(); ++j)
        pass.visits.push_back(generator.GetVisitsWritten(static_cast<std::int32_t>(j)));
    return pass;
}
} // namespace

// Test that both ways of running write the same files, for generated tracks, margins, and blocks
// of one record, of a few records and of the reader's full size, and a track whose regions fill
// their 500-visit buffers several times.
TEST(RegionEventConsumer, WritesTheFilesOfRunByteForByte)
{
    struct Case
    {
        std::uint64_t seed; // 0: the many-visits track
        std::uint32_t records;
        std::int32_t margin;
        std::size_t blockRecords;
    };
    const Case cases[] = {
        {1, 6000, 8, kBlockReaderRecords},
        {2, 6000, 0, 7},
        {3, 3000, 20, 1},
        {4, 2500, 8, 64},
        {0, 2400, 8, 13},
        {0, 2400, 0, kBlockReaderRecords},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE("seed " + std::to_string(c.seed) + ", margin " + std::to_string(c.margin) +
                     ", blocks of " + std::to_string(c.blockRecords));
        CTempDir dir;
        std::string track = dir.File("track.qtf");
        if (c.seed == 0)
            track = WriteTrack(dir, VisitsTrack(c.records / 2));
        else
        {
            TrackGeneratorOptions options;
            options.records = c.records;
            options.seed = c.seed;
            ASSERT_EQ(WriteGeneratedTrack(track, options), 0);
        }
        std::filesystem::create_directory(dir.File("run"));
        std::filesystem::create_directory(dir.File("pass"));
        ASSERT_EQ(RunThroughReader(track, dir.File("run"), c.margin), 0);
        const PassResult pass = RunThroughPass(track, dir.File("pass"), c.margin, c.blockRecords);
        ASSERT_EQ(pass.result, 0);

        const auto expected = FilesOf(dir.File("run"));
        EXPECT_EQ(expected.size(), 14u); // seven names, two files each
        EXPECT_EQ(FilesOf(dir.File("pass")), expected);
        std::uint64_t total = 0;
        for (const std::uint64_t visits : pass.visits)
            total += visits;
        EXPECT_GT(total, 10u); // the files hold real visits
    }
}

// Test that a pass that cannot make its files, has no records, or is cut short writes no event
// file and leaves those of an earlier run as they were.
TEST(RegionEventConsumer, PassThatDoesNotEndWellWritesNothing)
{
    struct Case
    {
        const char* name;
        bool emptyTrack;
        bool blockedFile;
        bool cancel;
        int result;
        std::size_t messages;
    };
    const Case cases[] = {
        {"no records", true, false, false, kErrNoInput, 0},
        {"a file cannot be created", false, true, false, kErrOpen, 1},
        {"cancelled after the first block", false, false, true, kErrCancelled, 0},
    };
    for (const Case& c : cases)
    {
        CTempDir dir;
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        const std::string track = c.emptyTrack ? CTrackFileBuilder().Write(dir.File("track.qtf"))
                                               : WriteTrack(dir, VisitsTrack(1500));
        ASSERT_TRUE(WriteWholeFile(dir.File("track.qtf_all_Enter.qsf"), EventFileBytes({1, 2})));
        if (c.blockedFile)
            std::filesystem::create_directory(dir.File("track.qtf_strip_Leave.qsf"));
        const auto before = SnapshotFolder(dir.Path());
        const PassResult pass = RunThroughPass(track, dir.Path(), 8, 100,
                                               [&](std::uint64_t, std::uint64_t) { return !c.cancel; });
        EXPECT_EQ(pass.result, c.result) << c.name;
        EXPECT_EQ(SnapshotFolder(dir.Path()), before) << c.name;
        EXPECT_EQ(sink.messages.size(), c.messages) << c.name;
        for (const std::uint64_t visits : pass.visits)
            EXPECT_EQ(visits, 0u) << c.name;
    }
}
