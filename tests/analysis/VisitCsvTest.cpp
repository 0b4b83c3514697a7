// The CSV files of the visit table and the per-record table: exact bytes, quoting of names and
// file texts, and writes that fail leaving nothing behind.
#include "analysis/VisitCsv.h"

#include "VisitTestSupport.h"
#include "analysis/TrackCsv.h"
#include "base/ResultCodes.h"
#include "support/FaultMatrix.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "trackfile/BlockReader.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
// Two overlapping regions, one never entered; a complete visit of each and one open at the end.
VisitTable SmallTable()
{
    const CRegionTable regions =
        TableOf({{50, 50, 175, 175}, {100, 50, 300, 175}, {400, 400, 500, 500}}, {"open arm", "a,b \"c\"",
                                                                                  "\xC3\xB1"
                                                                                  "and\xC3\xBA"});
    const std::vector<TrackRecord> records = RecordsOf({{1000, 10, 10},
                                                        {1001, 60, 100},
                                                        {1002, 120, 100},
                                                        {1003, 200, 100},
                                                        {1004, 10, 10},
                                                        {1005, 60, 100}});
    return BuildTable(records, regions, 8);
}

const std::string kVisitsBytes =
    "file,region,name,visit,enter_record,leave_record,enter_timestamp,leave_timestamp,duration_records,"
    "duration_s,duration_timestamp,complete\n"
    "\"day 1,a.qtf\",0,open arm,1,1,3,1001,1003,2,0.033333,2,1\n"
    "\"day 1,a.qtf\",1,\"a,b \"\"c\"\"\",1,2,4,1002,1004,2,0.033333,2,1\n"
    "\"day 1,a.qtf\",0,open arm,2,5,6,1005,,1,0.016667,,0\n";
const std::string kRegionsBytes =
    "file,region,name,left,top,right,bottom,margin,entries,complete_visits,time_inside_records,time_inside_s,"
    "share_of_session,latency_records,latency_s,mean_visit_s,longest_visit_s,shape\n"
    "\"day 1,a.qtf\",0,open arm,50,50,175,175,8,2,1,3,0.050000,0.500000,1,0.016667,0.033333,0.033333,rect\n"
    "\"day 1,a.qtf\",1,\"a,b "
    "\"\"c\"\"\",100,50,300,175,8,1,1,2,0.033333,0.333333,2,0.033333,0.033333,0.033333,rect\n"
    "\"day 1,a.qtf\",2,\xC3\xB1"
    "and\xC3\xBA,400,400,500,500,8,0,0,0,0.000000,0.000000,,,,,rect\n";
const std::string kSessionBytes = "file,records,duration_s,first_timestamp,last_timestamp,time_outside_all_s,"
                                  "path_length_px,mean_speed_px_s,"
                                  "records_outside_plot\n"
                                  "\"day 1,a.qtf\",6,0.100000,1000,1005,0.033333,556.150563,6673.806759,0\n";

// Test that the three files hold exactly the documented columns and rows, names and the file text
// quoted where they need it and UTF-8 passed through.
TEST(VisitCsv, SmallTableGivesExactFileBytes)
{
    CTempDir dir;
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    ASSERT_EQ(WriteVisitCsvFiles(SmallTable(), dir.Path(), "a.qtf", "day 1,a.qtf"), 0);
    EXPECT_EQ(ReadWholeFile(dir.File("a.qtf_visits.csv")), kVisitsBytes);
    EXPECT_EQ(ReadWholeFile(dir.File("a.qtf_regions.csv")), kRegionsBytes);
    EXPECT_EQ(ReadWholeFile(dir.File("a.qtf_session.csv")), kSessionBytes);
    EXPECT_EQ(VisibleEntries(SnapshotFolder(dir.Path())).size(), 3u);
    EXPECT_EQ(SnapshotFolder(dir.Path()).size(), 3u); // no temporary file left
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(FormatVisitCsv(SmallTable(), "day 1,a.qtf", VisitCsvKind::Regions), kRegionsBytes);
}

// Test the files' names: the track file's name with its extension, in the folder given with or
// without a final separator.
TEST(VisitCsv, FileNames)
{
    const std::tuple<std::string, VisitCsvKind, std::string> cases[] = {
        {"results", VisitCsvKind::Visits, "results/other.qtf_visits.csv"},
        {"results/", VisitCsvKind::Regions, "results/other.qtf_regions.csv"},
        {".", VisitCsvKind::Session, "./other.qtf_session.csv"},
        {"/", VisitCsvKind::Visits, "/other.qtf_visits.csv"},
    };
    for (const auto& [dir, kind, path] : cases)
        EXPECT_EQ(MakeVisitCsvPath(dir, "other.qtf", kind), path) << dir;
}

// Test how a name or file text appears in a row: quoted only when it holds a comma, a quote or a
// line break, with its quotes doubled; other text, UTF-8 included, as it stands.
TEST(VisitCsv, NamesAndFileTextsAreQuotedWhereNeeded)
{
    const std::pair<std::string, std::string> cases[] = {
        {"open arm", "open arm"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},
        {"two\nlines", "\"two\nlines\""},
        {"\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
        {"caf\xC3\xA9, bar", "\"caf\xC3\xA9, bar\""},
        {"semi;colon", "semi;colon"},
        {"", ""},
    };
    for (const auto& [text, field] : cases)
    {
        CCsvBuilder csv;
        const VisitRow visit{3, 1, 0, 1, 5, 6, true};
        AppendVisitRow(csv, text, visit, text);
        EXPECT_EQ(csv.Text(), field + ",3," + field + ",1,0,1,5,6,1,0.016667,1,1\n") << text;
    }
}

// Test the files of a track without records and of one with a single record: headers and the
// empty fields for what cannot be given.
TEST(VisitCsv, TracksWithoutRecordsOrWithOne)
{
    const CRegionTable regions = TableOf({{50, 50, 175, 175}});
    const VisitTable none = BuildTable({}, regions, 8);
    EXPECT_EQ(FormatVisitCsv(none, "e.qtf", VisitCsvKind::Visits), std::string(kVisitsCsvHeader) + "\n");
    EXPECT_EQ(FormatVisitCsv(none, "e.qtf", VisitCsvKind::Regions),
              std::string(kRegionsCsvHeader) + "\ne.qtf,0,Box0,50,50,175,175,8,0,0,0,0.000000,,,,,,rect\n");
    EXPECT_EQ(FormatVisitCsv(none, "e.qtf", VisitCsvKind::Session),
              std::string(kSessionCsvHeader) + "\ne.qtf,0,0.000000,,,0.000000,0.000000,,0\n");
    const VisitTable one = BuildTable(RecordsOf({{-9, 100, 100}}), regions, 8);
    EXPECT_EQ(FormatVisitCsv(one, "o.qtf", VisitCsvKind::Visits),
              std::string(kVisitsCsvHeader) + "\no.qtf,0,Box0,1,0,1,-9,,1,0.016667,,0\n");
    EXPECT_EQ(FormatVisitCsv(one, "o.qtf", VisitCsvKind::Session),
              std::string(kSessionCsvHeader) + "\no.qtf,1,0.016667,-9,-9,0.000000,0.000000,,0\n");
}

// A circle's and a polygon's row give the shape's box and say which shape it is; a rectangle keeps
// its corners as given.
TEST(VisitCsv, RegionRowsGiveEachShapesBoxAndKind)
{
    CRegionTable regions = TableOf({{175, 60, 50, 10}});
    regions.SetShape(1, RegionShape::Circle(320, 240, 40));
    regions.SetShape(2, RegionShape::Polygon({{300, 5}, {340, 0}, {330, 200}, {290, 190}}));
    regions.m_nRegionCount = 3;
    const VisitTable table = BuildTable(RecordsOf({{1, 320, 240}, {2, 0, 0}}), regions, 8);
    EXPECT_EQ(
        FormatVisitCsv(table, "s.qtf", VisitCsvKind::Regions),
        std::string(kRegionsCsvHeader) +
            "\ns.qtf,0,Box0,175,60,50,10,8,0,0,0,0.000000,0.000000,,,,,rect"
            "\ns.qtf,1,Box1,280,200,360,280,8,1,1,1,0.016667,0.500000,0,0.000000,0.016667,0.016667,circle"
            "\ns.qtf,2,Box2,290,0,340,200,8,0,0,0,0.000000,0.000000,,,,,polygon\n");
}

// Test that when one of the three files cannot be made, none is put in place and the earlier files
// stay as they were, with one message naming the file.
TEST(VisitCsv, TheThreeFilesAppearTogetherOrNotAtAll)
{
    for (const char* blocked : {"a.qtf_visits.csv", "a.qtf_regions.csv", "a.qtf_session.csv"})
    {
        CTempDir dir;
        CRecordingMessageSink sink;
        CScopedMessageSink scoped(sink);
        for (const char* name : {"a.qtf_visits.csv", "a.qtf_regions.csv", "a.qtf_session.csv"})
        {
            if (std::string(name) != blocked)
            {
                ASSERT_TRUE(WriteWholeFile(dir.File(name), "earlier"));
            }
        }
        std::filesystem::create_directory(dir.File(blocked));
        const auto before = SnapshotFolder(dir.Path());
        EXPECT_EQ(WriteVisitCsvFiles(SmallTable(), dir.Path(), "a.qtf", "a.qtf"), kErrOpen) << blocked;
        EXPECT_EQ(SnapshotFolder(dir.Path()), before) << blocked;
        EXPECT_EQ(sink.messages,
                  std::vector<std::string>{"Cannot create the CSV file " + dir.File(blocked) +
                                           "; no visit tables were written.\n" + dir.File(blocked) +
                                           " is a directory, not a file."});
    }
}

// Test that every failing call of the file layer fails the write cleanly, in a fresh folder and
// over the files of an earlier run.
TEST(VisitCsv, EveryFileFaultFailsCleanly)
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
        const VisitTable table = SmallTable();
        writer.run = [table](const CTempDir& dir)
        { return WriteVisitCsvFiles(table, dir.Path(), "a.qtf", "a.qtf"); };
        EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 10u);
    }
}

// Writes the track's per-record table through one pass of the block reader.
int WriteTrackCsv(const std::string& track, const std::string& out,
                  std::size_t chunkBytes = kTrackCsvChunkBytes,
                  std::size_t blockRecords = kBlockReaderRecords)
{
    CBlockReader reader(blockRecords);
    if (const int opened = reader.Open(track); opened != kOk)
        return opened;
    CTrackCsvWriter writer(out, chunkBytes);
    IRecordConsumer* consumers[] = {&writer};
    return reader.Run(consumers);
}

// Test the per-record table's exact bytes: counts of light points and targets up to the lists'
// ends (full lists included), negative values as they stand.
TEST(TrackCsv, RowsHoldEveryRecordsFields)
{
    CTempDir dir;
    TrackRecord full = MakeRecord(-3, -1, 479, 359);
    for (std::size_t k = 0; k < kMaxPoints; ++k)
        full.points[k] = MakeTrackWord(1, 1, kWordBitRR);
    SetTargets(full, std::vector<TrackWord>(kMaxTargets, MakeTrackWord(2, 2, kWordBitPB)));
    TrackRecord empty = MakeRecord(0, 0, 0, 0);
    for (std::size_t k = 0; k < kMaxPoints; ++k)
        empty.points[k] = 0;
    CTrackFileBuilder builder;
    builder
        .Add(MakeRecord(1000, 100, 200, 45,
                        {MakeTrackWord(1, 2, kWordBitRR), MakeTrackWord(3, 4, kWordBitPG)}))
        .Add(full)
        .Add(empty)
        .Add(MakeRecord(INT64_MAX, INT32_MIN, INT32_MAX, -90));
    const std::string track = builder.Write(dir.File("t.qtf"));
    ASSERT_EQ(WriteTrackCsv(track, dir.File("t.qtf_track.csv")), 0);
    EXPECT_EQ(ReadWholeFile(dir.File("t.qtf_track.csv")),
              "record,timestamp,x,y,angle,points,targets\n"
              "0,1000,100,200,45,5,2\n"
              "1,-3,-1,479,359,400,50\n"
              "2,0,0,0,0,0,0\n"
              "3,9223372036854775807,-2147483648,2147483647,-90,5,0\n");
}

// Test that rows written in many pieces, over blocks of a few records, are the rows written at once.
TEST(TrackCsv, PiecesAndBlocksDoNotChangeTheBytes)
{
    CTempDir dir;
    const std::string track = CTrackFileBuilder().AddSequence(500, -250, 1).Write(dir.File("s.qtf"));
    ASSERT_EQ(WriteTrackCsv(track, dir.File("whole.csv")), 0);
    ASSERT_EQ(WriteTrackCsv(track, dir.File("pieces.csv"), 64, 7), 0);
    const std::string whole = ReadWholeFile(dir.File("whole.csv"));
    EXPECT_EQ(std::count(whole.begin(), whole.end(), '\n'), 501);
    EXPECT_EQ(ReadWholeFile(dir.File("pieces.csv")), whole);
}

// Test that every failing call of the file layer, the reader's included, fails the pass cleanly.
TEST(TrackCsv, EveryFileFaultFailsCleanly)
{
    for (const bool earlier : {false, true})
    {
        WriterUnderTest writer;
        writer.name = earlier ? "track table over an earlier one" : "track table";
        writer.cleanupMayFail = earlier;
        writer.inputClosesAtTheEnd = 1; // the reader's
        writer.prepare = [earlier](const CTempDir& dir)
        {
            CTrackFileBuilder().AddSequence(40).Write(dir.File("s.qtf"));
            if (earlier)
                WriteWholeFile(dir.File("s.qtf_track.csv"), "earlier");
        };
        writer.run = [](const CTempDir& dir)
        { return WriteTrackCsv(dir.File("s.qtf"), dir.File("s.qtf_track.csv"), 128, 16); };
        EXPECT_GT(ExpectEveryFaultFailsCleanly(writer), 10u);
    }
}
} // namespace
