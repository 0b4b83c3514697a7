// Time bins and the columns the analysis settings add: the exact text of both bin files and of
// the visits and session files with their new columns, a short last bin of one record, bins of
// one record, and tracks too short for a bin.
#include "VisitTestSupport.h"
#include "analysis/BinCsv.h"
#include "analysis/VisitCsv.h"
#include "base/CsvStream.h"
#include "base/OutputFile.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace
{
constexpr Rect kBoxA{50, 50, 175, 175};
constexpr Rect kBoxB{100, 50, 300, 175};

// Seven records: A from record 0 to 2, B from 1 to 3, outside both at 3, A again from 4 to the
// end, where the position rests for two records.
std::vector<TrackRecord> SevenRecords()
{
    return RecordsOf({{1000, 60, 100},
                      {1001, 120, 100},
                      {1002, 200, 100},
                      {1003, 10, 10},
                      {1004, 60, 100},
                      {1005, 60, 100},
                      {1006, 60, 100}});
}

// Bins of 2 records, F = 0.5, still below 1 px/s over one record, every still run a bout.
AnalysisSettings FullSettings()
{
    AnalysisSettings settings;
    settings.binSeconds = 2.0 / 60;
    settings.calibration.form = CalibrationForm::Factor;
    settings.calibration.cmPerPx = 0.5;
    settings.immobileBelow = ImmobilityThreshold{SpeedUnit::PxPerSecond, 1.0};
    settings.speedWindow = 1;
    settings.minImmobileSeconds = 0.0;
    return settings;
}

// Test the exact text of every file of a table with every setting: bins in order with the
// regions inside, a last bin of one record, the step counted in the bin of the record it leads
// to, immobile records in their own bins, and the new last columns of the visits and the session.
TEST(TimeBins, FilesOfAFullySetTable)
{
    const VisitTable table = BuildTable(SevenRecords(), TableOf({kBoxA, kBoxB}, {"A", "B"}), FullSettings());
    EXPECT_EQ(FormatBinCsv(table, "t.qtf", BinCsvKind::Regions),
              "file,bin,start_record,end_record,start_s,end_s,region,name,entries,time_inside_records,"
              "time_inside_s,share_of_bin\n"
              "t.qtf,0,0,2,0.000000,0.033333,0,A,1,2,0.033333,1.000000\n"
              "t.qtf,0,0,2,0.000000,0.033333,1,B,1,1,0.016667,0.500000\n"
              "t.qtf,1,2,4,0.033333,0.066667,0,A,0,0,0.000000,0.000000\n"
              "t.qtf,1,2,4,0.033333,0.066667,1,B,0,1,0.016667,0.500000\n"
              "t.qtf,2,4,6,0.066667,0.100000,0,A,1,2,0.033333,1.000000\n"
              "t.qtf,2,4,6,0.066667,0.100000,1,B,0,0,0.000000,0.000000\n"
              "t.qtf,3,6,7,0.100000,0.116667,0,A,0,1,0.016667,1.000000\n"
              "t.qtf,3,6,7,0.100000,0.116667,1,B,0,0,0.000000,0.000000\n");
    EXPECT_EQ(FormatBinCsv(table, "t.qtf", BinCsvKind::Session),
              "file,bin,start_record,end_record,start_s,end_s,time_outside_all_s,path_length_px,"
              "path_length_cm,immobile_s\n"
              "t.qtf,0,0,2,0.000000,0.033333,0.000000,60.000000,30.000000,0.000000\n"
              "t.qtf,1,2,4,0.033333,0.066667,0.016667,290.237960,145.118980,0.000000\n"
              "t.qtf,2,4,6,0.066667,0.100000,0.000000,102.956301,51.478151,0.016667\n"
              "t.qtf,3,6,7,0.100000,0.116667,0.000000,0.000000,0.000000,0.016667\n");
    EXPECT_EQ(FormatVisitCsv(table, "t.qtf", VisitCsvKind::Visits, VisitCsvColumns::WithSettings),
              "file,region,name,visit,enter_record,leave_record,enter_timestamp,leave_timestamp,"
              "duration_records,duration_s,duration_timestamp,complete,initial\n"
              "t.qtf,0,A,1,0,2,1000,1002,2,0.033333,2,1,1\n"
              "t.qtf,1,B,1,1,3,1001,1003,2,0.033333,2,1,0\n"
              "t.qtf,0,A,2,4,7,1004,,3,0.050000,,0,0\n");
    EXPECT_EQ(
        FormatVisitCsv(table, "t.qtf", VisitCsvKind::Session, VisitCsvColumns::WithSettings),
        "file,records,duration_s,first_timestamp,last_timestamp,time_outside_all_s,path_length_px,"
        "mean_speed_px_s,records_outside_plot,path_length_cm,mean_speed_cm_s,immobile_s,immobility_bouts\n"
        "t.qtf,7,0.116667,1000,1006,0.016667,453.194262,4531.942618,0,226.597131,2265.971309,0.033333,1\n");
    // The regions file has no new column.
    EXPECT_EQ(FormatVisitCsv(table, "t.qtf", VisitCsvKind::Regions, VisitCsvColumns::WithSettings),
              FormatVisitCsv(table, "t.qtf", VisitCsvKind::Regions));
}

// Test that without a calibration or a threshold their columns are empty, and that a table
// without bins has no bin files.
TEST(TimeBins, ColumnsOfSettingsNotGivenAreEmpty)
{
    AnalysisSettings binsOnly;
    binsOnly.binSeconds = 4.0 / 60;
    const VisitTable table = BuildTable(SevenRecords(), TableOf({kBoxA}), binsOnly);
    EXPECT_EQ(FormatBinCsv(table, "t.qtf", BinCsvKind::Session),
              std::string(kSessionBinsCsvHeader) + "\n" +
                  "t.qtf,0,0,4,0.000000,0.066667,0.033333,350.237960,,\n"
                  "t.qtf,1,4,7,0.066667,0.116667,0.000000,102.956301,,\n");
    const std::string session =
        FormatVisitCsv(table, "t.qtf", VisitCsvKind::Session, VisitCsvColumns::WithSettings);
    EXPECT_EQ(session.substr(session.find('\n') + 1),
              "t.qtf,7,0.116667,1000,1006,0.033333,453.194262,4531.942618,0,,,,\n");

    const VisitTable noBins = BuildTable(SevenRecords(), TableOf({kBoxA}), AnalysisSettings{});
    EXPECT_FALSE(noBins.bins.has_value());
    EXPECT_EQ(FormatBinCsv(noBins, "t.qtf", BinCsvKind::Regions), "");
    EXPECT_EQ(FormatBinCsv(noBins, "t.qtf", BinCsvKind::Session), "");
}

// Test that both bin files streamed into a file in pieces of a few bytes are their text, and that a
// table without bins writes an empty file.
TEST(TimeBins, FilesStreamedInPiecesAreTheirText)
{
    CTempDir dir;
    const VisitTable binned = BuildTable(SevenRecords(), TableOf({kBoxA, kBoxB}, {"A", "B"}), FullSettings());
    const VisitTable noBins = BuildTable(SevenRecords(), TableOf({kBoxA}), AnalysisSettings{});
    for (const VisitTable* table : {&binned, &noBins})
        for (const BinCsvKind kind : {BinCsvKind::Regions, BinCsvKind::Session})
        {
            COutputFile file;
            ASSERT_TRUE(file.Create(dir.File("bins.csv")));
            CCsvStream csv(file, 16);
            ASSERT_TRUE(WriteBinCsvRows(*table, "t.qtf", kind, csv));
            ASSERT_TRUE(file.Commit());
            EXPECT_EQ(ReadWholeFile(dir.File("bins.csv")), FormatBinCsv(*table, "t.qtf", kind));
        }
}

// Test the number and bounds of the bins for track lengths around a bin's length, bins of one
// record (also from a length that rounds to no record), and a track without records.
TEST(TimeBins, BinBounds)
{
    struct Case
    {
        const char* name;
        double binSeconds;
        std::size_t records;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> bounds;
    };
    const std::vector<Case> cases = {
        {"no records: no bins", 1.0, 0, {}},
        {"one record", 1.0, 1, {{0, 1}}},
        {"exactly one bin", 3.0 / 60, 3, {{0, 3}}},
        {"one record past a bin", 3.0 / 60, 4, {{0, 3}, {3, 4}}},
        {"one record short of two bins", 3.0 / 60, 5, {{0, 3}, {3, 5}}},
        {"a bin of one record each", 1.0 / 60, 3, {{0, 1}, {1, 2}, {2, 3}}},
        {"a length below half a record is one record", 0.001, 2, {{0, 1}, {1, 2}}},
        {"two and a quarter records are two", 0.0375, 5, {{0, 2}, {2, 4}, {4, 5}}},
    };
    for (const Case& c : cases)
    {
        std::vector<Spot> spots;
        for (std::size_t i = 0; i < c.records; ++i)
            spots.push_back({static_cast<std::int64_t>(i), 60, 100});
        AnalysisSettings settings;
        settings.binSeconds = c.binSeconds;
        const VisitTable table = BuildTable(RecordsOf(spots), TableOf({kBoxA}), settings);
        ASSERT_TRUE(table.bins.has_value()) << c.name;
        const TimeBins& bins = *table.bins;
        ASSERT_EQ(bins.bins.size(), c.bounds.size()) << c.name;
        for (std::size_t k = 0; k < c.bounds.size(); ++k)
        {
            EXPECT_EQ(bins.StartRecord(k), c.bounds[k].first) << c.name << " bin " << k;
            EXPECT_EQ(bins.EndRecord(k), c.bounds[k].second) << c.name << " bin " << k;
        }
        // Inside A throughout: every bin is wholly inside, and the one entry is in bin 0.
        CRegionBinWalker walker(table.visits, table.regions.size(), bins);
        for (std::size_t k = 0; k < c.bounds.size(); ++k)
        {
            const RegionBin figures = walker.Next().at(0);
            EXPECT_EQ(figures.insideRecords, c.bounds[k].second - c.bounds[k].first)
                << c.name << " bin " << k;
            EXPECT_EQ(figures.entries, k == 0 ? 1u : 0u) << c.name << " bin " << k;
        }
    }
}
} // namespace
