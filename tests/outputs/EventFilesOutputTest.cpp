// The event files as an output: byte for byte the window's Generate Timestamp Files over the same
// track, whatever the blocks; a region table without regions writes nothing; a refused file is
// refused before any record, in the event files' own words; the summary counts what was written;
// circles and polygons are judged by their shape.
#include "outputs/EventFilesOutput.h"

#include "OutputTestSupport.h"
#include "base/ResultCodes.h"
#include "regions/RegionShape.h"
#include "support/FileChecks.h"
#include "support/RecordingMessageSink.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace
{
// The files the window's Generate Timestamp Files writes into folder (made here) for the track and
// regions: name to bytes; none when the run fails.
std::map<std::string, std::string> WindowFiles(const std::string& track, const CRegionTable& table,
                                               std::int32_t margin, const std::string& folder)
{
    std::filesystem::create_directory(folder);
    CTrackFile reader;
    CRegionEventGenerator generator;
    if (reader.Open(track) != kOk || generator.Prepare(reader, table, margin) != kOk)
        return {};
    generator.SetOutputDirectory(folder);
    if (generator.Run() != kOk)
        return {};
    return SnapshotFolder(folder);
}

// Test that the files are the window's, for regions of one name sharing their pair, in blocks of
// any size, and that the summary gives every region's visits.
TEST(EventFilesOutput, FilesAreTheWindowsWhateverTheBlocks)
{
    CTempDir dir;
    TrackGeneratorOptions options;
    options.records = 3000;
    options.seed = 9;
    const std::string track = dir.File("run.qtf");
    ASSERT_EQ(WriteGeneratedTrack(track, options), kOk);
    const std::vector<TrackRecord> records = RecordsOfFile(track, options.records);
    const CRegionTable table = NamedRegions(
        {{{0, 0, 320, 480}, "left"}, {{640, 480, 320, 0}, "left"}, {{200, 150, 440, 330}, "centre"}});
    const auto expected = WindowFiles(track, table, 5, dir.File("window"));
    ASSERT_EQ(expected.size(), 4u);
    for (const std::size_t blockRecords : {std::size_t{1}, std::size_t{499}, std::size_t{3000}})
    {
        SCOPED_TRACE(blockRecords);
        CTempDir out;
        CEventFilesOutput output(EventFilesDestination{out.Path(), "run.qtf"}, table, 5);
        ASSERT_TRUE(Feed(output, records, blockRecords, "run.qtf").IsOk());
        EXPECT_EQ(SnapshotFolder(out.Path()), expected);
        std::set<std::string> announced;
        for (const std::string& file : output.Files())
            announced.insert(FileNameOfPath(file));
        EXPECT_EQ(announced.size(), 4u);
        const std::vector<std::string> lines = output.SummaryLines();
        ASSERT_EQ(lines.size(), 3u);
        const auto entries = (ReadWholeFile(out.File("run.qtf_centre_Enter.qsf")).size() - 16384) / 8;
        EXPECT_EQ(lines[2], "centre: " + std::to_string(entries) + " visits");
        EXPECT_GT(entries, 0u);
    }
}

// Test a table without regions (nothing written, nothing wrong) and a refused file: refused at
// Prepare with the event files' message, nothing left, every region's summary 0.
TEST(EventFilesOutput, NoRegionsAndARefusal)
{
    CTempDir dir;
    const std::vector<TrackRecord> records = {MakeRecord(1, 100, 100), MakeRecord(2, 400, 100)};
    {
        CEventFilesOutput output(EventFilesDestination{dir.Path(), "t.qtf"}, CRegionTable{}, 8);
        EXPECT_TRUE(output.Files().empty());
        EXPECT_TRUE(Feed(output, records, 1).IsOk());
        EXPECT_TRUE(SnapshotFolder(dir.Path()).empty());
        EXPECT_TRUE(output.SummaryLines().empty());
    }
    std::filesystem::create_directory(dir.File("t.qtf_b_Leave.qsf"));
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CEventFilesOutput output(EventFilesDestination{dir.Path(), "t.qtf"},
                             NamedRegions({{{0, 0, 320, 480}, "a"}, {{0, 0, 640, 480}, "b"}}), 8);
    const Problem refused = Feed(output, records, 1);
    EXPECT_EQ(refused.code, kErrOpen);
    EXPECT_TRUE(refused.text.empty()) << "the event files tell their own";
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{"Cannot create the event file " + dir.File("t.qtf_b_Leave.qsf") +
                                       "; no timestamp files were written.\n" +
                                       dir.File("t.qtf_b_Leave.qsf") + " is a directory, not a file."});
    EXPECT_EQ(SnapshotFolder(dir.Path()),
              (std::map<std::string, std::string>{{"t.qtf_b_Leave.qsf", "<dir>"}}));
    EXPECT_EQ(output.SummaryLines(), (std::vector<std::string>{"a: 0 visits", "b: 0 visits"}));
}

// Test that a circle and a polygon are judged by their shape, not their box: the track stands in
// the core of each box outside the shape, then in each shape's middle; one visit each, and the
// files are the window's.
TEST(EventFilesOutput, CirclesAndPolygonsAreJudgedByTheirShape)
{
    CTempDir dir;
    CRegionTable table;
    table.SetShape(0, RegionShape::Circle(100, 100, 40));
    table.SetShape(1, RegionShape::Polygon({{200, 160}, {240, 200}, {200, 240}, {160, 200}}));
    table.m_regionNames[0] = "pool";
    table.m_regionNames[1] = "diamond";
    table.m_nRegionCount = 2;
    const std::vector<TrackRecord> records = {
        MakeRecord(1, 0, 0),     MakeRecord(2, 70, 70),   MakeRecord(3, 0, 0),
        MakeRecord(4, 170, 170), MakeRecord(5, 0, 0),     MakeRecord(6, 100, 100),
        MakeRecord(7, 0, 0),     MakeRecord(8, 200, 200), MakeRecord(9, 0, 0)};
    CTrackFileBuilder builder;
    for (const TrackRecord& record : records)
        builder.Add(record);
    const std::string track = builder.Write(dir.File("shapes.qtf"));
    std::filesystem::create_directory(dir.File("pass"));
    CEventFilesOutput output(EventFilesDestination{dir.File("pass"), "shapes.qtf"}, table, 8);
    ASSERT_TRUE(Feed(output, records, 4, "shapes.qtf").IsOk());
    EXPECT_EQ(output.SummaryLines(), (std::vector<std::string>{"pool: 1 visits", "diamond: 1 visits"}));
    const auto window = WindowFiles(track, table, 8, dir.File("window"));
    ASSERT_EQ(window.size(), 4u);
    EXPECT_EQ(SnapshotFolder(dir.File("pass")), window);
}
} // namespace
