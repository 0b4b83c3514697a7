// One pass feeding several outputs: every output writes exactly the files it announces, a refusal
// comes before any record is read and leaves nothing, a failure at the end takes back what the pass
// put in place, and what the reader tells is shown or kept as the edge asks.
#include "outputs/OutputPass.h"

#include "OutputTestSupport.h"
#include "base/FileFaults.h"
#include "base/ResultCodes.h"
#include "outputs/OutputKinds.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackGenerator.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace
{
COutputSet EveryKind()
{
    COutputSet set;
    for (std::size_t kind = 0; kind < kOutputKinds.size(); ++kind)
        set.Add(kind);
    return set;
}

struct PassOutputs
{
    std::vector<std::unique_ptr<ITrackOutput>> owned;
    std::vector<ITrackOutput*> pointers;
    std::set<std::string> files; // names, as the outputs announce them
};

PassOutputs MakeAll(const TrackOutputPlace& place, const OutputSettings& settings)
{
    PassOutputs outputs;
    outputs.owned = MakeTrackOutputs(EveryKind(), settings, place);
    for (const auto& output : outputs.owned)
    {
        outputs.pointers.push_back(output.get());
        for (const std::string& file : output->Files())
            outputs.files.insert(FileNameOfPath(file));
    }
    return outputs;
}

OutputSettings WithRegions(const CRegionTable& regions, std::int32_t margin = 8)
{
    OutputSettings settings;
    settings.regions = regions;
    settings.margin = margin;
    return settings;
}

std::string Generated(const CTempDir& dir, const std::string& name, std::uint32_t records,
                      std::uint64_t seed = 3)
{
    TrackGeneratorOptions options;
    options.records = records;
    options.seed = seed;
    const std::string path = dir.File(name);
    EXPECT_EQ(WriteGeneratedTrack(path, options), kOk);
    return path;
}

int RunPass(COutputPass& pass, const std::string& track, const std::vector<ITrackOutput*>& outputs,
            const StreamProgress& progress = {})
{
    int result = pass.Open(track);
    if (result == kOk)
        result = pass.Prepare(outputs);
    if (result == kOk)
        result = pass.Run(progress);
    return result;
}

// Test that every kind of output writes exactly the files it announces, no temporary file left,
// for tracks of several sizes and tables with shared names or none.
TEST(OutputPass, EveryOutputWritesTheFilesItAnnounces)
{
    struct Case
    {
        const char* what;
        std::uint32_t records;
        CRegionTable table;
        std::size_t files;
    };
    const Case cases[] = {
        {"two regions", 5000, NamedRegions({{{0, 0, 320, 480}, "left"}, {{200, 150, 440, 330}, "centre"}}),
         14},
        {"shared name, backwards rectangle", 3000,
         NamedRegions(
             {{{0, 0, 320, 240}, "corner"}, {{640, 480, 320, 240}, "corner"}, {{100, 100, 540, 380}, "mid"}}),
         14},
        {"no region", 1500, CRegionTable{}, 10},
        {"one record", 1, NamedRegions({{{0, 0, 640, 480}, "all"}}), 12},
        {"more than a block", static_cast<std::uint32_t>(kBlockReaderRecords + 7),
         NamedRegions({{{0, 0, 320, 480}, "left"}}), 12},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        CTempDir dir;
        const std::string track = Generated(dir, "run.qtf", c.records);
        std::filesystem::create_directory(dir.File("out"));
        PassOutputs outputs =
            MakeAll(TrackOutputPlace{dir.File("out"), "run.qtf", "day1/run.qtf"}, WithRegions(c.table));
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        COutputPass pass;
        ASSERT_EQ(RunPass(pass, track, outputs.pointers), kOk);
        EXPECT_EQ(pass.Source().records, c.records);
        EXPECT_TRUE(pass.Told().empty());
        EXPECT_TRUE(sink.messages.empty());
        std::set<std::string> written;
        for (const auto& [name, bytes] : SnapshotFolder(dir.File("out")))
        {
            written.insert(name);
            EXPECT_FALSE(bytes.empty()) << name;
        }
        EXPECT_EQ(written, outputs.files);
        EXPECT_EQ(written.size(), c.files);
    }
}

// Test that when any one output is refused its destination, the pass stops before reading a
// record, every output is abandoned (no temporary file of the others stays) and the refusal is
// told; and that a track that cannot be opened writes nothing.
TEST(OutputPass, ARefusalComesBeforeAnyRecordAndLeavesNothing)
{
    CTempDir dir;
    const std::string track = Generated(dir, "run.qtf", 2000);
    const CRegionTable table = NamedRegions({{{0, 0, 320, 480}, "left"}, {{200, 150, 440, 330}, "centre"}});
    struct Case
    {
        std::string blocked; // a folder stands where this output goes
        std::string message;
    };
    const Case cases[] = {
        {"run.qtf_centre_Leave.qsf", "Cannot create the event file"},
        {"run.qtf_visits.csv", "Cannot create the CSV file"},
        {"run.qtf_session.csv", "Cannot create the CSV file"},
        {"run.qtf_track.csv", "Cannot create the CSV file"},
        {"run.qtf_heatmap.png", "Cannot create the picture file"},
        {"run.qtf_occupancy.csv", "Cannot create the matrix file"},
        {"run.qtf_plot.png", "Cannot create the picture file"},
        {"run.qtf_quality.txt", "Cannot create the quality report"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.blocked);
        CTempDir out;
        std::filesystem::create_directory(out.File(c.blocked));
        PassOutputs outputs = MakeAll(TrackOutputPlace{out.Path(), "run.qtf", "run.qtf"}, WithRegions(table));
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        COutputPass pass;
        bool read = false;
        EXPECT_EQ(RunPass(pass, track, outputs.pointers,
                          [&read](std::uint64_t, std::uint64_t)
                          {
                              read = true;
                              return true;
                          }),
                  kErrWrite);
        EXPECT_FALSE(read);
        std::vector<std::string> told;
        for (const Problem& problem : pass.Told())
            told.push_back(problem.text);
        for (const std::string& message : sink.messages) // the event files tell their own
            told.push_back(message);
        ASSERT_EQ(told.size(), 1u);
        EXPECT_EQ(told.front().find(c.message), 0u) << told.front();
        EXPECT_NE(told.front().find(out.File(c.blocked) + " is a directory, not a file."), std::string::npos);
        EXPECT_EQ(SnapshotFolder(out.Path()), (std::map<std::string, std::string>{{c.blocked, "<dir>"}}));
    }

    CTempDir out;
    PassOutputs outputs = MakeAll(TrackOutputPlace{out.Path(), "missing.qtf", "x"}, WithRegions(table));
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    COutputPass pass;
    EXPECT_EQ(RunPass(pass, dir.File("missing.qtf"), outputs.pointers), kErrOpen);
    EXPECT_EQ(sink.messages, std::vector<std::string>{"Error opening file; Is the file/path name correct?"});
    EXPECT_TRUE(SnapshotFolder(out.Path()).empty());
}

// Test that every refusal is told, in the outputs' order, not only the first.
TEST(OutputPass, EveryRefusalIsTold)
{
    CTempDir dir;
    const std::string track = Generated(dir, "run.qtf", 300);
    for (const char* blocked : {"run.qtf_visits.csv", "run.qtf_quality.txt"})
        std::filesystem::create_directory(dir.File(blocked));
    PassOutputs outputs = MakeAll(TrackOutputPlace{dir.Path(), "run.qtf", "run.qtf"}, OutputSettings{});
    COutputPass pass;
    EXPECT_EQ(RunPass(pass, track, outputs.pointers), kErrWrite);
    ASSERT_EQ(pass.Told().size(), 2u);
    EXPECT_EQ(pass.Told()[0].text.find("Cannot create the CSV file " + dir.File("run.qtf_visits.csv")), 0u);
    EXPECT_EQ(pass.Told()[1].text.find("Cannot create the quality report " + dir.File("run.qtf_quality.txt")),
              0u);
    EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.Path())).size(), 3u) << "the track and the two folders";
    EXPECT_EQ(SnapshotFolder(dir.Path()).size(), 3u) << "no temporary file";
}

// Test a rerun over the outputs of an earlier run: one refused before the pass leaves the earlier
// run whole; a failure while the outputs are put in place takes back what this pass put there, so
// that the track's outputs are never a mixture of two runs.
TEST(OutputPass, AFailedRerunLeavesNoMixtureOfRuns)
{
    CTempDir dir;
    const std::string track = Generated(dir, "run.qtf", 1000);
    const OutputSettings settings = WithRegions(NamedRegions({{{0, 0, 320, 480}, "left"}}));
    const TrackOutputPlace place{dir.File("out"), "run.qtf", "run.qtf"};
    std::filesystem::create_directory(place.dir);
    std::uint64_t renames = 0;
    {
        PassOutputs first = MakeAll(place, settings);
        CFileFaultScope faults;
        COutputPass pass;
        ASSERT_EQ(RunPass(pass, track, first.pointers), kOk);
        renames = faults.GetCount(FileOp::Rename);
    }
    const auto firstRun = SnapshotFolder(place.dir);

    // The plot is written over by something else meanwhile, and its name taken by a folder.
    std::filesystem::remove(dir.File("out/run.qtf_plot.png"));
    std::filesystem::create_directory(dir.File("out/run.qtf_plot.png"));
    auto refused = firstRun;
    refused["run.qtf_plot.png"] = "<dir>";
    {
        PassOutputs second = MakeAll(place, settings);
        COutputPass pass;
        EXPECT_EQ(RunPass(pass, track, second.pointers), kErrWrite);
        EXPECT_EQ(SnapshotFolder(place.dir), refused);
    }
    std::filesystem::remove(dir.File("out/run.qtf_plot.png"));

    // The quality report is put in place last; its rename fails.
    PassOutputs third = MakeAll(place, settings);
    CFileFaultScope faults;
    faults.Arm(FileOp::Rename, renames, FileFaultKind::Fail, EIO);
    COutputPass pass;
    EXPECT_EQ(RunPass(pass, track, third.pointers), kErrWrite);
    EXPECT_TRUE(faults.HasFired());
    ASSERT_EQ(pass.Told().size(), 1u);
    EXPECT_EQ(pass.Told()[0].text.find("Cannot write to the quality report"), 0u);
    EXPECT_EQ(pass.Told()[0].reason, "Input/output error");
    EXPECT_EQ(SnapshotFolder(place.dir), (std::map<std::string, std::string>{
                                             {"run.qtf_quality.txt", firstRun.at("run.qtf_quality.txt")}}))
        << "the report that could not be replaced keeps the earlier run's; nothing else stays";
}

// Test that a cancel abandons every output, leaves nothing and tells nothing.
TEST(OutputPass, ACancelLeavesNothingAndTellsNothing)
{
    CTempDir dir;
    const std::string track = Generated(dir, "run.qtf", static_cast<std::uint32_t>(kBlockReaderRecords * 2));
    std::filesystem::create_directory(dir.File("out"));
    PassOutputs outputs = MakeAll(TrackOutputPlace{dir.File("out"), "run.qtf", "run.qtf"},
                                  WithRegions(NamedRegions({{{0, 0, 320, 480}, "left"}})));
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    COutputPass pass;
    EXPECT_EQ(RunPass(pass, track, outputs.pointers, [](std::uint64_t, std::uint64_t) { return false; }),
              kErrCancelled);
    EXPECT_TRUE(pass.Told().empty());
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(SnapshotFolder(dir.File("out")).empty());
}

// Test that what the reader tells (a track whose last record is cut short) and a long plot's
// question reach the sink as they happen when notices are shown, and are kept, the question
// answered Yes, when they are kept.
TEST(OutputPass, NoticesAreShownOrKept)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 10001;
    options.partialBytes = 100;
    ASSERT_EQ(WriteGeneratedTrack(dir.File("part.qtf"), options), kOk);
    const std::string incomplete = "Corrupt file - incomplete record encountered.";
    const std::string question =
        "This will result in plotting 10001 records which will take a long time, do you wish to continue?";
    std::map<PassNotices, std::string> pictures;
    for (const PassNotices notices : {PassNotices::Show, PassNotices::Keep})
    {
        SCOPED_TRACE(notices == PassNotices::Show ? "show" : "keep");
        CRecordingMessageSink sink;
        sink.defaultYesNo = false;
        CScopedMessageSink scoped(sink);
        CTrackPlotOutput plot(dir.File("p.png"), CRegionTable{}, PlotSettings{1, 1}, LongPlot::Ask);
        COutputPass pass(notices);
        ASSERT_EQ(RunPass(pass, dir.File("part.qtf"), {&plot}), kOk);
        std::vector<std::string> told;
        for (const Problem& problem : pass.Told())
            told.push_back(problem.text);
        const bool shown = notices == PassNotices::Show;
        EXPECT_EQ(sink.messages, shown ? std::vector{incomplete} : std::vector<std::string>{});
        EXPECT_EQ(sink.questions.size(), shown ? 1u : 0u);
        EXPECT_EQ(told, shown ? std::vector<std::string>{} : (std::vector{incomplete, question}));
        pictures[notices] = ReadWholeFile(dir.File("p.png"));
    }
    // Kept, the question was answered Yes: the markers are drawn, where No left the plot bare.
    EXPECT_GT(pictures[PassNotices::Keep].size(), pictures[PassNotices::Show].size());
}

// Test what each output reads of the records, and that a pass needs whole records as soon as one
// of its outputs does.
TEST(OutputPass, OnlyQualityNeedsWholeRecords)
{
    const TrackOutputPlace place{"/nowhere", "t.qtf", "t.qtf"};
    const OutputSettings settings;
    std::vector<std::unique_ptr<ITrackOutput>> all = MakeTrackOutputs(EveryKind(), settings, place);
    ASSERT_EQ(all.size(), kOutputKinds.size());
    std::vector<ITrackOutput*> positions;
    for (std::size_t kind = 0; kind < all.size(); ++kind)
    {
        const bool whole = kOutputKinds[kind].name == "quality";
        EXPECT_EQ(all[kind]->Needs() == RecordNeeds::WholeRecords, whole) << kOutputKinds[kind].name;
        if (!whole)
            positions.push_back(all[kind].get());
    }
    EXPECT_EQ(COutputPass::NeedsOf(positions), RecordNeeds::Positions);
    EXPECT_EQ(COutputPass::NeedsOf({}), RecordNeeds::Positions);
    positions.push_back(all.back().get());
    EXPECT_EQ(COutputPass::NeedsOf(positions), RecordNeeds::WholeRecords);
}
} // namespace
