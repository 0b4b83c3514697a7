// The batch's runner in the test's own process: a run stopped after some tracks leaves those
// complete and no trace of the others, and a second run does only the rest; a track stopped in
// its pass leaves nothing; each worker's messages stay with its own track, what the reader told
// with them.
#include "batch/BatchRunner.h"

#include "batch/BatchTestSupport.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace
{
BatchSettings MakeSettings(const std::string& outDir)
{
    BatchSettings settings;
    settings.outDir = outDir;
    settings.outputs = *ParseOutputList("events,visits,records,quality");
    settings.settings.regions.m_nRegionCount = 1;
    settings.settings.regions.m_regionRects[0] = Rect{0, 0, 320, 480};
    return settings;
}

std::vector<BatchTrack> Tracks(const std::string& root, const std::vector<std::string>& labels)
{
    std::vector<BatchTrack> tracks;
    for (const std::string& label : labels)
        tracks.push_back(BatchTrack{root + "/" + label, label, {}});
    return tracks;
}

std::vector<BatchStatus> StatusesOf(const std::vector<BatchFileResult>& results)
{
    std::vector<BatchStatus> statuses;
    for (const BatchFileResult& result : results)
        statuses.push_back(result.status);
    return statuses;
}

// Test that a run stopped after k tracks has their outputs complete and none of the others (no
// temporary file either), says which tracks were not run, and that the next run skips the k and
// makes the rest, with any number of workers.
TEST(BatchRunner, AStoppedRunIsResumedWhereItStopped)
{
    const std::vector<std::string> labels = {"a/t0.qtf", "a/t1.qtf", "b/t2.qtf", "b/t3.qtf", "t4.qtf"};
    for (const std::size_t stopAfter : {std::size_t{0}, std::size_t{2}, std::size_t{4}})
    {
        CTempDir dir;
        std::vector<StudyTrack> study;
        for (std::size_t k = 0; k < labels.size(); ++k)
            study.push_back(StudyTrack{labels[k], 400, k + 1});
        WriteStudy(dir.File("study"), study);
        const BatchSettings settings = MakeSettings(dir.File("out"));
        const std::vector<BatchTrack> tracks = Tracks(dir.File("study"), labels);

        BatchMonitor monitor;
        std::size_t done = 0;
        monitor.onFileDone = [&](std::size_t /*index*/, const BatchFileResult& /*result*/)
        {
            if (++done == stopAfter)
                monitor.stop = true;
        };
        monitor.stop = stopAfter == 0;
        const std::vector<BatchFileResult> first = RunBatch(settings, tracks, 1, monitor);
        std::vector<BatchStatus> expected(labels.size(), BatchStatus::Failed);
        std::fill_n(expected.begin(), stopAfter, BatchStatus::Ok);
        EXPECT_EQ(StatusesOf(first), expected) << stopAfter;
        for (std::size_t k = stopAfter; k < labels.size(); ++k)
            EXPECT_EQ(first[k].message, "The batch was stopped before this file was run.") << k;
        EXPECT_EQ(monitor.filesDone.load(), labels.size());

        std::set<std::string> withOutputs;
        if (fs::exists(dir.File("out")))
            for (const auto& [name, bytes] : FilesBelow(dir.File("out")))
            {
                EXPECT_EQ(fs::path(name).filename().string().front() != '.', true) << name;
                withOutputs.insert(name.substr(0, name.find('_')));
            }
        EXPECT_EQ(withOutputs,
                  std::set<std::string>(labels.begin(), labels.begin() + static_cast<long>(stopAfter)));

        BatchMonitor again;
        const std::vector<BatchFileResult> second = RunBatch(settings, tracks, 3, again);
        std::fill_n(expected.begin(), stopAfter, BatchStatus::Skipped);
        std::fill(expected.begin() + static_cast<long>(stopAfter), expected.end(), BatchStatus::Ok);
        EXPECT_EQ(StatusesOf(second), expected) << stopAfter;
    }
}

// Test that a track whose pass is stopped part way leaves no output and no temporary file.
TEST(BatchRunner, ATrackStoppedInItsPassLeavesNothing)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"long.qtf", 3000, 1}}); // several blocks
    const BatchSettings settings = MakeSettings(dir.File("out"));
    BatchMonitor monitor;
    monitor.stop = true;
    const BatchFileResult result =
        RunBatchTrack(settings, Tracks(dir.File("study"), {"long.qtf"})[0], monitor);
    EXPECT_EQ(result.status, BatchStatus::Failed);
    EXPECT_EQ(result.message, "The batch was stopped while this file was run; no outputs were written.");
    EXPECT_TRUE(SnapshotFolder(dir.File("out")).empty());
}

// Test that with several workers each track's status holds its own messages and no other's, and
// that the monitor counts every record read.
TEST(BatchRunner, EachTrackKeepsItsOwnMessages)
{
    CTempDir dir;
    std::vector<StudyTrack> study;
    std::vector<std::string> labels;
    for (int k = 0; k < 12; ++k)
    {
        labels.push_back("t" + std::to_string(k) + ".qtf");
        study.push_back(StudyTrack{labels.back(), k % 3 == 0 ? 0U : 200U, static_cast<std::uint64_t>(k) + 1});
    }
    WriteStudy(dir.File("study"), study);
    BatchMonitor monitor;
    const std::vector<BatchFileResult> results =
        RunBatch(MakeSettings(dir.File("out")), Tracks(dir.File("study"), labels), 4, monitor);
    ASSERT_EQ(results.size(), labels.size());
    for (std::size_t k = 0; k < labels.size(); ++k)
    {
        if (k % 3 == 0)
        {
            EXPECT_EQ(results[k].status, BatchStatus::Failed) << k;
            EXPECT_EQ(results[k].message, labels[k] + " has no records; no outputs were written.");
        }
        else
        {
            EXPECT_EQ(results[k].status, BatchStatus::Ok) << k;
            EXPECT_EQ(results[k].message, "") << k;
            EXPECT_EQ(results[k].records, 200u) << k;
        }
    }
    EXPECT_EQ(monitor.recordsRead.load(), 8u * 200u);
    EXPECT_EQ(monitor.filesDone.load(), labels.size());
}

// Test that what a track's pass told reaches its status in order: the reader's notice of a cut-off
// last record, then an output's refusal with its reason; and a track without records says so
// after the reader's notice.
TEST(BatchRunner, WhatThePassToldIsTheStatusMessage)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"cut.qtf", 300, 2}, {"empty.qtf", 0, 1}});
    // The cut-off record: a few bytes after the last whole one.
    for (const char* label : {"cut.qtf", "empty.qtf"})
    {
        std::ofstream(dir.File("study/" + std::string(label)), std::ios::app | std::ios::binary) << "tail";
        DateBack(dir.File("study/" + std::string(label)), std::chrono::hours(1));
    }
    fs::create_directories(dir.File("out/cut.qtf_visits.csv"));
    BatchMonitor monitor;
    const std::vector<BatchFileResult> results = RunBatch(
        MakeSettings(dir.File("out")), Tracks(dir.File("study"), {"cut.qtf", "empty.qtf"}), 2, monitor);
    ASSERT_EQ(results.size(), 2u);
    const std::string incomplete = "Corrupt file - incomplete record encountered.";
    EXPECT_EQ(results[0].status, BatchStatus::Failed);
    EXPECT_EQ(results[0].message, incomplete + " Cannot create the CSV file " +
                                      dir.File("out/cut.qtf_visits.csv") +
                                      "; no visit tables were written. " +
                                      dir.File("out/cut.qtf_visits.csv") + " is a directory, not a file.");
    EXPECT_EQ(results[1].status, BatchStatus::Failed);
    EXPECT_EQ(results[1].message, incomplete + " empty.qtf has no records; no outputs were written.");
}
} // namespace
