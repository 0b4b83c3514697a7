// Export Visits and Export Records: the tables of the open file as CSV files, each in one pass
// behind the progress display, then a short summary. A cancelled export writes nothing.
#include "analysis/TrackCsv.h"
#include "analysis/VisitCsv.h"
#include "analysis/VisitTable.h"
#include "app/PlaybackDlg.h"
#include "app/TrackPass.h"
#include "base/CsvBuilder.h"
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "framework/FolderDialog.h"
#include "trackfile/TrackFile.h"

#include <filesystem>
#include <optional>
#include <string>

namespace
{
constexpr std::string_view kExportVisitsTitle = "Export Visits";
constexpr std::string_view kExportVisitsFolderTitle = "Export Visits to Folder";
constexpr std::string_view kExportRecordsTitle = "Export Records";
constexpr std::string_view kTrackCsvSuffix = "_track.csv";

// The folder of the open file, where the dialogs start.
std::string FolderOf(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

// What Export Visits tells when it is done: the files written and, per region, the line tracktool
// visits prints; with a calibration, the path length in centimetres after them.
std::string VisitsSummary(const VisitTable& table, const std::string& dir, const std::string& trackFileName)
{
    std::string text = "Visits of " + trackFileName + " written to " + dir + ":\n";
    for (const VisitCsvKind kind : {VisitCsvKind::Visits, VisitCsvKind::Regions, VisitCsvKind::Session})
        text += std::filesystem::path(MakeVisitCsvPath(dir, trackFileName, kind)).filename().string() + "\n";
    text += "\n";
    for (const RegionSummary& region : table.regions)
        text += region.name + ": " + std::to_string(region.entries) + " entries, " +
                FormatFixed6(region.timeInsideSeconds) + " s inside\n";
    if (table.session.pathLengthCm)
        text += "Path length: " + FormatFixed6(*table.session.pathLengthCm) + " cm\n";
    text.pop_back();
    return text;
}
} // namespace

void CPlaybackDlg::OnExportVisits()
{
    if (!HasRecordsToRead())
        return;
    if (m_regions.m_nRegionCount <= 0)
    {
        ShowMessage(kMsgNoRegionsToExport);
        return;
    }
    FolderDialogRequest request;
    request.title = std::string(kExportVisitsFolderTitle);
    request.initialFolder = FolderOf(m_strTrackPath);
    const std::optional<std::string> dir = AskFolder(request);
    if (!dir)
        return;
    const std::string trackFileName = m_trackFile.GetFileName();
    CVisitTableBuilder builder(m_regions, m_nRegionMargin, m_analysisSettings);
    IRecordConsumer* consumers[] = {&builder};
    // The files are written only once the whole track has been read: a cancel leaves nothing.
    if (RunTrackPass(m_strTrackPath, consumers, kExportVisitsTitle,
                     "Finding the visits in " + trackFileName + "...") != kOk)
        return;
    const VisitTable& table = builder.Result();
    if (WriteVisitCsvFiles(table, *dir, trackFileName, trackFileName) != kOk)
        return; // told, naming the file; none of the three was put in place
    ShowInformation(VisitsSummary(table, *dir, trackFileName));
}

void CPlaybackDlg::OnExportRecords()
{
    if (!HasRecordsToRead())
        return;
    const std::string trackFileName = m_trackFile.GetFileName();
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = std::string(kExportRecordsTitle);
    request.filter = std::string(kCsvDialogFilter);
    request.defaultExtension = std::string(kCsvDefaultExtension);
    request.initialName = trackFileName + std::string(kTrackCsvSuffix);
    const std::optional<std::string> path = GetMessageSink().AskFileName(request);
    if (!path)
        return;
    // The rows go to a temporary file that is put in place when the pass ends well; a cancel or a
    // failure removes it.
    CTrackCsvWriter writer(*path);
    IRecordConsumer* consumers[] = {&writer};
    if (RunTrackPass(m_strTrackPath, consumers, kExportRecordsTitle,
                     "Writing every record of " + trackFileName + "...") != kOk)
        return;
    ShowInformation("Records of " + trackFileName + " written: " + std::to_string(m_recordCount) +
                    " rows in " + *path + ".");
}
