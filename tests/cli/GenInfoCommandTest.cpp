// tracktool gen and info, run as a user would run them.
#include "cli/RunTool.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackFileHeader.h"

#include <gtest/gtest.h>

TEST(GenCommand, SameSeedGivesSameBytesAndOtherSeedsDiffer)
{
    CTempDir dir;
    ASSERT_EQ(RunTool({"gen", dir.File("a.qtf"), "--records", "500", "--seed", "9"}).exitCode, 0);
    ASSERT_EQ(RunTool({"gen", dir.File("b.qtf"), "--records", "500", "--seed", "9"}).exitCode, 0);
    ASSERT_EQ(RunTool({"gen", dir.File("c.qtf"), "--records", "500", "--seed", "10"}).exitCode, 0);
    const std::string a = ReadWholeFile(dir.File("a.qtf"));
    EXPECT_EQ(a.size(), kTrackHeaderSize + 500u * kTrackRecordSize);
    EXPECT_EQ(a, ReadWholeFile(dir.File("b.qtf")));
    EXPECT_NE(a, ReadWholeFile(dir.File("c.qtf")));
    EXPECT_EQ(a.compare(0, kTrackHeaderTag.size(), kTrackHeaderTag), 0);
}

TEST(GenCommand, OldStyleAndPartialShapeTheFile)
{
    CTempDir dir;
    ASSERT_EQ(
        RunTool({"gen", dir.File("old.dat"), "--records", "7", "--old-style", "--partial", "100"}).exitCode,
        0);
    const std::string bytes = ReadWholeFile(dir.File("old.dat"));
    EXPECT_EQ(bytes.size(), 7u * kTrackRecordSize + 100u);
    EXPECT_NE(bytes.compare(0, kTrackHeaderTag.size(), kTrackHeaderTag), 0);
}

TEST(GenCommand, GeneratedTrackIsRealistic)
{
    CTempDir dir;
    ASSERT_EQ(RunTool({"gen", dir.File("t.qtf"), "--records", "2000", "--seed", "3"}).exitCode, 0);
    CTrackFile file;
    ASSERT_EQ(file.Open(dir.File("t.qtf")), 0);
    ASSERT_EQ(file.GetRecordCount(), 2000u);
    std::int64_t previous = 0;
    std::uint32_t withTargets = 0;
    std::uint32_t withPoints = 0;
    for (std::uint32_t i = 0; i < 2000; ++i)
    {
        TrackRecord record;
        ASSERT_EQ(file.GetRecord(record, i), 0);
        const std::int64_t t = record.timestamp;
        if (i > 0)
        {
            EXPECT_GE(t - previous, 16666);
            EXPECT_LE(t - previous, 16667);
        }
        previous = t;
        EXPECT_GE(std::int32_t{record.x}, 0);
        EXPECT_LT(std::int32_t{record.x}, 640);
        EXPECT_GE(std::int32_t{record.y}, 0);
        EXPECT_LT(std::int32_t{record.y}, 480);
        const auto targets = CopyTargets(record);
        if (CountListEntries(targets) >= 3)
            ++withTargets;
        if (CountListEntries(CopyPoints(record)) > 0)
            ++withPoints;
    }
    // Occlusions are occasional: most records carry at least three targets.
    EXPECT_GT(withTargets, 1800u);
    EXPECT_GT(withPoints, 1900u);
}

TEST(GenCommand, UsageErrorsExitWithTwo)
{
    struct Case
    {
        std::vector<std::string> args;
    };
    const Case cases[] = {{{"gen"}},
                          {{"gen", "x.qtf", "--records"}},
                          {{"gen", "x.qtf", "--records", "-5"}},
                          {{"gen", "x.qtf", "--bogus"}},
                          {{"gen", "a", "b"}},
                          {{"nosuchcommand"}},
                          {{}}};
    CTempDir dir;
    for (const Case& c : cases)
    {
        const ToolResult result = RunTool(c.args, dir.Path());
        EXPECT_EQ(result.exitCode, 2) << (c.args.empty() ? "" : c.args[0]);
        EXPECT_NE(result.err.find("usage: tracktool"), std::string::npos);
    }
}

TEST(GenCommand, UnwritableOutputFails)
{
    const ToolResult result = RunTool({"gen", "/nonexistent-dir/x.qtf", "--records", "3"});
    EXPECT_EQ(result.exitCode, 1);
}

TEST(InfoCommand, ReportsHeaderCountTailAndTimes)
{
    CTempDir dir;
    CTrackFileBuilder builder;
    builder.WithHeader(true).Add(MakeRecord(-5)).Add(MakeRecord(100)).Add(MakeRecord(995)).WithTail(100);
    builder.Write(dir.File("run.qtf"));
    const ToolResult result = RunTool({"info", dir.File("run.qtf")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "file: run.qtf\nheader: yes\nrecords: 3\nincomplete tail bytes: 100\n"
                          "first timestamp: -5\nlast timestamp: 995\nduration: 1000\n"
                          "seconds at 60 records a second: 0.050\n");
    EXPECT_EQ(result.err, "Corrupt file - incomplete record encountered.\n");
}

TEST(InfoCommand, MissingFileFailsWithTheReadersMessage)
{
    const ToolResult result = RunTool({"info", "/nonexistent/file.qtf"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.err, "Error opening file; Is the file/path name correct?\nNo such file or directory\n");
}

TEST(InfoCommand, EmptyOldStyleFileHasNoRecords)
{
    CTempDir dir;
    WriteWholeFile(dir.File("empty.dat"), "");
    const ToolResult result = RunTool({"info", dir.File("empty.dat")});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "file: empty.dat\nheader: no\nrecords: 0\nincomplete tail bytes: 0\n");
    EXPECT_EQ(result.err, "");
}
