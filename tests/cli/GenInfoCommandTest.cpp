// tracktool gen and info, run as a user would run them.
#include "cli/RunTool.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackFileHeader.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

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

// Test that the incomplete tail can be anything short of a whole record, which would be counted.
TEST(GenCommand, PartialTailIsShortOfOneRecord)
{
    CTempDir dir;
    for (const std::uint32_t partial : {0u, 1u, kTrackRecordSize - 1})
    {
        const std::string path = dir.File("p" + std::to_string(partial) + ".qtf");
        ASSERT_EQ(RunTool({"gen", path, "--records", "2", "--partial", std::to_string(partial)}).exitCode, 0);
        EXPECT_EQ(ReadWholeFile(path).size(), kTrackHeaderSize + 2u * kTrackRecordSize + partial);
        const ToolResult info = RunTool({"info", path});
        EXPECT_NE(info.out.find("records: 2\nincomplete tail bytes: " + std::to_string(partial) + "\n"),
                  std::string::npos)
            << info.out;
    }
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
                          {{"gen", "x.qtf", "--partial", "1828"}},
                          {{"gen", "x.qtf", "--partial", "4294967295"}},
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

// Test that a file with more whole records than a 32-bit count says so beside the count it serves
// (sparse files, so that nothing is written but the header).
TEST(InfoCommand, SaysWhenTheFileHasMoreRecordsThanCanBeCounted)
{
    CTempDir dir;
    struct Case
    {
        std::uint64_t records;
        std::string expected;
    };
    const std::string served = "records: 4294967295\n";
    const std::string rest = "incomplete tail bytes: 0\nfirst timestamp: 0\nlast timestamp: 0\nduration: 0\n"
                             "seconds at 60 records a second: 71582788.250\n";
    const Case cases[] = {
        {4294967295u, "file: big.qtf\nheader: yes\n" + served + rest},
        {4294967296u, "file: big.qtf\nheader: yes\n" + served +
                          "records in the file: 4294967296 (more than can be counted; the first 4294967295 "
                          "are served)\n" +
                          rest},
    };
    for (const Case& c : cases)
    {
        const std::string path = dir.File("big.qtf");
        ASSERT_TRUE(WriteWholeFile(path, MakeHeaderBytes()));
        const std::uint64_t length = kTrackHeaderSize + c.records * kTrackRecordSize;
        if (::truncate(path.c_str(), static_cast<off_t>(length)) != 0)
            GTEST_SKIP() << "the file system refuses a file of " << length << " bytes";
        const ToolResult result = RunTool({"info", path});
        EXPECT_EQ(result.exitCode, 0) << c.records;
        EXPECT_EQ(result.out, c.expected);
        EXPECT_EQ(result.err, "");
        std::filesystem::remove(path);
    }
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
