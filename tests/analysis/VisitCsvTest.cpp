// The CSV text of the visit table: exact bytes, quoting of names and file texts, tracks without
// records or with one. (Their files, and the per-record table's, are the outputs': tests/outputs.)
#include "analysis/VisitCsv.h"

#include "VisitTestSupport.h"

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
    const VisitTable table = SmallTable();
    EXPECT_EQ(FormatVisitCsv(table, "day 1,a.qtf", VisitCsvKind::Visits), kVisitsBytes);
    EXPECT_EQ(FormatVisitCsv(table, "day 1,a.qtf", VisitCsvKind::Regions), kRegionsBytes);
    EXPECT_EQ(FormatVisitCsv(table, "day 1,a.qtf", VisitCsvKind::Session), kSessionBytes);
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
} // namespace
