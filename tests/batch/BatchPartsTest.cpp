// The pieces of a batch on their own: input lists, the search of folders with the labels of the
// tracks found, shards, reading CSV back, the shard file names and what is missing of a split, the
// up-to-date rule, the texts of the total and the progress line, and a status's message.
#include "base/CsvBuilder.h"
#include "batch/BatchCombine.h"
#include "batch/BatchInputs.h"
#include "batch/BatchProgress.h"
#include "batch/BatchReport.h"
#include "batch/BatchRunner.h"
#include "batch/BatchShard.h"
#include "batch/CsvRecords.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// Test that a list file gives its paths exactly, skipping blank lines and comments, with Windows
// line ends taken off.
TEST(BatchParts, InputListSkipsBlankLinesAndComments)
{
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"", {}},
        {"a.qtf", {"a.qtf"}},
        {"a.qtf\nb.qtf\n", {"a.qtf", "b.qtf"}},
        {"# the study\n\n  \t\nday1/a.qtf\r\n  # indented comment\nday 2/b #1.qtf\n",
         {"day1/a.qtf", "day 2/b #1.qtf"}},
        {"\r\n\r\n", {}},
        {"a.qtf\r\r\nb.qtf\r", {"a.qtf", "b.qtf"}}, // a list converted to Windows line ends twice
        {"\r\r\n", {}},
        {" leading space.qtf\n", {" leading space.qtf"}},
        {"last without end", {"last without end"}},
    };
    for (const auto& [text, paths] : cases)
        EXPECT_EQ(ParseInputList(text), paths) << text;
}

// Test which names a folder search takes as tracker files.
TEST(BatchParts, TrackFileNamesEndInQtfOrDatInAnyCase)
{
    const std::pair<const char*, bool> cases[] = {
        {"VT1.qtf", true}, {"VT1.QTF", true},  {"run.Dat", true},      {"x.dat", true},     {".qtf", false},
        {"qtf", false},    {"VT1.qsf", false}, {"VT1.qtf.csv", false}, {"VT1.qtfx", false}, {"a.DAT ", false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(IsTrackFileName(name), expected) << name;
}

// Test the common folder of several folders, by whole components.
TEST(BatchParts, CommonFolderIsTheLongestSharedRunOfComponents)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "/"},
        {{"/a/b"}, "/a/b"},
        {{"/a/b/c", "/a/b/d"}, "/a/b"},
        {{"/a/bc", "/a/b"}, "/a"},
        {{"/a/b", "/a/b/c/d"}, "/a/b"},
        {{"/x", "/y"}, "/"},
        {{"/"}, "/"},
    };
    for (const auto& [folders, common] : cases)
        EXPECT_EQ(CommonFolder(folders), common) << (folders.empty() ? "" : folders.front());
}

// Test that the tracks of files, folders and lists are found through subfolders, sorted, counted
// once however often they are named, and labelled relative to the inputs' common folder.
TEST(BatchParts, CollectedTracksAreSortedUniqueAndLabelled)
{
    CTempDir dir;
    const std::string study = dir.File("study");
    for (const char* folder : {"study/day1", "study/day2/late", "study/empty", "other"})
        fs::create_directories(dir.File(folder));
    for (const char* file : {"study/day1/VT1.qtf", "study/day2/VT1.qtf", "study/day2/late/B.DAT",
                             "study/day2/notes.txt", "study/day1/VT1.qtf_visits.csv", "other/x.bin"})
        WriteWholeFile(dir.File(file), "x");
    fs::create_symlink(dir.File("study/day1/VT1.qtf"), dir.File("study/day1/link.qtf")); // the same file
    fs::create_directory_symlink(dir.File("study"), dir.File("study/day2/loop"));        // not followed

    struct Case
    {
        const char* what;
        std::vector<std::string> inputs;
        std::vector<std::pair<std::string, std::string>> tracks; // path below dir, label
    };
    const Case cases[] = {
        {"a folder",
         {study},
         {{"study/day1/VT1.qtf", "day1/VT1.qtf"},
          {"study/day2/VT1.qtf", "day2/VT1.qtf"},
          {"study/day2/late/B.DAT", "day2/late/B.DAT"}}},
        {"a folder twice, a file in it, with a trailing slash and dots",
         {study + "/", dir.File("study/day2/../day2/VT1.qtf"), study},
         {{"study/day1/VT1.qtf", "day1/VT1.qtf"},
          {"study/day2/VT1.qtf", "day2/VT1.qtf"},
          {"study/day2/late/B.DAT", "day2/late/B.DAT"}}},
        {"files of two folders, any name, and one that is missing",
         {dir.File("study/day2/VT1.qtf"), dir.File("other/x.bin"), dir.File("study/day1/gone.qtf")},
         {{"other/x.bin", "other/x.bin"},
          {"study/day1/gone.qtf", "study/day1/gone.qtf"},
          {"study/day2/VT1.qtf", "study/day2/VT1.qtf"}}},
        {"relative paths, from the current folder",
         {"study/day1", "study/day2/late/B.DAT"},
         {{"study/day1/VT1.qtf", "day1/VT1.qtf"}, {"study/day2/late/B.DAT", "day2/late/B.DAT"}}},
        {"one file", {"study/day1/link.qtf"}, {{"study/day1/link.qtf", "link.qtf"}}},
        {"a folder without tracks", {dir.File("study/empty")}, {}},
    };
    for (const Case& c : cases)
    {
        const std::vector<BatchTrack> tracks = CollectBatchTracks(c.inputs, dir.Path());
        std::vector<std::pair<std::string, std::string>> got;
        for (const BatchTrack& track : tracks)
        {
            EXPECT_EQ(track.problem, "") << c.what;
            got.emplace_back(track.path.substr(dir.Path().size() + 1), track.label);
        }
        EXPECT_EQ(got, c.tracks) << c.what;
    }
}

// Test that a folder that cannot be read becomes a track that says so, instead of vanishing.
TEST(BatchParts, AnUnreadableFolderIsATrackWithItsProblem)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    CTempDir dir;
    fs::create_directories(dir.File("study/locked"));
    WriteWholeFile(dir.File("study/a.qtf"), "x");
    fs::permissions(dir.File("study/locked"), fs::perms::none);
    const std::vector<BatchTrack> tracks = CollectBatchTracks({dir.File("study")}, "/");
    fs::permissions(dir.File("study/locked"), fs::perms::owner_all);
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(tracks[0].label, "a.qtf");
    EXPECT_EQ(tracks[1].label, "locked");
    EXPECT_EQ(tracks[1].problem,
              "Cannot read the folder " + dir.File("study/locked") + " (Permission denied).");
}

// Test which shard texts are taken, and that the shards of a split take every index exactly once.
TEST(BatchParts, ShardsAreKOfNAndSplitTheListExactly)
{
    const std::pair<const char*, std::optional<BatchShard>> cases[] = {
        {"0/1", BatchShard{0, 1}},     {"3/4", BatchShard{3, 4}},
        {"15/16", BatchShard{15, 16}}, {"0/1000000", BatchShard{0, kMaxShards}},
        {"4/4", std::nullopt},         {"0/0", std::nullopt},
        {"-1/4", std::nullopt},        {"1", std::nullopt},
        {"1/", std::nullopt},          {"/4", std::nullopt},
        {"1/4/2", std::nullopt},       {" 1/4", std::nullopt},
        {"+1/4", std::nullopt},        {"0x1/4", std::nullopt},
        {"0/1000001", std::nullopt},   {"auto", std::nullopt},
    };
    for (const auto& [text, shard] : cases)
        EXPECT_EQ(ParseShard(text), shard) << text;

    for (const std::uint32_t count : {1U, 3U, 4U, 16U})
        for (std::size_t index = 0; index < 50; ++index)
        {
            int owners = 0;
            for (std::uint32_t k = 0; k < count; ++k)
                owners += IsInShard(index, BatchShard{k, count}) ? 1 : 0;
            EXPECT_EQ(owners, 1) << index << " of " << count;
        }
    EXPECT_EQ(ShardSuffix(BatchShard{2, 16}), ".shard-2-of-16");
}

// Test the shard of an array task from its variables, and what is said when they do not give one.
TEST(BatchParts, ShardFromTheArrayVariables)
{
    using Variables = std::map<std::string, std::string>;
    struct Case
    {
        Variables variables;
        std::optional<BatchShard> shard;
        std::string problem;
    };
    const Case cases[] = {
        {{{"SLURM_ARRAY_TASK_ID", "3"}, {"SLURM_ARRAY_TASK_COUNT", "16"}, {"SLURM_ARRAY_TASK_MIN", "0"}},
         BatchShard{3, 16},
         ""},
        {{{"SLURM_ARRAY_TASK_ID", "16"}, {"SLURM_ARRAY_TASK_COUNT", "16"}, {"SLURM_ARRAY_TASK_MIN", "1"}},
         BatchShard{15, 16},
         ""},
        {{},
         std::nullopt,
         "SLURM_ARRAY_TASK_ID, SLURM_ARRAY_TASK_COUNT and SLURM_ARRAY_TASK_MIN are not set (an array job "
         "sets them)"},
        {{{"SLURM_ARRAY_TASK_ID", "3"}, {"SLURM_ARRAY_TASK_COUNT", "16"}},
         std::nullopt,
         "SLURM_ARRAY_TASK_MIN is not set (an array job sets them)"},
        {{{"SLURM_ARRAY_TASK_COUNT", "16"}},
         std::nullopt,
         "SLURM_ARRAY_TASK_ID and SLURM_ARRAY_TASK_MIN are not set (an array job sets them)"},
        {{{"SLURM_ARRAY_TASK_ID", "x"}, {"SLURM_ARRAY_TASK_COUNT", "16"}, {"SLURM_ARRAY_TASK_MIN", "0"}},
         std::nullopt,
         "SLURM_ARRAY_TASK_ID is 'x', not a whole number"},
        {{{"SLURM_ARRAY_TASK_ID", "8"}, {"SLURM_ARRAY_TASK_COUNT", "4"}, {"SLURM_ARRAY_TASK_MIN", "0"}},
         std::nullopt,
         "SLURM_ARRAY_TASK_ID 8 minus SLURM_ARRAY_TASK_MIN 0 is not a shard of SLURM_ARRAY_TASK_COUNT 4 (the "
         "array's ids must run without gaps)"},
        {{{"SLURM_ARRAY_TASK_ID", "0"}, {"SLURM_ARRAY_TASK_COUNT", "4"}, {"SLURM_ARRAY_TASK_MIN", "1"}},
         std::nullopt,
         "SLURM_ARRAY_TASK_ID 0 minus SLURM_ARRAY_TASK_MIN 1 is not a shard of SLURM_ARRAY_TASK_COUNT 4 (the "
         "array's ids must run without gaps)"},
    };
    for (const Case& c : cases)
    {
        std::string problem;
        const auto shard = ShardFromEnvironment(
            [&c](const char* name)
            {
                const auto found = c.variables.find(name);
                return found == c.variables.end() ? nullptr : found->second.c_str();
            },
            problem);
        EXPECT_EQ(shard, c.shard) << c.problem;
        EXPECT_EQ(problem, c.problem);
    }
}

// Test that what the CSV builder writes reads back field for field and byte for byte, and that
// text no builder writes is refused.
TEST(BatchParts, CsvRecordsReadBackWhatTheBuilderWrites)
{
    CCsvBuilder csv;
    csv.HeaderRow("file,status,message,seconds");
    csv.Field("day1/VT1.qtf").Field("ok").Empty().Fixed6(0.5).EndRow();
    csv.Field("a,b.qtf").Field("failed").Field("line one\nline \"two\"").Fixed6(1.0).EndRow();
    csv.Field("").Field("").Field(",").Field("\"").EndRow();
    const auto records = SplitCsvRecords(csv.Text());
    ASSERT_TRUE(records);
    ASSERT_EQ(records->size(), 4u);
    EXPECT_EQ((*records)[1].fields, (std::vector<std::string>{"day1/VT1.qtf", "ok", "", "0.500000"}));
    EXPECT_EQ((*records)[2].fields,
              (std::vector<std::string>{"a,b.qtf", "failed", "line one\nline \"two\"", "1.000000"}));
    EXPECT_EQ((*records)[3].fields, (std::vector<std::string>{"", "", ",", "\""}));
    std::string joined;
    for (const CsvRecord& record : *records)
        joined += record.text;
    EXPECT_EQ(joined, csv.Text());

    const std::pair<const char*, std::vector<std::vector<std::string>>> read[] = {
        {"", {}},       {"a", {{"a"}}},      {"a,b\nc", {{"a", "b"}, {"c"}}},
        {"\n", {{""}}}, {",\n", {{"", ""}}}, {"\"\"", {{""}}},
    };
    for (const auto& [text, fields] : read)
    {
        const auto got = SplitCsvRecords(text);
        ASSERT_TRUE(got) << text;
        std::vector<std::vector<std::string>> gotFields;
        for (const CsvRecord& record : *got)
            gotFields.push_back(record.fields);
        EXPECT_EQ(gotFields, fields) << text;
    }
    for (const char* refused : {"\"open", "a\"b", "\"a\"b", "\"a\" ,b", "x,\"y\nz"})
        EXPECT_FALSE(SplitCsvRecords(refused)) << refused;
}

// Test which names are a shard's status file, and what is said of the shards found in a folder.
TEST(BatchParts, ShardStatusNamesAndWhatIsMissing)
{
    const std::pair<const char*, std::optional<BatchShard>> names[] = {
        {"batch_status.shard-0-of-4.csv", BatchShard{0, 4}},
        {"batch_status.shard-15-of-16.csv", BatchShard{15, 16}},
        {"batch_status.csv", std::nullopt},
        {"batch_status.shard-4-of-4.csv", std::nullopt},
        {"batch_status.shard-03-of-4.csv", std::nullopt},
        {"batch_status.shard-3-of-4.csv.tmp", std::nullopt},
        {"summary_regions.shard-0-of-4.csv", std::nullopt},
        {"batch_status.shard-3of-4.csv", std::nullopt},
    };
    for (const auto& [name, shard] : names)
        EXPECT_EQ(ShardOfStatusName(name), shard) << name;

    const std::pair<std::vector<BatchShard>, std::string> found[] = {
        {{{0, 2}, {1, 2}}, ""},
        {{{0, 1}}, ""},
        {{}, "there is no shard's status file (batch_status.shard-K-of-N.csv)"},
        {{{0, 4}, {2, 4}},
         "2 of 4 shards have not finished: there is no batch_status.shard-1-of-4.csv, "
         "batch_status.shard-3-of-4.csv"},
        {{{1, 2}}, "1 of 2 shards has not finished: there is no batch_status.shard-0-of-2.csv"},
        {{{0, 2}, {1, 2}, {0, 3}},
         "it holds the status files of shards of different splits (of 2, of 3); keep "
         "those of one run only"},
        {{{0, 12}},
         "11 of 12 shards have not finished: there is no batch_status.shard-1-of-12.csv, "
         "batch_status.shard-2-of-12.csv, batch_status.shard-3-of-12.csv, batch_status.shard-4-of-12.csv, "
         "batch_status.shard-5-of-12.csv, batch_status.shard-6-of-12.csv, batch_status.shard-7-of-12.csv, "
         "batch_status.shard-8-of-12.csv and 3 more"},
    };
    for (const auto& [shards, text] : found)
        EXPECT_EQ(DescribeMissingShards(shards), text);
}

// Test the up-to-date rule: every output there and newer than the track and the layout.
TEST(BatchParts, OutputsAreUpToDateWhenAllAreNewerThanTrackAndLayout)
{
    CTempDir dir;
    const auto now = fs::file_time_type::clock::now();
    const auto make = [&dir, now](const std::string& name, int secondsAgo)
    {
        WriteWholeFile(dir.File(name), "x");
        fs::last_write_time(dir.File(name), now - std::chrono::seconds(secondsAgo));
        return dir.File(name);
    };
    const std::string track = make("t.qtf", 100);
    const std::string layout = make("a.json", 50);
    const std::string older = make("older.csv", 200);
    const std::string between = make("between.csv", 70);
    const std::string same = make("same.csv", 100);
    const std::string newer = make("newer.csv", 10);
    struct Case
    {
        std::vector<std::string> files;
        std::string layout;
        bool upToDate;
    };
    const Case cases[] = {
        {{newer}, "", true},
        {{newer, between}, "", true},
        {{newer, between}, layout, false},
        {{newer}, layout, true},
        {{same}, "", false},
        {{newer, older}, "", false},
        {{newer, dir.File("missing.csv")}, "", false},
        {{newer}, dir.File("missing.json"), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AreOutputsUpToDate(c.files, track, c.layout), c.upToDate)
            << c.files.back() << " " << c.layout;
    EXPECT_FALSE(AreOutputsUpToDate({newer}, dir.File("gone.qtf"), ""));
}

// Test the one-line total and the progress line's figures.
TEST(BatchParts, TotalAndProgressTexts)
{
    BatchCounts counts;
    for (const BatchStatus status :
         {BatchStatus::Ok, BatchStatus::Ok, BatchStatus::Skipped, BatchStatus::Failed})
        counts.Add(status);
    EXPECT_EQ(FormatBatchTotal(counts, 8.26), "4 files: 2 ok, 1 skipped, 1 failed in 8.3 s");
    EXPECT_EQ(FormatBatchTotal(BatchCounts{1, 0, 0}, 0.0), "1 file: 1 ok, 0 skipped, 0 failed in 0.0 s");
    CombineOutcome outcome;
    outcome.shards = 4;
    outcome.counts = counts;
    EXPECT_EQ(FormatShardTotal(outcome), "4 files in 4 shards: 2 ok, 1 skipped, 1 failed");

    EXPECT_EQ(FormatBatchProgress(0, 12, 0, 1000, 0.0), "0 of 12 files");
    EXPECT_EQ(FormatBatchProgress(3, 12, 500000, 1000000, 2.0), "3 of 12 files, 250000 records/s, 0:04 left");
    EXPECT_EQ(FormatBatchProgress(3, 12, 100, 65 * 100 + 1, 1.0), "3 of 12 files, 100 records/s, 1:06 left");
    EXPECT_EQ(FormatBatchProgress(1, 2, 1, 7265, 1.0), "1 of 2 files, 1 records/s, 2:01:05 left");
}

// Test a status's message: what a pass told on one line, each text's line breaks turned into
// spaces, a reason in brackets after its text, the texts one after the other.
TEST(BatchParts, WhatAPassToldOnOneLine)
{
    const std::pair<std::vector<Problem>, std::string> cases[] = {
        {{}, ""},
        {{Failure(kErrWrite, "Cannot write x.", "No space left on device")},
         "Cannot write x. (No space left on device)"},
        {{Failure(kOk, "first\nsecond line"), Failure(kErrOpen, "third\r\n", "why\nso")},
         "first second line third   (why so)"},
        {{Failure(kOk, "asked?"), Failure(kErrNoInput, "no records")}, "asked? no records"},
    };
    for (const auto& [told, line] : cases)
        EXPECT_EQ(JoinOnOneLine(told), line);
}
} // namespace
