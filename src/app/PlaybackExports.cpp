// Export Visits and Export Records: the tables of the open file as CSV files, each the output of
// one pass behind the progress display, then a short summary. A cancelled export writes nothing.
#include "app/PlaybackDlg.h"
#include "app/WindowPass.h"
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "framework/FolderDialog.h"
#include "outputs/OutputKinds.h"
#include "outputs/RecordsOutput.h"
#include "trackfile/TrackFile.h"

#include <filesystem>
#include <optional>
#include <string>

namespace
{
constexpr std::string_view kExportVisitsTitle = "Export Visits";
constexpr std::string_view kExportVisitsFolderTitle = "Export Visits to Folder";
constexpr std::string_view kExportRecordsTitle = "Export Records";

// The folder of the open file, where the dialogs start.
std::string FolderOf(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

// What Export Visits tells when it is done: the files written and, per region, the line tracktool
// visits prints.
std::string VisitsSummary(const ITrackOutput& visits, const std::string& dir,
                          const std::string& trackFileName)
{
    std::string text = "Visits of " + trackFileName + " written to " + dir + ":\n";
    for (const std::string& file : visits.Files())
        text += std::filesystem::path(file).filename().string() + "\n";
    text += "\n";
    for (const std::string& line : visits.SummaryLines())
        text += line + "\n";
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
    OutputSettings settings;
    settings.regions = m_regions;
    settings.margin = m_nRegionMargin;
    settings.analysis = m_analysisSettings;
    const std::unique_ptr<ITrackOutput> visits = kOutputKinds[*FindOutputKind("visits")].make(
        settings, TrackOutputPlace{*dir, trackFileName, trackFileName});
    ITrackOutput* outputs[] = {visits.get()};
    // The files are put in place only once the whole track has been read: a cancel leaves nothing.
    if (RunWindowPass(m_strTrackPath, outputs, kExportVisitsTitle,
                      "Finding the visits in " + trackFileName + "...") != kOk)
        return; // told, naming the file; none of the three was put in place
    ShowInformation(VisitsSummary(*visits, *dir, trackFileName));
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
    request.initialName = trackFileName + std::string(kRecordsFileSuffix);
    const std::optional<std::string> path = GetMessageSink().AskFileName(request);
    if (!path)
        return;
    // The rows go to a temporary file that is put in place when the pass ends well; a cancel or a
    // failure removes it.
    CRecordsOutput records(*path);
    ITrackOutput* outputs[] = {&records};
    if (RunWindowPass(m_strTrackPath, outputs, kExportRecordsTitle,
                      "Writing every record of " + trackFileName + "...") != kOk)
        return;
    ShowInformation("Records of " + trackFileName + " written: " + std::to_string(m_recordCount) +
                    " rows in " + *path + ".");
}
