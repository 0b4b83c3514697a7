// tracktool's help, version and standard output, run as a user would run it.
#include "cli/RunTool.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{
const std::vector<std::string> kCommands = {"gen",   "info",   "convert", "events", "plot",
                                            "frame", "visits", "records", "heatmap"};

// True when help has a line for option: indented, followed by its description.
bool ListsOption(const std::string& help, const std::string& option)
{
    const std::size_t at = help.find("\n  " + option);
    const std::size_t end = at + 3 + option.size();
    return at != std::string::npos && end < help.size() && (help[end] == ' ' || help[end] == '\n');
}

// Test that the tool's help lists every command and goes to stdout with status 0, however asked.
TEST(ToolHelp, ToolHelpListsEveryCommand)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"help"}})
    {
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.exitCode, 0) << args[0];
        EXPECT_EQ(result.err, "") << args[0];
        EXPECT_NE(result.out.find("usage: tracktool COMMAND [ARGS...]"), std::string::npos) << result.out;
        for (const std::string& command : kCommands)
            EXPECT_TRUE(ListsOption(result.out, command)) << command;
    }
}

// Test that each command's help shows its usage line and its options, on stdout with status 0.
TEST(ToolHelp, CommandHelpShowsItsUsageAndOptions)
{
    struct Case
    {
        std::string command;
        std::string usage;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        {"gen",
         "usage: tracktool gen OUT [--records N] [--seed S] [--old-style] [--partial BYTES]\n",
         {"--records N", "--seed S", "--old-style", "--partial BYTES"}},
        {"info", "usage: tracktool info FILE\n", {}},
        {"convert", "usage: tracktool convert SRC DST [--min N] [--max N]\n", {"--min N", "--max N"}},
        {"events",
         "usage: tracktool events FILE [--region L,T,R,B[:NAME]]... [--circle CX,CY,R[:NAME]]... [--polygon "
         "X1,Y1,X2,Y2,X3,Y3[,...][:NAME]]... [--layout LAYOUT] [--dir DIR]\n",
         {"--region L,T,R,B[:NAME]", "--circle CX,CY,R[:NAME]", "--polygon X1,Y1,X2,Y2,X3,Y3[,...][:NAME]",
          "--layout LAYOUT", "--dir DIR"}},
        {"visits",
         "usage: tracktool visits FILE [--layout LAYOUT] [--region L,T,R,B[:NAME]]... [--circle "
         "CX,CY,R[:NAME]]... [--polygon X1,Y1,X2,Y2,X3,Y3[,...][:NAME]]... [--margin N] [--out DIR]\n",
         {"--layout LAYOUT", "--region L,T,R,B[:NAME]", "--circle CX,CY,R[:NAME]", "--margin N",
          "--out DIR"}},
        {"records", "usage: tracktool records FILE OUT.csv\n", {}},
        {"plot",
         "usage: tracktool plot FILE OUT [--every N] [--region L,T,R,B]... [--circle CX,CY,R]... [--polygon "
         "X1,Y1,X2,Y2,X3,Y3[,...]]... [--layout LAYOUT] [--selected K] [--scale K]\n",
         {"--every N", "--region L,T,R,B", "--circle CX,CY,R", "--layout LAYOUT", "--selected K",
          "--scale K"}},
        {"frame",
         "usage: tracktool frame FILE INDEX OUT [--targets] [--colors LIST] [--region L,T,R,B]... [--circle "
         "CX,CY,R]... [--polygon X1,Y1,X2,Y2,X3,Y3[,...]]... [--layout LAYOUT] [--selected K] [--scale K]\n",
         {"--targets", "--colors LIST", "--layout LAYOUT", "--scale K"}},
        {"heatmap",
         "usage: tracktool heatmap FILE OUT.png [--bin PX] [--sigma BINS] [--vmax SECONDS] [--region "
         "L,T,R,B[:NAME]]... [--circle CX,CY,R[:NAME]]... [--polygon X1,Y1,X2,Y2,X3,Y3[,...][:NAME]]... "
         "[--layout "
         "LAYOUT] [--csv OUT.csv] [--scale K]\n",
         {"--bin PX", "--sigma BINS", "--vmax SECONDS", "--layout LAYOUT", "--csv OUT.csv", "--scale K"}},
    };
    for (const Case& c : cases)
    {
        for (const std::vector<std::string>& args :
             std::vector<std::vector<std::string>>{{c.command, "--help"}, {"help", c.command}})
        {
            const ToolResult result = RunTool(args);
            EXPECT_EQ(result.exitCode, 0) << c.command;
            EXPECT_EQ(result.err, "") << c.command;
            EXPECT_NE(result.out.find(c.usage), std::string::npos) << result.out;
            for (const std::string& option : c.options)
                EXPECT_TRUE(ListsOption(result.out, option)) << option << "\n" << result.out;
        }
    }
}

// Test that --version prints the project's version.
TEST(ToolHelp, VersionIsTheProjectVersion)
{
    const ToolResult result = RunTool({"--version"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "tracktool " TRACKPLAY_VERSION "\n");
    EXPECT_EQ(result.err, "");
}

// Test that output that cannot be written (a full device) fails the run with a message, whether
// it is a command's report, a help text or the version.
TEST(ToolOutput, UnwritableStandardOutputFails)
{
    if (::access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full here";
    CTempDir dir;
    const std::string track = CTrackFileBuilder().AddSequence(3).Write(dir.File("t.qtf"));
    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        bool outputLost; // the run had output for stdout, and says it could not write it
    };
    const Case cases[] = {
        {{"info", track}, 1, true},
        {{"--help"}, 1, true},
        {{"gen", "--help"}, 1, true},
        {{"--version"}, 1, true},
        {{"events", track, "--region", "0,0,9,9", "--dir", dir.Path()}, 1, true},
        {{"visits", track, "--region", "0,0,9,9", "--out", dir.Path()}, 1, true},
        {{"info", dir.File("missing.qtf")}, 1, false}, // failed before any output
        {{"info"}, 2, false},                          // a usage error writes nothing to stdout
    };
    for (const Case& c : cases)
    {
        const ToolResult result = RunToolWithStdout(c.args, "/dev/full");
        EXPECT_EQ(result.exitCode, c.exitCode) << c.args[0];
        const bool saysLost =
            result.err.find("tracktool: cannot write to standard output\nNo space left on device\n") !=
            std::string::npos;
        EXPECT_EQ(saysLost, c.outputLost) << result.err;
    }
}

// Test that numbers are whole decimal numbers in range for every command that takes one: what a
// lenient conversion would accept is a usage error.
TEST(ToolNumbers, MalformedOrOutOfRangeNumbersAreUsageErrors)
{
    CTempDir dir;
    const std::string track = CTrackFileBuilder().AddSequence(3).Write(dir.File("t.qtf"));
    const std::vector<std::vector<std::string>> prefixes = {
        {"gen", dir.File("g.qtf"), "--records"},
        {"gen", dir.File("g.qtf"), "--seed"},
        {"convert", track, dir.File("c.qtf"), "--min"},
        {"plot", track, dir.File("p.bmp"), "--every"},
        {"plot", track, dir.File("p.bmp"), "--selected"},
        {"frame", track},
        {"visits", track, "--region", "0,0,9,9", "--margin"},
    };
    for (const char* bad : {" 5", "+5", "5x", "", "0x10", "99999999999"})
    {
        for (std::vector<std::string> args : prefixes)
        {
            args.push_back(bad);
            if (args[0] == "frame")
                args.push_back(dir.File("f.bmp"));
            const ToolResult result = RunTool(args);
            EXPECT_EQ(result.exitCode, 2) << args[0] << " '" << bad << "'";
            EXPECT_NE(result.err.find("'" + std::string(bad) + "' is not a whole number"), std::string::npos)
                << result.err;
            EXPECT_NE(result.err.find("usage: tracktool " + args[0]), std::string::npos) << result.err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("g.qtf")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("p.bmp")));
}
} // namespace
