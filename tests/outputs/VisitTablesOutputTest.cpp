// The visit tables as an output: the three files hold the table's CSV text for the label given,
// whatever the blocks; they appear together or not at all, a refusal naming the file; every failing
// call of the file layer fails cleanly; the summary gives each region's entries and time inside.
#include "outputs/VisitTablesOutput.h"

#include "OutputTestSupport.h"
#include "analysis/VisitCsv.h"
#include "analysis/VisitTestSupport.h"
#include "base/ResultCodes.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
const CRegionTable kRegions =
    TableOf({{50, 50, 175, 175}, {100, 50, 300, 175}, {400, 400, 500, 500}}, {"open arm", "a,b", "far"});

std::vector<TrackRecord> Walk()
{
    return RecordsOf({{1000, 10, 10},
                      {1001, 60, 100},
                      {1002, 120, 100},
                      {1003, 200, 100},
                      {1004, 10, 10},
                      {1005, 60, 100},
                      {1006, 130, 90}});
}

// Test that the files hold exactly the table's text, with the label in the file column, for blocks
// of any size, and that the summary has each region's line.
TEST(VisitTablesOutput, FilesHoldTheTablesText)
{
    const VisitTable table = BuildTable(Walk(), kRegions, 8);
    ASSERT_EQ(table.visits.size(), 4u);
    for (const std::size_t blockRecords : {std::size_t{1}, std::size_t{2}, std::size_t{100}})
    {
        SCOPED_TRACE(blockRecords);
        CTempDir dir;
        CVisitTablesOutput output(TrackOutputPlace{dir.Path() + "/", "a.qtf", "day 1/a.qtf"}, kRegions, 8);
        ASSERT_TRUE(Feed(output, Walk(), blockRecords, "a.qtf").IsOk());
        for (const VisitCsvKind kind : {VisitCsvKind::Visits, VisitCsvKind::Regions, VisitCsvKind::Session})
            EXPECT_EQ(ReadWholeFile(MakeVisitCsvPath(dir.Path(), "a.qtf", kind)),
                      FormatVisitCsv(table, "day 1/a.qtf", kind));
        EXPECT_EQ(SnapshotFolder(dir.Path()).size(), 3u) << "no temporary file left";
        EXPECT_EQ(output.Files(),
                  (std::vector<std::string>{dir.File("a.qtf_visits.csv"), dir.File("a.qtf_regions.csv"),
                                            dir.File("a.qtf_session.csv")}));
        EXPECT_EQ(output.SummaryLines(), (std::vector<std::string>{"open arm: 2 entries, 0.066667 s inside",
                                                                   "a,b: 2 entries, 0.050000 s inside",
                                                                   "far: 0 entries, 0.000000 s inside"}));
    }
}

// Test that when one of the three files cannot be made, none is put in place and the earlier files
// stay as they were, with one problem naming the file.
TEST(VisitTablesOutput, TheThreeFilesAppearTogetherOrNotAtAll)
{
    for (const char* blocked : {"a.qtf_visits.csv", "a.qtf_regions.csv", "a.qtf_session.csv"})
    {
        SCOPED_TRACE(blocked);
        CTempDir dir;
        for (const char* name : {"a.qtf_visits.csv", "a.qtf_regions.csv", "a.qtf_session.csv"})
            if (std::string(name) != blocked)
            {
                ASSERT_TRUE(WriteWholeFile(dir.File(name), "earlier"));
            }
        std::filesystem::create_directory(dir.File(blocked));
        const auto before = SnapshotFolder(dir.Path());
        CVisitTablesOutput output(TrackOutputPlace{dir.Path(), "a.qtf", "a.qtf"}, kRegions, 8);
        const Problem problem = Feed(output, Walk(), 3);
        EXPECT_EQ(problem.code, kErrWrite);
        EXPECT_EQ(problem.text, "Cannot create the CSV file " + dir.File(blocked) +
                                    "; no visit tables were written.\n" + dir.File(blocked) +
                                    " is a directory, not a file.");
        EXPECT_EQ(SnapshotFolder(dir.Path()), before);
    }
}

// Test that every failing call of the file layer fails the output cleanly, in a fresh folder and
// over the files of an earlier run.
TEST(VisitTablesOutput, EveryFileFaultFailsCleanly)
{
    for (const bool earlier : {false, true})
    {
        WriterUnderTest writer;
        writer.name = earlier ? "visit tables over earlier ones" : "visit tables";
        writer.cleanupMayFail = earlier;
        writer.prepare = [earlier](const CTempDir& dir)
        {
            if (earlier)
                for (const char* name : {"a.qtf_visits.csv", "a.qtf_regions.csv", "a.qtf_session.csv"})
                    WriteWholeFile(dir.File(name), "earlier");
        };
        writer.run = [](const CTempDir& dir)
        {
            CVisitTablesOutput output(TrackOutputPlace{dir.Path(), "a.qtf", "a.qtf"}, kRegions, 8);
            const Problem problem = Feed(output, Walk(), 3);
            Tell(problem);
            return problem.code;
        };
        EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 10u);
    }
}
} // namespace
