// What a batch must never do: write over one of its own inputs, share an output folder with another
// batch, leave the temporary files of a killed run lying about, or refuse a track the single
// commands accept.
#include "batch/BatchGuard.h"

#include "batch/BatchTestSupport.h"
#include "cli/RunTool.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace
{
// Test that an output, the status or a summary that is one of the batch's inputs (by a symbolic
// link, a hard link, or as a file given as an input) is refused before anything is written over
// it: the track that would write it fails with a message, and the batch fails at once for the
// status or a summary.
TEST(BatchGuard, NothingIsWrittenOverAnInput)
{
    struct Case
    {
        const char* what;
        std::function<void(const CTempDir&)> arrange;
        std::vector<std::string> args;
        std::string guarded; // the input that must keep its bytes
        std::string err;     // expected in stderr
        std::string out;     // the exact total on stdout; empty when the batch stops at once
    };
    const Case cases[] = {
        {"a symbolic link named like a track's output, to another track",
         [](const CTempDir& dir)
         { fs::create_symlink(dir.File("study/b.qtf"), dir.File("out/a.qtf_track.csv")); },
         {"batch", "study", "--out", "out", "--outputs", "records"},
         "study/b.qtf",
         "tracktool batch: a.qtf failed: The output " + std::string("OUT/a.qtf_track.csv") +
             " is one of the batch's inputs; no outputs were written.\n",
         "2 files: 1 ok, 0 skipped, 1 failed"},
        {"a hard link named like a track's output, to another track",
         [](const CTempDir& dir)
         { fs::create_hard_link(dir.File("study/b.qtf"), dir.File("out/a.qtf_track.csv")); },
         {"batch", "study", "--out", "out", "--outputs", "records"},
         "study/b.qtf",
         "is one of the batch's inputs; no outputs were written.\n",
         "2 files: 1 ok, 0 skipped, 1 failed"},
        {"the status a symbolic link to a track",
         [](const CTempDir& dir)
         { fs::create_symlink(dir.File("study/a.qtf"), dir.File("out/batch_status.csv")); },
         {"batch", "study", "--out", "out", "--outputs", "records"},
         "study/a.qtf",
         "tracktool batch: OUT/batch_status.csv is one of the batch's inputs; nothing was written.\n",
         ""},
        {"a summary a symbolic link to the layout",
         [](const CTempDir& dir)
         { fs::create_symlink(dir.File("layout.json"), dir.File("out/summary_sessions.csv")); },
         {"batch", "study", "--out", "out", "--outputs", "visits", "--layout", "layout.json"},
         "layout.json",
         "OUT/summary_sessions.csv is one of the batch's inputs; nothing was written.\n",
         ""},
        {"an input named like another track's output, beside it",
         [](const CTempDir& dir) { WriteWholeFile(dir.File("study/a.qtf_track.csv"), "keep me\n"); },
         {"batch", "study/a.qtf", "study/a.qtf_track.csv", "--out", "study", "--outputs", "records"},
         "study/a.qtf_track.csv",
         "tracktool batch: a.qtf failed: The output",
         "2 files: 1 ok, 0 skipped, 1 failed"}, // the table itself read as an old-style track
    };
    for (const Case& c : cases)
    {
        CTempDir dir;
        WriteStudy(dir.File("study"), {{"a.qtf", 300, 1}, {"b.qtf", 200, 2}});
        fs::copy_file(WriteArenaLayout(dir), dir.File("layout.json"));
        fs::create_directory(dir.File("out"));
        c.arrange(dir);
        const std::string before = ReadWholeFile(dir.File(c.guarded));
        const ToolResult r = RunTool(c.args, dir.Path());
        EXPECT_EQ(r.exitCode, 1) << c.what;
        std::string err = c.err;
        if (const std::size_t at = err.find("OUT"); at != std::string::npos)
            err.replace(at, 3, dir.File(c.args[3]));
        EXPECT_NE(r.err.find(err), std::string::npos) << c.what << "\n" << r.err;
        EXPECT_EQ(r.out.substr(0, c.out.size()), c.out) << c.what;
        EXPECT_EQ(ReadWholeFile(dir.File(c.guarded)), before) << c.what;
        if (c.out.empty())
        {
            EXPECT_FALSE(fs::exists(dir.File("out/a.qtf_track.csv"))) << c.what << ": no track was run";
        }
    }
}

// Test that a second batch into a folder a batch holds stops at once naming the holder, and that
// the folder is free again once the holder is done.
TEST(BatchGuard, OneBatchAtATimePerOutputFolder)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"a.qtf", 100, 1}});
    fs::create_directory(dir.File("out"));
    const std::vector<std::string> batch = {"batch", "study", "--out", "out", "--outputs", "records"};
    {
        CBatchLock held;
        ASSERT_TRUE(held.Take(dir.File("out")).IsOk());
        const ToolResult r = RunTool(batch, dir.Path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "The output folder " + dir.File("out") + " is in use by another batch (process " +
                             std::to_string(::getpid()) + "); nothing was written.\n");
        EXPECT_FALSE(fs::exists(dir.File("out/a.qtf_track.csv")));
        CBatchLock second;
        EXPECT_FALSE(second.Take(dir.File("out")).IsOk()) << "within one process too";
    }
    const ToolResult r = RunTool(batch, dir.Path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir.File("out/a.qtf_track.csv")));
    EXPECT_FALSE(fs::exists(dir.File("out/" + std::string(kBatchLockName)))) << "taken away when done";
}

// A process id that no running process has: a child that has ended and been waited for.
pid_t EndedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    int status = 0;
    ::waitpid(child, &status, 0);
    return child;
}

// Test that a run removes the temporary files that ended processes left in its output folder, at
// any depth, and nothing else: not a live process's, not a name of another pattern, not a file
// outside the folder.
TEST(BatchGuard, ARunClearsWhatKilledRunsLeft)
{
    CTempDir dir;
    WriteStudy(dir.File("study"), {{"d/a.qtf", 100, 1}, {"e/b.qtf", 100, 2}});
    const std::string dead = std::to_string(EndedProcess());
    const std::string live = std::to_string(::getpid());
    struct Left
    {
        std::string path;
        bool removed;
    };
    const Left left[] = {
        {"out/.a.qtf_heatmap.png." + dead + ".20.tmp", true},
        {"out/d/.a.qtf_track.csv." + dead + ".0.tmp", true},
        {"out/.batch_status.csv." + live + ".3.tmp", false},
        {"out/.notes.tmp", false},
        {"out/.a.qtf_track.csv." + dead + ".x.tmp", false},
        {"out/a.qtf_track.csv." + dead + ".1.tmp", false},
        {"elsewhere/.a.qtf_track.csv." + dead + ".1.tmp", false},
    };
    for (const Left& file : left)
    {
        fs::create_directories(fs::path(dir.File(file.path)).parent_path());
        WriteWholeFile(dir.File(file.path), "left\n");
    }
    const ToolResult r = RunTool({"batch", "study", "--out", "out", "--outputs", "records"}, dir.Path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const Left& file : left)
        EXPECT_EQ(fs::exists(dir.File(file.path)), !file.removed) << file.path;
}

// Test the names of temporary files, with the process that made them.
TEST(BatchGuard, TemporaryFileNames)
{
    const struct
    {
        std::string_view name;
        std::optional<long> owner;
    } cases[] = {
        {".t10.qtf_heatmap.png.13710.20.tmp", 13710},
        {".a.b.c.7.0.tmp", 7},
        {".x.1.2.tmp", 1},
        {"..1.2.tmp", std::nullopt}, // no name before the numbers
        {".x.0.2.tmp", std::nullopt},
        {".x.1.tmp", std::nullopt},
        {".x.1..tmp", std::nullopt},
        {".x.-1.2.tmp", std::nullopt},
        {"x.1.2.tmp", std::nullopt},
        {".x.1.2.tmpx", std::nullopt},
        {".x.1a.2.tmp", std::nullopt},
        {".tmp", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TemporaryFileOwner(c.name), c.owner) << c.name;
}
} // namespace
