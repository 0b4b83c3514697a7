// The views computed from the whole open file: Tracking Quality (the report with the window's
// distance band, its figures in the results dialog, the per-record table saved from there) and the
// Occupancy Heatmap (the time spent in each bin, drawn on the plot under the regions).
#include "app/CommandDialogs.h"
#include "app/PlaybackDlg.h"
#include "app/WindowPass.h"
#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "outputs/HeatmapOutput.h"
#include "outputs/OutputLimits.h"
#include "outputs/QualityOutput.h"
#include "plot/OccupancyColours.h"
#include "recalc/TrackConverter.h"
#include "trackfile/TrackFile.h"

#include <optional>
#include <string>

namespace
{
constexpr std::string_view kQualityTitle = "Tracking Quality";
constexpr std::string_view kQualityCsvTitle = "Save Tracking Quality Table";
constexpr std::string_view kHeatmapTitle = "Occupancy Heatmap";

// The table's name offered first: the track's name with its extension, as the other tables of a
// track are named ("run7.qtf_quality.csv").
std::string QualityTableName(const std::string& trackFileName)
{
    return trackFileName + std::string(kQualityTableSuffix);
}

// The figures one to a line, as tracktool prints them (no empty line after the last).
std::string JoinLines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

// Asks where the per-record table goes and writes it in a pass of its own; a cancel at either step
// writes nothing.
void SaveQualityTable(const std::string& trackPath, const std::string& initialName,
                      const QualityOptions& options)
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = std::string(kQualityCsvTitle);
    request.filter = std::string(kCsvDialogFilter);
    request.defaultExtension = std::string(kCsvDefaultExtension);
    request.initialName = initialName;
    const std::optional<std::string> csvPath = GetMessageSink().AskFileName(request);
    if (!csvPath)
        return;
    CQualityOutput table(QualityDestination{{}, *csvPath}, options);
    ITrackOutput* outputs[] = {&table};
    // Failures have been told; a cancelled table leaves nothing behind.
    static_cast<void>(
        RunWindowPass(trackPath, outputs, kQualityCsvTitle, "Writing the table of every record..."));
}
} // namespace

void CPlaybackDlg::OnTrackingQuality()
{
    if (!HasRecordsToRead())
        return;
    // The band comes from the Min and Max boxes, read and checked as the conversion reads and
    // checks them: an unreadable box has its message and the run goes on with the value held.
    UpdateData(ExchangeDirection::FromControls);
    if (!ValidateTargetDistances(m_minTargetDistance, m_maxTargetDistance))
        return;
    QualityOptions options;
    options.minDistance = m_minTargetDistance;
    options.maxDistance = m_maxTargetDistance;
    CQualityOutput report(QualityDestination{}, options);
    ITrackOutput* outputs[] = {&report};
    if (RunWindowPass(m_strTrackPath, outputs, kQualityTitle,
                      "Measuring every record of " + m_trackFile.GetFileName() + "...") != kOk)
        return; // told, or cancelled
    const std::string trackPath = m_strTrackPath;
    const std::string tableName = QualityTableName(m_trackFile.GetFileName());
    CQualityResultsDlg results(this, JoinLines(report.SummaryLines()),
                               [&] { SaveQualityTable(trackPath, tableName, options); });
    results.DoModal();
}

void CPlaybackDlg::OnOccupancyHeatmap()
{
    if (!HasRecordsToRead())
        return;
    if (!m_bHeatmapSettingsChosen)
    {
        // Asked the first time only; the choice holds while the program runs.
        CHeatmapSettingsDlg settings(this);
        settings.m_nBinSize = m_nHeatmapBinPixels;
        settings.m_dSigma = m_dHeatmapSigmaBins;
        settings.m_nMinBinSize = 1;
        settings.m_nMaxBinSize = static_cast<std::uint32_t>(kMaxBinPixels);
        settings.m_dMaxSigma = kMaxSigmaBins;
        if (settings.DoModal() != kIdOk)
            return;
        m_nHeatmapBinPixels = settings.m_nBinSize;
        m_dHeatmapSigmaBins = settings.m_dSigma;
        m_bHeatmapSettingsChosen = true;
    }
    HeatmapSettings settings;
    settings.binPixels = static_cast<std::int32_t>(m_nHeatmapBinPixels);
    settings.sigmaBins = m_dHeatmapSigmaBins;
    CHeatmapOutput heatmap(HeatmapDestination{}, settings); // drawn on the plot, no file
    ITrackOutput* outputs[] = {&heatmap};
    if (RunWindowPass(m_strTrackPath, outputs, kHeatmapTitle,
                      "Counting the time spent in each bin of " + m_trackFile.GetFileName() + "...") != kOk)
        return; // told, or cancelled: the plot stays as it was
    // One plot pixel per surface pixel, the regions on top; like the entire-track plot, it lasts
    // until the next step or repaint clears the plot.
    m_plot.Clear();
    if (m_pSurface != nullptr)
        DrawOccupancyBins(*m_pSurface, heatmap.Grid().Map(m_dHeatmapSigmaBins), std::nullopt);
    m_regions.Redraw(m_regionPlot);
    m_bHeatmapShown = true;
}
