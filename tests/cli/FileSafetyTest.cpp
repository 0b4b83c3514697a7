// tracktool never destroys what it reads and never waits on what is not a file: run as a user would
// run it, with outputs that are the track under another name, pipes, devices and folders.
#include "cli/RunTool.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

namespace
{
namespace fs = std::filesystem;

std::string Quote(const std::string& word)
{
    std::string quoted = "'";
    for (const char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a shell line with tracktool's path for "TOOL", under a time limit, so that a command that
// waits on a pipe fails the test (exit 124) instead of hanging it. stderr goes to errPath.
int RunShell(const std::string& line, const std::string& errPath)
{
    std::string command = line;
    const std::string tool = "timeout 20 " + Quote(TRACKTOOL_PATH);
    for (auto at = command.find("TOOL"); at != std::string::npos; at = command.find("TOOL", at + tool.size()))
        command.replace(at, 4, tool);
    const int status = std::system((command + " 2>" + Quote(errPath)).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

// Test that an output naming the track being read (itself, through a link, or an event file name
// planted as a link to it) is refused before anything is written, and the track stays whole.
TEST(FileSafety, OutputsThatAreTheTrackAreRefusedAndTheTrackKept)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> args; // "@" stands for the track, "%" for the folder
        const char* link;              // a symbolic link to the track planted first, or nullptr
    };
    const Case cases[] = {
        {"plot onto itself", {"plot", "@", "@"}, nullptr},
        {"frame onto itself", {"frame", "@", "3", "@"}, nullptr},
        {"plot onto a link to it", {"plot", "@", "%/link.bmp"}, "link.bmp"},
        {"convert onto itself", {"convert", "@", "@"}, nullptr},
        {"an event file that is a link to it",
         {"events", "@", "--region", "0,0,640,480", "--dir", "%"},
         "run.qtf_Box0_Enter.qsf"},
    };
    for (const Case& c : cases)
    {
        CTempDir dir;
        const std::string track = CTrackFileBuilder().AddSequence(200).Write(dir.File("run.qtf"));
        const std::string before = ReadWholeFile(track);
        if (c.link != nullptr)
            fs::create_symlink(track, dir.File(c.link));
        std::vector<std::string> args;
        for (const std::string& arg : c.args)
            args.push_back(arg == "@" ? track : arg.starts_with("%") ? dir.Path() + arg.substr(1) : arg);

        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.exitCode, 1) << c.name;
        EXPECT_EQ(ReadWholeFile(track), before) << c.name;
        EXPECT_FALSE(result.err.empty()) << c.name;
        EXPECT_EQ(result.err.find("Completed"), std::string::npos) << c.name;
        if (c.link != nullptr)
        {
            EXPECT_TRUE(fs::is_symlink(dir.File(c.link))) << c.name;
        }
    }
}

// Test that pipes, devices and folders are refused at once, saying what they are, and nothing is
// written in their place.
TEST(FileSafety, WhatIsNotAFileIsRefusedAtOnceAndNamed)
{
    CTempDir dir;
    const std::string track = CTrackFileBuilder().AddSequence(200).Write(dir.File("run.qtf"));
    const std::string fifo = dir.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string out = dir.File("out.qtf");
    struct Case
    {
        const char* name;
        std::string line;
        const char* said;
    };
    const Case cases[] = {
        {"a track read from a pipe", "cat " + Quote(track) + " | TOOL convert /dev/stdin " + Quote(out),
         "named pipe"},
        {"a named pipe as the source", "TOOL convert " + Quote(fifo) + " " + Quote(out), "named pipe"},
        {"an endless device as the source", "TOOL convert /dev/zero " + Quote(out), "device"},
        {"a folder as the track", "TOOL info " + Quote(dir.Path()), "directory"},
        {"a named pipe as the track", "TOOL info " + Quote(fifo), "named pipe"},
        {"a named pipe as the picture", "TOOL plot " + Quote(track) + " " + Quote(fifo), "named pipe"},
        {"a named pipe as the generated track", "TOOL gen " + Quote(fifo) + " --records 5", "named pipe"},
        {"a folder as the converted track", "TOOL convert " + Quote(track) + " " + Quote(dir.Path()),
         "directory"},
    };
    for (const Case& c : cases)
    {
        // Standard input is left alone where the line pipes into it.
        const std::string input = c.line.find('|') == std::string::npos ? " </dev/null" : "";
        const int exitCode = RunShell(c.line + " >/dev/null" + input, dir.File("err"));
        EXPECT_EQ(exitCode, 1) << c.name;
        const std::string err = ReadWholeFile(dir.File("err"));
        EXPECT_NE(err.find(c.said), std::string::npos) << c.name << ": " << err;
        EXPECT_FALSE(fs::exists(out)) << c.name;
        EXPECT_TRUE(fs::is_fifo(fifo)) << c.name;
    }
}
