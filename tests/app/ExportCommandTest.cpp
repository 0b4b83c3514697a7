// Export Visits and Export Records: the dialogs, the files the core writes for the open file, the
// table and the loaded margin, the summaries, and the cancels that write nothing.
#include "AppFixture.h"
#include "analysis/VisitCsv.h"
#include "analysis/VisitTable.h"
#include "base/CsvBuilder.h"
#include "base/ResultCodes.h"
#include "outputs/OutputNames.h"
#include "support/FileChecks.h"
#include "support/TrackRuns.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>

namespace
{
std::size_t FilesIn(const std::string& dir)
{
    return static_cast<std::size_t>(
        std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator{}));
}

class ExportCommandTest : public AppTest
{
protected:
    void SetUp() override
    {
        Start();
        std::filesystem::create_directory(temp.File("tracks"));
        std::filesystem::create_directory(temp.File("out"));
        TrackGeneratorOptions options;
        options.records = 3000; // six blocks of the pass
        options.seed = 5;
        track = temp.File("tracks/run7.qtf");
        ASSERT_EQ(WriteGeneratedTrack(track, options), kOk);
    }

    // Three regions over the arena's middle, loaded from a layout with the given margin.
    void LoadRegions(int margin)
    {
        const std::string text =
            "{\"format\": \"trackplay-layout\", \"version\": 1, \"margin\": " + std::to_string(margin) +
            ", \"regions\": [{\"name\": \"west\", \"rect\": [100, 100, 320, 400]},"
            "{\"name\": \"east\", \"rect\": [320, 100, 540, 400]},"
            "{\"name\": \"centre\", \"rect\": [250, 180, 390, 300]}]}";
        ASSERT_TRUE(WriteWholeFile(temp.File("layout.json"), text));
        host.fileDialogAnswers.push_back(temp.File("layout.json"));
        Post(kCmdLoadRegions);
        ASSERT_EQ(Dlg().m_regions.m_nRegionCount, 3);
    }

    void ExportVisitsTo(std::optional<std::string> dir)
    {
        host.folderDialogAnswers.push_back(std::move(dir));
        Post(kCmdExportVisits);
    }

    std::string track;
};

// Test that the exports refuse what they cannot work on, before any dialog: no records (no file,
// a file that failed to open), and for the visits no regions.
TEST_F(ExportCommandTest, NothingToExportIsSaid)
{
    Post(kCmdExportVisits);
    Post(kCmdExportRecords);
    OpenThroughMenu(track);
    Post(kCmdExportVisits);
    const std::string records(kMsgNoRecordsToRead);
    EXPECT_EQ(MessageTexts(),
              (std::vector<std::string>{records, records, std::string(kMsgNoRegionsToExport)}));
    EXPECT_TRUE(host.folderDialogs.empty());
    EXPECT_EQ(host.fileDialogs.size(), 1u) << "only the open";
    EXPECT_TRUE(host.progresses.empty());
    EXPECT_EQ(FilesIn(temp.File("out")), 0u);
}

// Test Export Visits end to end: the folder dialog opening in the track's folder, the three files
// exactly as the core writes them for the window's regions and the loaded margin, and the summary
// with the core's numbers per region.
TEST_F(ExportCommandTest, ExportVisitsWritesTheCoreFilesAndSummary)
{
    OpenThroughMenu(track);
    LoadRegions(12);
    ExportVisitsTo(temp.File("out"));

    ASSERT_EQ(host.folderDialogs.size(), 1u);
    EXPECT_EQ(host.folderDialogs[0].title, "Export Visits to Folder");
    EXPECT_EQ(host.folderDialogs[0].initialFolder, temp.File("tracks"));
    ASSERT_EQ(host.progresses.size(), 1u);
    EXPECT_EQ(host.progresses[0].title, "Export Visits");
    EXPECT_EQ(host.progresses[0].updates.back(), (std::pair<std::uint64_t, std::uint64_t>{3000, 3000}));

    VisitTable expected;
    ASSERT_EQ(BuildVisitTable(track, Dlg().m_regions, 12, expected), kOk);
    for (const VisitCsvKind kind : {VisitCsvKind::Visits, VisitCsvKind::Regions, VisitCsvKind::Session})
        EXPECT_EQ(ReadWholeFile(MakeVisitCsvPath(temp.File("out"), "run7.qtf", kind)),
                  FormatVisitCsv(expected, "run7.qtf", kind));
    EXPECT_EQ(FilesIn(temp.File("out")), 3u);
    EXPECT_NE(ReadWholeFile(MakeVisitCsvPath(temp.File("out"), "run7.qtf", VisitCsvKind::Regions))
                  .find(",west,100,100,320,400,12,"),
              std::string::npos)
        << "the regions carry the loaded margin";

    ASSERT_EQ(host.messageBoxes.size(), 1u);
    std::string summary = "Visits of run7.qtf written to " + temp.File("out") +
                          ":\nrun7.qtf_visits.csv\nrun7.qtf_regions.csv\nrun7.qtf_session.csv\n";
    ASSERT_EQ(expected.regions.size(), 3u);
    for (const RegionSummary& region : expected.regions)
        summary += "\n" + region.name + ": " + std::to_string(region.entries) + " entries, " +
                   FormatFixed6(region.timeInsideSeconds) + " s inside";
    EXPECT_EQ(host.messageBoxes[0].request.text, summary);
    EXPECT_EQ(host.messageBoxes[0].request.icon, MessageBoxIcon::Information) << "a summary, not a warning";
    std::uint64_t entries = 0;
    for (const RegionSummary& region : expected.regions)
        entries += region.entries;
    EXPECT_GT(entries, 0u) << "the track visits the regions, so the numbers say something";
}

// Test that a cancelled folder dialog or a cancel at any point of the pass writes nothing and says
// nothing.
TEST_F(ExportCommandTest, CancelledExportVisitsWritesNothing)
{
    OpenThroughMenu(track);
    LoadRegions(8);
    ExportVisitsTo(std::nullopt);
    EXPECT_TRUE(host.progresses.empty());
    for (const int cancelAt : {1, 3, 6})
    {
        SCOPED_TRACE(cancelAt);
        host.progressCancelAt.push_back(cancelAt);
        ExportVisitsTo(temp.File("out"));
        EXPECT_TRUE(host.progresses.back().cancelled);
    }
    EXPECT_EQ(FilesIn(temp.File("out")), 0u);
    EXPECT_TRUE(host.messageBoxes.empty());
}

// Test that a folder that cannot be written gets one warning naming a file, with the system's
// reason on its second line, before any progress shows, and no summary.
TEST_F(ExportCommandTest, UnwritableFolderIsToldOnce)
{
    OpenThroughMenu(track);
    LoadRegions(8);
    ExportVisitsTo(temp.File("gone"));
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_NE(host.messageBoxes[0].request.text.find("run7.qtf_"), std::string::npos)
        << host.messageBoxes[0].request.text;
    EXPECT_EQ(host.messageBoxes[0].request.text.find("written to"), std::string::npos);
    EXPECT_TRUE(host.messageBoxes[0].request.text.ends_with("\nNo such file or directory"))
        << host.messageBoxes[0].request.text;
    EXPECT_EQ(host.messageBoxes[0].request.icon, MessageBoxIcon::Exclamation);
    EXPECT_TRUE(host.progresses.empty()) << "refused before anything was read";
    EXPECT_FALSE(std::filesystem::exists(temp.File("gone")));
}

// Test that Export Records refused its file (the open track itself, a folder that is missing) is
// told at once, the reason on the message's second line, with no progress display left under the
// message, and writes nothing.
TEST_F(ExportCommandTest, RefusedRecordsAreToldBeforeAnyProgress)
{
    OpenThroughMenu(track);
    const auto before = SnapshotFolder(temp.File("tracks"));
    struct Case
    {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {track, "Cannot create the CSV file " + track + "; it was not written.\n" + track +
                    " is a file this program is reading; it is left as it is."},
        {temp.File("gone/r.csv"), "Cannot create the CSV file " + temp.File("gone/r.csv") +
                                      "; it was not written.\nNo such file or directory"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.path);
        host.messageBoxes.clear();
        host.fileDialogAnswers.push_back(c.path);
        Post(kCmdExportRecords);
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message});
        EXPECT_TRUE(host.progresses.empty());
    }
    EXPECT_EQ(SnapshotFolder(temp.File("tracks")), before);
}

// Test Export Records: its dialog, the file exactly as the core writes it, the summary, and the
// cancels (dialog, or the pass at its first and last block) that leave no file behind.
TEST_F(ExportCommandTest, ExportRecordsWritesTheCoreTable)
{
    OpenThroughMenu(track);
    ASSERT_EQ(WriteTrackCsv(track, temp.File("expected.csv")), kOk);
    host.fileDialogAnswers = {std::nullopt, temp.File("out/first.csv"), temp.File("out/last.csv"),
                              temp.File("out/records")};
    host.progressCancelAt = {1, 6, 0};
    for (int k = 0; k < 4; ++k)
        Post(kCmdExportRecords);
    ASSERT_EQ(host.fileDialogs.size(), 5u); // the open, then four exports
    const FileDialogRequest& request = host.fileDialogs[1];
    EXPECT_EQ(request.kind, FileDialogRequest::Kind::Save);
    EXPECT_EQ(request.title, "Export Records");
    EXPECT_EQ(request.filter, "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||");
    EXPECT_EQ(request.defaultExtension, ".csv");
    EXPECT_EQ(request.initialName, "run7.qtf_track.csv");
    EXPECT_EQ(FilesIn(temp.File("out")), 1u)
        << "the cancelled exports left nothing, not even a temporary file";
    const std::string expected = ReadWholeFile(temp.File("expected.csv"));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadWholeFile(temp.File("out/records.csv")), expected);
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Records of run7.qtf written: 3000 rows in " +
                                                       temp.File("out/records.csv") + "."});
    EXPECT_EQ(host.messageBoxes.back().request.icon, MessageBoxIcon::Information);
}
} // namespace
