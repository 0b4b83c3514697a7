// tracktool batch and tracktool combine, run as a user would run them over generated studies.
#include "analysis/VisitCsv.h"
#include "batch/BatchTestSupport.h"
#include "cli/RunTool.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <regex>
#include <set>

namespace fs = std::filesystem;

namespace
{
const std::string kAllOutputs = "events,visits,records,heatmap,plot,quality";

// The data rows of a table with prefix put before each (a folder before the file column).
std::string RowsWithPrefix(const std::string& table, const std::string& prefix)
{
    std::string rows;
    std::size_t start = table.find('\n') + 1;
    while (start < table.size())
    {
        const std::size_t end = table.find('\n', start);
        rows += prefix + table.substr(start, end + 1 - start);
        start = end + 1;
    }
    return rows;
}

// Sets environment variables for its lifetime (the tool runs with the test's environment), and
// takes them away afterwards.
class CScopedEnvironment
{
public:
    explicit CScopedEnvironment(const std::map<std::string, std::string>& variables)
    {
        for (const auto& [name, value] : variables)
        {
            ::setenv(name.c_str(), value.c_str(), 1);
            m_names.push_back(name);
        }
    }
    ~CScopedEnvironment()
    {
        for (const std::string& name : m_names)
            ::unsetenv(name.c_str());
    }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

private:
    std::vector<std::string> m_names;
};

// Test that tracks of the same name in different folders keep their outputs apart, below the output
// folder as below the study, and that each output is byte for byte what its single-file command
// writes (the visit tables' file column holding the path within the study).
TEST(BatchCommand, SameNamedTracksInAFolderTreeKeepTheirOutputsApart)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"day1/VT1.qtf", 3000, 1}, {"day2/VT1.qtf", 2500, 2}});
    const std::string layout = WriteArenaLayout(dir);
    const ToolResult r = RunTool(
        {"batch", "study", "--layout", layout, "--out", "results", "--outputs", kAllOutputs, "--jobs", "2"},
        dir.Path());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(
        std::regex_match(r.out, std::regex("2 files: 2 ok, 0 skipped, 0 failed in [0-9]+\\.[0-9] s\n")))
        << r.out;
    EXPECT_EQ(r.err, "");

    std::string regions = std::string(kRegionsCsvHeader) + "\n";
    std::string sessions = std::string(kSessionCsvHeader) + "\n";
    for (const std::string& day : {std::string("day1"), std::string("day2")})
    {
        const std::string track = dir.File("study/" + day + "/VT1.qtf");
        const std::string single = dir.File("single/" + day);
        fs::create_directories(single);
        ASSERT_EQ(RunTool({"events", track, "--layout", layout, "--dir", single}).exitCode, 0);
        ASSERT_EQ(RunTool({"visits", track, "--layout", layout, "--out", single}).exitCode, 0);
        ASSERT_EQ(RunTool({"records", track, single + "/VT1.qtf_track.csv"}).exitCode, 0);
        ASSERT_EQ(RunTool({"heatmap", track, single + "/VT1.qtf_heatmap.png", "--csv",
                           single + "/VT1.qtf_occupancy.csv", "--layout", layout})
                      .exitCode,
                  0);
        ASSERT_EQ(RunTool({"plot", track, single + "/VT1.qtf_plot.png", "--layout", layout}).exitCode, 0);
        const ToolResult quality = RunTool({"quality", track});
        ASSERT_EQ(quality.exitCode, 0);
        std::map<std::string, std::string> expected = FilesBelow(single);
        expected["VT1.qtf_quality.txt"] = quality.out;
        for (const char* table : {"VT1.qtf_visits.csv", "VT1.qtf_regions.csv", "VT1.qtf_session.csv"})
        {
            const std::string& text = expected[table];
            expected[table] = text.substr(0, text.find('\n') + 1) + RowsWithPrefix(text, day + "/");
        }
        EXPECT_EQ(FilesBelow(dir.File("results/" + day)), expected) << day;
        regions += RowsWithPrefix(expected["VT1.qtf_regions.csv"], "");
        sessions += RowsWithPrefix(expected["VT1.qtf_session.csv"], "");
    }
    EXPECT_EQ(ReadWholeFile(dir.File("results/summary_regions.csv")), regions);
    EXPECT_EQ(ReadWholeFile(dir.File("results/summary_sessions.csv")), sessions);
    EXPECT_EQ(WithoutSeconds(ReadWholeFile(dir.File("results/batch_status.csv"))),
              "file,status,message\nday1/VT1.qtf,ok,\nday2/VT1.qtf,ok,\n");
    EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.File("results"))).size(), 5u) << "two folders, three tables";
}

// Test that the pictures are byte for byte those of tracktool heatmap and tracktool plot with the
// same settings, whatever the settings, with a layout or without one.
TEST(BatchCommand, PicturesAreThoseOfTheirCommands)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"VT1.qtf", 2000, 5}});
    const std::string track = dir.File("study/VT1.qtf");
    const std::string layout = WriteArenaLayout(dir);
    struct Case
    {
        std::vector<std::string> batch;   // the batch's options
        std::vector<std::string> heatmap; // the same settings for tracktool heatmap
        std::vector<std::string> plot;    // and for tracktool plot
    };
    const Case cases[] = {
        {{"--layout", layout}, {"--layout", layout}, {"--layout", layout}},
        {{}, {}, {}},
        {{"--layout", layout, "--bin", "7", "--sigma", "1.5", "--vmax", "2.5", "--scale", "3", "--every",
          "0"},
         {"--layout", layout, "--bin", "7", "--sigma", "1.5", "--vmax", "2.5", "--scale", "3"},
         {"--layout", layout, "--every", "0", "--scale", "3"}},
        {{"--scale", "1", "--every", "13"}, {"--scale", "1"}, {"--every", "13"}},
    };
    for (const Case& c : cases)
    {
        CTempDir out;
        std::vector<std::string> batch = {"batch",           track,       "--out",
                                          out.File("batch"), "--outputs", "heatmap,plot"};
        batch.insert(batch.end(), c.batch.begin(), c.batch.end());
        ASSERT_EQ(RunTool(batch).exitCode, 0) << c.batch.size();
        std::vector<std::string> heatmap = {"heatmap", track, out.File("h.png"), "--csv", out.File("h.csv")};
        heatmap.insert(heatmap.end(), c.heatmap.begin(), c.heatmap.end());
        ASSERT_EQ(RunTool(heatmap).exitCode, 0);
        std::vector<std::string> plot = {"plot", track, out.File("p.png")};
        plot.insert(plot.end(), c.plot.begin(), c.plot.end());
        ASSERT_EQ(RunTool(plot).exitCode, 0);
        EXPECT_NE(ReadWholeFile(out.File("h.png")), "");
        EXPECT_EQ(ReadWholeFile(out.File("batch/VT1.qtf_heatmap.png")), ReadWholeFile(out.File("h.png")))
            << c.batch.size();
        EXPECT_EQ(ReadWholeFile(out.File("batch/VT1.qtf_occupancy.csv")), ReadWholeFile(out.File("h.csv")));
        EXPECT_EQ(ReadWholeFile(out.File("batch/VT1.qtf_plot.png")), ReadWholeFile(out.File("p.png")))
            << c.batch.size();
    }
}

// Test that a track that cannot be read fails alone: the others are complete, its outputs are
// absent, its status and a line on stderr say why, and the exit status is 1.
TEST(BatchCommand, ABadTrackFailsAloneAndLeavesNoOutputs)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"a.qtf", 900, 1}, {"b.qtf", 0, 0}, {"c.qtf", 800, 3}, {"d.qtf", 700, 4}});
    WriteWholeFile(dir.File("study/bad.qtf"), std::string(3000, 'x')); // an old-style file of one record
    const ToolResult r = RunTool({"batch", "study", "study/gone.qtf", "--layout", WriteArenaLayout(dir),
                                  "--out", "out", "--jobs", "2"},
                                 dir.Path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(std::regex_match(r.out, std::regex("6 files: 4 ok, 0 skipped, 2 failed in [0-9.]+ s\n")))
        << r.out;
    EXPECT_EQ(
        WithoutSeconds(ReadWholeFile(dir.File("out/batch_status.csv"))),
        "file,status,message\n"
        "a.qtf,ok,\n"
        "b.qtf,failed,b.qtf has no records; no outputs were written.\n"
        "bad.qtf,ok,Corrupt file - incomplete record encountered.\n"
        "c.qtf,ok,\n"
        "d.qtf,ok,\n"
        "gone.qtf,failed,Error opening file; Is the file/path name correct? (No such file or directory)\n");
    EXPECT_NE(r.err.find("tracktool batch: b.qtf failed: b.qtf has no records; no outputs were written.\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("tracktool batch: gone.qtf failed: Error opening file"), std::string::npos) << r.err;
    std::set<std::string> tracksWithOutputs;
    for (const auto& [name, bytes] : FilesBelow(dir.File("out")))
        tracksWithOutputs.insert(name.substr(0, name.find('_')));
    EXPECT_EQ(tracksWithOutputs,
              (std::set<std::string>{"a.qtf", "bad.qtf", "batch", "c.qtf", "d.qtf", "summary"}));
    const std::string sessions = ReadWholeFile(dir.File("out/summary_sessions.csv"));
    EXPECT_EQ(std::count(sessions.begin(), sessions.end(), '\n'), 5) << sessions;
}

// Test that a second run does only what is left: tracks whose outputs are all there and newer
// than the track and the layout are skipped (their rows still in the summaries), a track with an
// output missing or changed since is made again, and --force makes every track again.
TEST(BatchCommand, ARerunDoesOnlyWhatIsLeft)
{
    CTempDir dir;
    WriteStudy(dir.File("study"),
               {{"t1.qtf", 600, 1}, {"t2.qtf", 600, 2}, {"t3.qtf", 600, 3}, {"t4.qtf", 600, 4}});
    const std::string layout = WriteArenaLayout(dir);
    const std::vector<std::string> batch = {"batch", "study", "--layout", layout,
                                            "--out", "out",   "--jobs",   "2"};
    ASSERT_EQ(RunTool(batch, dir.Path()).exitCode, 0);
    const std::string summary = ReadWholeFile(dir.File("out/summary_regions.csv"));
    // Made half an hour ago: newer than the tracks and the layout.
    const auto dateOutputsBack = [&dir]
    {
        for (const auto& [name, bytes] : FilesBelow(dir.File("out")))
            DateBack(dir.File("out/" + name), std::chrono::minutes(30));
    };
    const auto statuses = [&dir]
    {
        std::string text = WithoutSeconds(ReadWholeFile(dir.File("out/batch_status.csv")));
        return text.substr(text.find('\n') + 1);
    };
    struct Step
    {
        const char* what;
        std::function<void()> change;
        std::vector<std::string> extra;
        std::string statuses;
    };
    const Step steps[] = {
        {"an interrupted run: one track's outputs incomplete, one track changed since",
         [&]
         {
             dateOutputsBack();
             fs::remove(dir.File("out/t2.qtf_session.csv"));
             DateBack(dir.File("study/t3.qtf"), std::chrono::minutes(10));
         },
         {},
         "t1.qtf,skipped,\nt2.qtf,ok,\nt3.qtf,ok,\nt4.qtf,skipped,\n"},
        {"nothing changed",
         [] {},
         {},
         "t1.qtf,skipped,\nt2.qtf,skipped,\nt3.qtf,skipped,\nt4.qtf,skipped,\n"},
        {"forced", [] {}, {"--force"}, "t1.qtf,ok,\nt2.qtf,ok,\nt3.qtf,ok,\nt4.qtf,ok,\n"},
        {"the layout changed since",
         [&]
         {
             dateOutputsBack();
             DateBack(layout, std::chrono::minutes(10));
         },
         {},
         "t1.qtf,ok,\nt2.qtf,ok,\nt3.qtf,ok,\nt4.qtf,ok,\n"},
    };
    for (const Step& step : steps)
    {
        step.change();
        const auto before = FilesBelow(dir.File("out"));
        std::map<std::string, fs::file_time_type> times;
        for (const auto& [name, bytes] : before)
            times[name] = fs::last_write_time(dir.File("out/" + name));
        std::vector<std::string> args = batch;
        args.insert(args.end(), step.extra.begin(), step.extra.end());
        const ToolResult r = RunTool(args, dir.Path());
        EXPECT_EQ(r.exitCode, 0) << step.what << "\n" << r.err;
        EXPECT_EQ(statuses(), step.statuses) << step.what;
        EXPECT_EQ(ReadWholeFile(dir.File("out/summary_regions.csv")), summary) << step.what;
        // A skipped track's outputs are untouched; a track made again has every output anew.
        for (const auto& [name, time] : times)
        {
            const std::string track = name.substr(0, name.find('_'));
            if (track == "batch" || track == "summary")
                continue;
            const bool skipped = step.statuses.find(track + ",skipped") != std::string::npos;
            EXPECT_EQ(fs::last_write_time(dir.File("out/" + name)) == time, skipped)
                << step.what << ": " << name;
        }
    }
}

// Test that shards 0 .. 3 of 4, combined, give byte for byte the files of one run over the whole
// study (the status but for its seconds), with the summaries or without them; and that combine
// refuses shards that are incomplete or of different splits, saying what is missing.
TEST(BatchCommand, ShardsCombinedAreOneRun)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"c.qtf", 500, 1},
                                   {"day1/VT1.qtf", 700, 2},
                                   {"day1/VT2.qtf", 650, 3},
                                   {"day2/VT1.qtf", 600, 4},
                                   {"day2/bad.qtf", 0, 0},
                                   {"day3/a.dat", 550, 6},
                                   {"day3/b.QTF", 800, 7}});
    const std::string layout = WriteArenaLayout(dir);
    for (const std::string& outputs : {kAllOutputs, std::string("events,quality")})
    {
        const std::string whole = dir.File(outputs == kAllOutputs ? "whole-all" : "whole-some");
        const std::string split = dir.File(outputs == kAllOutputs ? "split-all" : "split-some");
        const std::vector<std::string> batch = {"batch", "study", "--layout", layout, "--outputs", outputs};
        const auto withOut = [&batch](const std::string& out, std::vector<std::string> more)
        {
            std::vector<std::string> args = batch;
            args.insert(args.end(), {"--out", out});
            args.insert(args.end(), more.begin(), more.end());
            return args;
        };
        EXPECT_EQ(RunTool(withOut(whole, {}), dir.Path()).exitCode, 1) << "one track fails";
        for (int k = 0; k < 3; ++k)
            RunTool(withOut(split, {"--shard", std::to_string(k) + "/4", "--jobs", "1"}), dir.Path());

        const ToolResult early = RunTool({"combine", split});
        EXPECT_EQ(early.exitCode, 1);
        EXPECT_EQ(early.err,
                  "Cannot combine the shards in " + split +
                      ": 1 of 4 shards has not finished: there is no batch_status.shard-3-of-4.csv.\n");
        EXPECT_FALSE(fs::exists(split + "/batch_status.csv"));

        RunTool(withOut(split, {"--shard", "3/4", "--jobs", "2"}), dir.Path());
        const ToolResult combined = RunTool({"combine", split});
        EXPECT_EQ(combined.exitCode, 1) << combined.err;
        EXPECT_EQ(combined.out, "7 files in 4 shards: 6 ok, 0 skipped, 1 failed\n");

        const auto wholeFiles = FilesBelow(whole);
        auto splitFiles = FilesBelow(split);
        for (auto it = splitFiles.begin(); it != splitFiles.end();)
            it = it->first.find(".shard-") != std::string::npos ? splitFiles.erase(it) : std::next(it);
        ASSERT_EQ(wholeFiles.size(), splitFiles.size()) << outputs;
        for (const auto& [name, bytes] : wholeFiles)
        {
            if (name == "batch_status.csv")
                EXPECT_EQ(WithoutSeconds(splitFiles[name]), WithoutSeconds(bytes)) << outputs;
            else
                EXPECT_EQ(splitFiles[name], bytes) << outputs << ": " << name;
        }
        EXPECT_EQ(fs::exists(whole + "/summary_regions.csv"), outputs == kAllOutputs);

        // A shard of another split beside them.
        fs::copy_file(split + "/batch_status.shard-0-of-4.csv", split + "/batch_status.shard-0-of-2.csv");
        const ToolResult mixed = RunTool({"combine", split});
        EXPECT_EQ(mixed.exitCode, 1);
        EXPECT_NE(mixed.err.find("shards of different splits (of 2, of 4)"), std::string::npos) << mixed.err;
    }
}

// Test that a list file adds its paths (comments, blank lines and Windows line ends skipped), a
// path named twice counts once, and a missing one is a failed track, not a crash.
TEST(BatchCommand, ListFileAddsItsPaths)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"a/one.qtf", 300, 1}, {"a/two.qtf", 300, 2}, {"b/three.dat", 300, 3}});
    WriteWholeFile(dir.File("list.txt"), "# tracks of the pilot\r\n"
                                         "study/a/one.qtf\r\n"
                                         "\r\n"
                                         "   # study/a/two.qtf\n" +
                                             dir.File("study/b") + "\n" + "study/a/../a/one.qtf\n" +
                                             "study/missing.qtf\n");
    const ToolResult r =
        RunTool({"batch", "study/b/three.dat", "--from", "list.txt", "--out", "out", "--outputs", "visits"},
                dir.Path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(WithoutSeconds(ReadWholeFile(dir.File("out/batch_status.csv"))),
              "file,status,message\n"
              "a/one.qtf,ok,\n"
              "b/three.dat,ok,\n"
              "missing.qtf,failed,Error opening file; Is the file/path name correct? (No such file or "
              "directory)\n");
}

// Test that --shard auto takes its shard from the array variables, and that missing or wrong ones
// are a usage error that names them.
TEST(BatchCommand, ShardAutoTakesTheArrayVariables)
{
    CTempDir dir;
    WriteStudy(
        dir.File("study"),
        {{"t0.qtf", 200, 1}, {"t1.qtf", 200, 2}, {"t2.qtf", 200, 3}, {"t3.qtf", 200, 4}, {"t4.qtf", 200, 5}});
    const std::vector<std::string> batch = {"batch", "study", "--out", "out", "--shard", "auto"};
    {
        const CScopedEnvironment array(
            {{"SLURM_ARRAY_TASK_ID", "2"}, {"SLURM_ARRAY_TASK_COUNT", "3"}, {"SLURM_ARRAY_TASK_MIN", "1"}});
        const ToolResult r = RunTool(batch, dir.Path());
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(WithoutSeconds(ReadWholeFile(dir.File("out/batch_status.shard-1-of-3.csv"))),
                  "file,status,message\nt1.qtf,ok,\nt4.qtf,ok,\n");
        EXPECT_TRUE(fs::exists(dir.File("out/summary_regions.shard-1-of-3.csv")));
        EXPECT_FALSE(fs::exists(dir.File("out/batch_status.csv")));
    }
    const std::pair<std::map<std::string, std::string>, std::string> refused[] = {
        {{},
         "tracktool batch: --shard: auto: SLURM_ARRAY_TASK_ID, SLURM_ARRAY_TASK_COUNT and "
         "SLURM_ARRAY_TASK_MIN "
         "are not set (an array job sets them)\n"},
        {{{"SLURM_ARRAY_TASK_ID", "3"}, {"SLURM_ARRAY_TASK_COUNT", "3"}},
         "tracktool batch: --shard: auto: SLURM_ARRAY_TASK_MIN is not set (an array job sets them)\n"},
        {{{"SLURM_ARRAY_TASK_ID", "3"}, {"SLURM_ARRAY_TASK_COUNT", "3"}, {"SLURM_ARRAY_TASK_MIN", "0"}},
         "tracktool batch: --shard: auto: SLURM_ARRAY_TASK_ID 3 minus SLURM_ARRAY_TASK_MIN 0 is not a shard "
         "of "
         "SLURM_ARRAY_TASK_COUNT 3 (the array's ids must run without gaps)\n"},
    };
    for (const auto& [variables, message] : refused)
    {
        const CScopedEnvironment array(variables);
        const ToolResult r = RunTool(batch, dir.Path());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.err.substr(0, r.err.find("usage: ")), message);
    }
}

// Test that a malformed command line exits 2 with the command's usage and writes nothing.
TEST(BatchCommand, UsageErrorsExitWithTwoAndWriteNothing)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"t.qtf", 100, 1}});
    const std::vector<std::vector<std::string>> cases = {
        {"batch", "--out", "out"},
        {"batch", "study"},
        {"batch", "study", "--out", ""},
        {"batch", "", "--out", "out"},
        {"batch", "study", "--out", "out", "--from", ""},
        {"batch", "study", "--out", "out", "--outputs", "events,bogus"},
        {"batch", "study", "--out", "out", "--outputs", ""},
        {"batch", "study", "--out", "out", "--jobs", "0"},
        {"batch", "study", "--out", "out", "--jobs", "two"},
        {"batch", "study", "--out", "out", "--shard", "4/4"},
        {"batch", "study", "--out", "out", "--shard", "1-4"},
        {"batch", "study", "--out", "out", "--shard"},
        {"batch", "study", "--out", "out", "--jump", "-1"},
        {"batch", "study", "--out", "out", "--bin", "0"},
        {"batch", "study", "--out", "out", "--sigma", "-1"},
        {"batch", "study", "--out", "out", "--vmax", "0"},
        {"batch", "study", "--out", "out", "--scale", "9"},
        {"batch", "study", "--out", "out", "--every", "-1"},
        {"batch", "study", "--out", "out", "--layout", "a.json", "--region", "1,2,3,4"},
        {"batch", "study", "--out", "out", "--bogus"},
        {"combine"},
        {"combine", "out", "more"},
    };
    for (const auto& args : cases)
    {
        const ToolResult r = RunTool(args, dir.Path());
        EXPECT_EQ(r.exitCode, 2) << args.back();
        EXPECT_NE(r.err.find("usage: tracktool " + args.front()), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // The quality band is checked as the conversion checks it, before anything is read.
    const ToolResult band =
        RunTool({"batch", "study", "--out", "out", "--min", "60", "--max", "20"}, dir.Path());
    EXPECT_EQ(band.exitCode, 2);
    EXPECT_NE(band.err, "");
    EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.Path())).size(), 1u) << "only the study";
}

// Test that what keeps the whole batch from running is told once with exit status 1, before any
// track is run.
TEST(BatchCommand, WhatStopsTheWholeBatchExitsWithOne)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"t.qtf", 100, 1}});
    fs::create_directory(dir.File("empty"));
    WriteWholeFile(dir.File("taken"), "a file where the output folder goes");
    struct Case
    {
        std::vector<std::string> args;
        std::string err;
    };
    const Case cases[] = {
        {{"batch", "study", "--out", "out", "--layout", "missing.json"}, "Cannot open the region layout"},
        {{"batch", "study", "--out", "out", "--from", "missing.txt"},
         "Cannot open the list of inputs missing.txt.\nNo such file or directory\n"},
        {{"batch", "empty", "--out", "out"},
         "tracktool batch: no tracker file (.qtf or .dat) in the inputs\n"},
        {{"batch", "study", "--out", "taken/out"},
         "Cannot make the folder " + dir.File("taken/out") + "; nothing was written.\n"},
        {{"combine", "empty"},
         "Cannot combine the shards in empty: there is no shard's status file "
         "(batch_status.shard-K-of-N.csv).\n"},
    };
    for (const Case& c : cases)
    {
        const ToolResult r = RunTool(c.args, dir.Path());
        EXPECT_EQ(r.exitCode, 1) << c.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(fs::exists(dir.File("out"))) << c.err;
    }
}
} // namespace
