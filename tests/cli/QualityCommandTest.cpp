// tracktool quality, run as a user would run it.
#include "analysis/TrackingQuality.h"
#include "base/ResultCodes.h"
#include "cli/RunTool.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "support/TrackRuns.h"

#include <gtest/gtest.h>
#include <unistd.h>

// Test that the figures printed are the core's, line for line, and that the table written in the
// same pass is the core's table.
TEST(QualityCommand, PrintsTheCoresFiguresAndWritesItsTable)
{
    CTempDir dir;
    ASSERT_EQ(RunTool({"gen", dir.File("in.qtf"), "--records", "1500", "--seed", "5"}).exitCode, 0);
    const ToolResult result = RunTool({"quality", dir.File("in.qtf"), "--min", "5", "--max", "80", "--jump",
                                       "3", "--csv", dir.File("quality.csv")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");

    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    const QualityOptions options{5, 80, 3};
    QualitySummary summary;
    ASSERT_EQ(RunQualityReport(dir.File("in.qtf"), options, summary), kOk);
    std::string expected;
    for (const std::string& line : FormatQualityFigures(summary))
        expected += line + "\n";
    EXPECT_EQ(result.out, expected);
    EXPECT_NE(result.out.find("records: 1500\n"), std::string::npos);
    EXPECT_NE(result.out.find("largest jump 5: record "), std::string::npos); // the jumps are listed

    ASSERT_EQ(WriteQualityCsv(dir.File("in.qtf"), options, dir.File("core.csv")), kOk);
    EXPECT_EQ(ReadWholeFile(dir.File("quality.csv")), ReadWholeFile(dir.File("core.csv")));
}

TEST(QualityCommand, ExitStatusFollowsTheRun)
{
    CTempDir dir;
    const std::string ok = CTrackFileBuilder().AddSequence(3).Write(dir.File("ok.qtf"));
    const std::string tail = CTrackFileBuilder().AddSequence(3).WithTail(100).Write(dir.File("tail.qtf"));
    struct Case
    {
        std::vector<std::string> args;
        int exitCode;
        std::string err;
        bool printsFigures;
    };
    const Case cases[] = {
        {{"quality", ok, "--min", "50", "--max", "50", "--csv", dir.File("refused.csv")},
         1,
         "Invalid Values For Min/Max Target Distance Values, Unable To Complete Conversion\n",
         false},
        {{"quality", dir.File("none.qtf")},
         1,
         "Error opening file; Is the file/path name correct?\nNo such file or directory\n",
         false},
        {{"quality", ok, "--csv", dir.File("no/such.csv")},
         1,
         "Cannot create the quality table " + dir.File("no/such.csv") + ".\nNo such file or directory\n",
         false},
        {{"quality", tail}, 0, "Corrupt file - incomplete record encountered.\n", true},
        {{"quality", ok, "--min", "-3", "--max", "7"}, 0, "", true},
    };
    for (const Case& c : cases)
    {
        const ToolResult result = RunTool(c.args);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.err;
        EXPECT_EQ(result.err, c.err);
        EXPECT_EQ(result.out.find("records: 3\n") != std::string::npos, c.printsFigures) << result.out;
    }
    // The refused band opens nothing.
    EXPECT_NE(::access(dir.File("refused.csv").c_str(), F_OK), 0);
}

TEST(QualityCommand, UsageErrors)
{
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"quality"},
                                               {"quality", "a", "b"},
                                               {"quality", "a", "--min"},
                                               {"quality", "a", "--jump", "-1"},
                                               {"quality", "a", "--jump", "ten"},
                                               {"quality", "a", "--csv", ""},
                                               {"quality", "a", "--fast"}})
    {
        const ToolResult result = RunTool(args);
        EXPECT_EQ(result.exitCode, 2) << args.back();
        EXPECT_NE(
            result.err.find("usage: tracktool quality FILE [--min N] [--max N] [--jump PX] [--csv OUT.csv]"),
            std::string::npos)
            << result.err;
        EXPECT_EQ(result.out, "");
    }
}

// Test that the help says how the percentiles are taken, so that a figure can be checked elsewhere.
TEST(QualityCommand, HelpNamesThePercentileRule)
{
    const ToolResult result = RunTool({"quality", "--help"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(
        result.out.find("interpolate linearly\nbetween the closest ranks, as numpy's and pandas' default"),
        std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Exit status: 0 success"), std::string::npos);
    EXPECT_NE(RunTool({"--help"}).out.find("\n  quality "), std::string::npos);
}
