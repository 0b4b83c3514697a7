// One pass feeding several outputs: the files are byte for byte those of each output's own writer,
// they are exactly what the outputs say they write, and a pass in which any output fails leaves no
// output of the track behind.
#include "analysis/TrackCsv.h"
#include "analysis/TrackOutputs.h"
#include "analysis/VisitCsv.h"
#include "analysis/VisitTable.h"
#include "base/ResultCodes.h"
#include "regions/RegionEventGenerator.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace
{
CRegionTable MakeTable(const std::vector<std::pair<Rect, std::string>>& regions)
{
    CRegionTable table;
    for (const auto& [rect, name] : regions)
    {
        const auto slot = static_cast<std::size_t>(table.m_nRegionCount++);
        table.m_regionRects[slot] = rect;
        table.m_regionNames[slot] = name;
    }
    return table;
}

struct PassOutputs
{
    std::vector<std::unique_ptr<ITrackOutput>> owned;
    std::vector<ITrackOutput*> pointers;
    std::set<std::string> files; // names, as the outputs announce them
};

PassOutputs MakeAll(const TrackOutputPlace& place, const CRegionTable& table, std::int32_t margin,
                    const QualityOptions& quality)
{
    PassOutputs outputs;
    outputs.owned.push_back(MakeEventFilesOutput(place, table, margin));
    outputs.owned.push_back(MakeVisitFilesOutput(place, table, margin));
    outputs.owned.push_back(MakeRecordsFileOutput(place));
    outputs.owned.push_back(MakeQualityFileOutput(place, quality));
    for (const auto& output : outputs.owned)
    {
        outputs.pointers.push_back(output.get());
        for (const std::string& file : output->Files())
            outputs.files.insert(FileNameOfPath(file));
    }
    return outputs;
}

// The same outputs, each made by its own writer as the single-file commands make them.
void WriteEachOnItsOwn(const std::string& track, const std::string& dir, const std::string& label,
                       const CRegionTable& table, std::int32_t margin, const QualityOptions& quality)
{
    const std::string name = FileNameOfPath(track);
    CTrackFile reader;
    ASSERT_EQ(reader.Open(track), kOk);
    if (table.m_nRegionCount > 0)
    {
        CRegionEventGenerator generator;
        ASSERT_EQ(generator.Prepare(reader, table, margin), kOk);
        generator.SetOutputDirectory(dir);
        ASSERT_EQ(generator.Run(), kOk);
    }
    VisitTable visits;
    ASSERT_EQ(BuildVisitTable(track, table, margin, visits), kOk);
    ASSERT_EQ(WriteVisitCsvFiles(visits, dir, name, label), kOk);
    CBlockReader records;
    ASSERT_EQ(records.Open(track), kOk);
    CTrackCsvWriter writer(dir + "/" + name + "_track.csv");
    IRecordConsumer* consumers[] = {&writer};
    ASSERT_EQ(records.Run(consumers), kOk);
    QualitySummary summary;
    ASSERT_EQ(RunQualityReport(track, quality, summary), kOk);
    ASSERT_TRUE(WriteWholeFile(dir + "/" + name + "_quality.txt", FormatQualityText(summary)));
}

// Test that one pass writes every output byte for byte as its own writer does, and exactly the
// files the outputs announce, for tracks of several sizes and tables with shared names or none.
TEST(TrackPass, OutputsAreThoseOfTheirOwnWriters)
{
    struct Case
    {
        const char* what;
        std::uint32_t records;
        std::uint64_t seed;
        CRegionTable table;
        std::int32_t margin;
        QualityOptions quality;
    };
    const Case cases[] = {
        {"two regions",
         5000,
         3,
         MakeTable({{{0, 0, 320, 480}, "left"}, {{200, 150, 440, 330}, "centre"}}),
         8,
         {}},
        {"shared name, backwards rectangle",
         3000,
         4,
         MakeTable(
             {{{0, 0, 320, 240}, "corner"}, {{640, 480, 320, 240}, "corner"}, {{100, 100, 540, 380}, "mid"}}),
         3,
         {20, 60, 10}},
        {"no region", 1500, 5, CRegionTable{}, 8, {}},
        {"one record", 1, 6, MakeTable({{{0, 0, 640, 480}, "all"}}), 8, {}},
        {"more than a block",
         static_cast<std::uint32_t>(kBlockReaderRecords + 7),
         7,
         MakeTable({{{0, 0, 320, 480}, "left"}}),
         8,
         {}},
    };
    for (const Case& c : cases)
    {
        CTempDir dir;
        TrackGeneratorOptions options;
        options.records = c.records;
        options.seed = c.seed;
        const std::string track = dir.File("run.qtf");
        ASSERT_EQ(WriteGeneratedTrack(track, options), kOk) << c.what;
        std::filesystem::create_directory(dir.File("pass"));
        std::filesystem::create_directory(dir.File("own"));

        const TrackOutputPlace place{dir.File("pass"), "run.qtf", "day1/run.qtf"};
        PassOutputs outputs = MakeAll(place, c.table, c.margin, c.quality);
        TrackSourceInfo source;
        ASSERT_EQ(RunTrackPass(track, outputs.pointers, {}, &source), kOk) << c.what;
        EXPECT_EQ(source.records, c.records) << c.what;
        WriteEachOnItsOwn(track, dir.File("own"), "day1/run.qtf", c.table, c.margin, c.quality);

        const auto written = SnapshotFolder(dir.File("pass"));
        EXPECT_EQ(written, SnapshotFolder(dir.File("own"))) << c.what;
        std::set<std::string> names;
        for (const auto& [name, bytes] : written)
            names.insert(name);
        EXPECT_EQ(names, outputs.files) << c.what;
    }
}

// Test that when any one output cannot be written, or the track cannot be read, the pass fails
// with that output's message and leaves none of the track's outputs, whichever output fails and
// whether the others had put theirs in place already.
TEST(TrackPass, AFailingOutputLeavesNoOutputOfTheTrack)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 2000;
    const std::string track = dir.File("run.qtf");
    ASSERT_EQ(WriteGeneratedTrack(track, options), kOk);
    const CRegionTable table = MakeTable({{{0, 0, 320, 480}, "left"}, {{200, 150, 440, 330}, "centre"}});
    struct Case
    {
        std::string blocked; // a folder stands where this output goes
        int result;
        std::string message;
    };
    const Case cases[] = {
        {"run.qtf_centre_Leave.qsf", kErrOpen, "Cannot create the event file"},
        {"run.qtf_visits.csv", kErrOpen, "Cannot create the CSV file"},
        {"run.qtf_session.csv", kErrOpen, "Cannot create the CSV file"},
        {"run.qtf_track.csv", kErrOpen, "Cannot create the CSV file"},
        {"run.qtf_quality.txt", kErrOpen, "Cannot create the quality report"},
    };
    for (const Case& c : cases)
    {
        CTempDir out;
        std::filesystem::create_directory(out.File(c.blocked));
        PassOutputs outputs = MakeAll(TrackOutputPlace{out.Path(), "run.qtf", "run.qtf"}, table, 8, {});
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_EQ(RunTrackPass(track, outputs.pointers), c.result) << c.blocked;
        ASSERT_FALSE(sink.messages.empty()) << c.blocked;
        EXPECT_NE(sink.messages.front().find(c.message), std::string::npos) << sink.messages.front();
        EXPECT_EQ(SnapshotFolder(out.Path()), (std::map<std::string, std::string>{{c.blocked, "<dir>"}}))
            << c.blocked;
    }

    // A track that cannot be read or has no records: nothing is written, and the user is told.
    CTrackFileBuilder empty;
    empty.Write(dir.File("empty.qtf"));
    WriteWholeFile(dir.File("short.qtf"), "too short");
    const std::pair<std::string, int> unreadable[] = {{dir.File("missing.qtf"), kErrOpen},
                                                      {dir.File("empty.qtf"), kErrNoInput},
                                                      {dir.File("short.qtf"), kErrNoInput}};
    for (const auto& [path, result] : unreadable)
    {
        CTempDir out;
        PassOutputs outputs = MakeAll(TrackOutputPlace{out.Path(), FileNameOfPath(path), "x"}, table, 8, {});
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        EXPECT_EQ(RunTrackPass(path, outputs.pointers), result) << path;
        EXPECT_FALSE(sink.messages.empty()) << path;
        EXPECT_TRUE(SnapshotFolder(out.Path()).empty()) << path;
    }
}

// Test that a failing pass takes away the outputs this pass put in place, even over the files of
// an earlier run, so that a track's outputs are never a mixture of two runs.
TEST(TrackPass, AFailedRerunLeavesNoMixtureOfRuns)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 1000;
    const std::string track = dir.File("run.qtf");
    ASSERT_EQ(WriteGeneratedTrack(track, options), kOk);
    const CRegionTable table = MakeTable({{{0, 0, 320, 480}, "left"}});
    const TrackOutputPlace place{dir.File("out"), "run.qtf", "run.qtf"};
    std::filesystem::create_directory(place.dir);
    {
        PassOutputs first = MakeAll(place, table, 8, {});
        ASSERT_EQ(RunTrackPass(track, first.pointers), kOk);
    }
    // The quality report, written last, cannot be replaced now.
    std::filesystem::remove(dir.File("out/run.qtf_quality.txt"));
    std::filesystem::create_directory(dir.File("out/run.qtf_quality.txt"));
    PassOutputs second = MakeAll(place, table, 8, {});
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    EXPECT_EQ(RunTrackPass(track, second.pointers), kErrOpen);
    EXPECT_EQ(SnapshotFolder(place.dir),
              (std::map<std::string, std::string>{{"run.qtf_quality.txt", "<dir>"}}));
}
} // namespace
