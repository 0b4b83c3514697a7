#include "app/PlaybackDlg.h"

#include "app/RecordNavigation.h"
#include "app/StripQuotes.h"
#include "base/MessageSink.h"
#include "framework/Accelerator.h"
#include "framework/DataExchange.h"
#include "framework/MessageMap.h"
#include "framework/ResourceLoad.h"
#include "framework/WinApp.h"
#include "trackfile/TrackFile.h"

#include <string>
#include <utility>

CPlaybackDlg::CPlaybackDlg(CTrackFile& trackFile, std::unique_ptr<IViewerAutomation> viewerAutomation)
    : CDialog(kIddPlayback), m_viewer(std::make_unique<CViewerLink>(std::move(viewerAutomation))),
      m_trackFile(trackFile)
{
}

CPlaybackDlg::~CPlaybackDlg()
{
    ReleaseViewer();
    // The surface goes with this object; the screen window (destroyed by the base) must not show
    // it any longer.
    if (HasWindow())
        m_plotArea.SetPixelSource(nullptr);
}

void CPlaybackDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, kIdcScrollBar, m_scrollBar);
    DDX_Control(pDX, kIdcPlotArea, m_plotArea);
    DDX_Text(pDX, kIdcPlotEveryNth, m_plotEveryNth);
    DDX_Text(pDX, kIdcRecordNumber, m_strRecordNumber);
    DDX_Text(pDX, kIdcTimeStamp, m_strTimeStamp);
    DDX_Text(pDX, kIdcX, m_strX);
    DDX_Text(pDX, kIdcY, m_strY);
    DDX_Text(pDX, kIdcAngle, m_strAngle);
    DDX_Text(pDX, kIdcLastRecord, m_strLastRecord);
    DDX_Check(pDX, kIdcCheckRR, m_colorFilter.rr);
    DDX_Check(pDX, kIdcCheckPR, m_colorFilter.pr);
    DDX_Check(pDX, kIdcCheckRG, m_colorFilter.rg);
    DDX_Check(pDX, kIdcCheckPG, m_colorFilter.pg);
    DDX_Check(pDX, kIdcCheckRB, m_colorFilter.rb);
    DDX_Check(pDX, kIdcCheckPB, m_colorFilter.pb);
    DDX_Check(pDX, kIdcCheckLum, m_colorFilter.lum);
    // Max before Min: an unreadable Max leaves both distances as they were.
    DDX_Text(pDX, kIdcMaxDistance, m_maxTargetDistance);
    DDX_Text(pDX, kIdcMinDistance, m_minTargetDistance);
}

bool CPlaybackDlg::PreTranslateMessage(Message& msg)
{
    // Every key goes through the accelerator table first, whichever control has the focus, so the
    // main-row digits, arrows, Insert and Delete always act as commands.
    if (IsKeyMessage(msg.kind) && m_hAccel != nullptr && TranslateAccelerator(*this, m_hAccel, msg))
        return true;
    return CDialog::PreTranslateMessage(msg);
}

bool CPlaybackDlg::ConsumesKey(const Message& msg) const
{
    return TranslateToCommand(m_hAccel, msg) != 0 || CDialog::ConsumesKey(msg);
}

bool CPlaybackDlg::OnInitDialog()
{
    CDialog::OnInitDialog(); // the first exchange to the controls: they take the member values

    m_hIcon = LoadIcon(kIdiProgramIcon);
    m_hAccel = LoadAccelerators(kIdrAccelerators);

    // The plot draws on a surface of the plot area's client size (640 x 480, the tracker's frame),
    // which the plot area shows.
    const Rect client = m_plotArea.GetClientRect();
    const std::int32_t width = client.right - client.left;
    const std::int32_t height = client.bottom - client.top;
    m_pSurface = std::make_unique<CDrawingSurface>(width, height);
    m_plot.Attach(m_pSurface.get(), width, height, &m_trackFile);
    m_plot.ShowRegionNames(m_regions.m_regionNames.data());
    m_pPixelSource = std::make_unique<CPixelSourceAdapter<CDrawingSurface>>(*m_pSurface);
    m_plotArea.SetPixelSource(m_pPixelSource.get());

    if (CMenu* systemMenu = GetSystemMenu())
    {
        const std::string about = LoadString(kIdsAboutBox);
        if (!about.empty())
        {
            systemMenu->AppendMenu(kMfSeparator);
            systemMenu->AppendMenu(kMfString, kIdmAboutBox, about);
        }
    }

    SetIcon(m_hIcon, IconSize::Big);
    SetIcon(m_hIcon, IconSize::Small);
    return true;
}

bool CPlaybackDlg::OnWndMsg(const Message& msg)
{
    static constexpr MessageEntry<CPlaybackDlg> kMessageMap[] = {
        MapCommand(kCmdFileOpen, &CPlaybackDlg::OnFileOpen),
        MapCommand(kCmdFileExit, &CPlaybackDlg::OnFileExit),
        MapClose(&CPlaybackDlg::OnFileExit),
        MapCommand(kCmdEntireTrack, &CPlaybackDlg::OnPlotNow),
        MapButtonClicked(kIdcPlotNow, &CPlaybackDlg::OnPlotNow),
        MapCommand(kCmdNextFrame, &CPlaybackDlg::OnNextFrame),
        MapCommand(kCmdPreviousFrame, &CPlaybackDlg::OnPreviousFrame),
        MapCommand(kCmdOneSecondForward, &CPlaybackDlg::OnOneSecondForward),
        MapCommand(kCmdOneSecondBack, &CPlaybackDlg::OnOneSecondBack),
        MapCommand(kCmdToggleTargetsPoints, &CPlaybackDlg::OnToggleTargetsPoints),
        MapCommand(kCmdCreateRectangle, &CPlaybackDlg::OnCreateRectangle),
        MapCommand(kCmdDeleteRectangle, &CPlaybackDlg::OnDeleteRectangle),
        MapCommandRange(kCmdSelectRectangle0, kCmdSelectRectangle49, &CPlaybackDlg::OnSelectRectangle),
        MapCommand(kCmdGenerateTimestampFiles, &CPlaybackDlg::OnGenerateTimestampFiles),
        MapCommand(kCmdSaveBitmap, &CPlaybackDlg::OnSaveBitmap),
        MapCommand(kCmdCalculateNewCenter, &CPlaybackDlg::OnCalculateNewCenter),
        MapCommand(kCmdAbout, &CPlaybackDlg::OnAbout),
        MapCommand(kCmdSaveRegions, &CPlaybackDlg::OnSaveRegions),
        MapCommand(kCmdLoadRegions, &CPlaybackDlg::OnLoadRegions),
        MapCommand(kCmdRegionProperties, &CPlaybackDlg::OnRegionProperties),
        MapCommand(kCmdAnalysisSettings, &CPlaybackDlg::OnAnalysisSettings),
        MapCommand(kCmdCalibrate, &CPlaybackDlg::OnCalibrate),
        MapCommand(kCmdGoToRecord, &CPlaybackDlg::OnGoToRecord),
        MapCommand(kCmdTrackingQuality, &CPlaybackDlg::OnTrackingQuality),
        MapCommand(kCmdExportVisits, &CPlaybackDlg::OnExportVisits),
        MapCommand(kCmdExportRecords, &CPlaybackDlg::OnExportRecords),
        MapCommand(kCmdSavePlotPng, &CPlaybackDlg::OnSavePlotPng),
        MapCommand(kCmdOccupancyHeatmap, &CPlaybackDlg::OnOccupancyHeatmap),
        MapCommand(kCmdAddCircle, &CPlaybackDlg::OnAddCircle),
        MapCommand(kCmdAddPolygon, &CPlaybackDlg::OnAddPolygon),
        MapCommand(kCmdDeleteAllRegions, &CPlaybackDlg::OnDeleteAllRegions),
        MapCommand(kCmdUndoRegionEdit, &CPlaybackDlg::OnUndoRegionEdit),
        MapCommand(kCmdRedoRegionEdit, &CPlaybackDlg::OnRedoRegionEdit),
        MapButtonClicked(kIdcCheckRR, &CPlaybackDlg::OnColorCheck),
        MapButtonClicked(kIdcCheckPR, &CPlaybackDlg::OnColorCheck),
        MapButtonClicked(kIdcCheckRG, &CPlaybackDlg::OnColorCheck),
        MapButtonClicked(kIdcCheckPG, &CPlaybackDlg::OnColorCheck),
        MapButtonClicked(kIdcCheckRB, &CPlaybackDlg::OnColorCheck),
        MapButtonClicked(kIdcCheckPB, &CPlaybackDlg::OnColorCheck),
        MapButtonClicked(kIdcCheckLum, &CPlaybackDlg::OnColorCheck),
        MapButtonClicked(kIdcViewerButton, &CPlaybackDlg::OnViewerButton),
        MapHScroll(&CPlaybackDlg::OnHScroll),
        MapLButtonDown(&CPlaybackDlg::OnLButtonDown),
        MapLButtonUp(&CPlaybackDlg::OnLButtonUp),
        MapMouseMove(&CPlaybackDlg::OnMouseMove),
        MapDropFiles(&CPlaybackDlg::OnDropFiles),
        MapPaint(&CPlaybackDlg::OnPaint),
        MapSysCommand(&CPlaybackDlg::OnSysCommand),
    };
    if (!MayEditRegions(msg))
        return DispatchMessageMap(*this, kMessageMap, msg) || CDialog::OnWndMsg(msg);
    const RegionSnapshot before = SnapshotOf(m_regions);
    const bool handled = DispatchMessageMap(*this, kMessageMap, msg) || CDialog::OnWndMsg(msg);
    m_regionHistory.Record(before, m_regions);
    return handled;
}

void CPlaybackDlg::OpenTrackFile(const std::string& path)
{
    // A file that cannot be opened has been reported by the reader; the window is reset to it in
    // any case (count 0, "of:" -1, the title naming the path).
    static_cast<void>(m_trackFile.Open(path));
    m_strTrackPath = path;
    m_recordCount = m_trackFile.GetRecordCount();
    m_scrollBar.SetScrollRange(kScrollMin, kScrollMax, Redraw::Now);
    m_currentIndex = 0;
    m_scrollBar.SetScrollPos(0, Redraw::Now);
    m_strLastRecord = std::to_string(static_cast<std::int64_t>(m_recordCount) - 1);
    UpdateData(ExchangeDirection::ToControls);
    SetWindowText(path + std::string(kTitleSuffix));
    if (m_bHeatmapShown)
        ClearPlot();
}

void CPlaybackDlg::ClearPlot()
{
    m_plot.Clear();
    m_regions.Redraw(m_regionPlot);
    m_bHeatmapShown = false;
}

void CPlaybackDlg::OnFileOpen()
{
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Open;
    request.title = std::string(kOpenDialogTitle);
    request.filter = std::string(kOpenDialogFilter);
    request.defaultExtension = std::string(kOpenDialogExtension);
    request.initialName = std::string(kOpenDialogInitialName);
    if (const std::optional<std::string> path = GetMessageSink().AskFileName(request))
        OpenTrackFile(*path);
}

void CPlaybackDlg::OnFileExit()
{
    if (!MayDropRegions())
        return;
    // The window stays; it goes away with the application object once the loop has ended.
    PostQuitMessage(0);
}

void CPlaybackDlg::OnDropFiles(const std::vector<std::string>& paths)
{
    // Only the first dropped file is opened. Paths have no length limit on this platform.
    if (paths.empty() || paths.front().empty())
        return;
    OpenTrackFile(StripQuotes(paths.front()));
}

void CPlaybackDlg::OnPaint()
{
    // While minimised the host shows the icon. Otherwise the plot is cleared and the regions drawn
    // again; the record shown before comes back at the next move.
    if (IsIconic())
        return;
    ClearPlot();
}

void CPlaybackDlg::OnSysCommand(unsigned id)
{
    // The "&About Quorvane..." item shows the About box, as Help > About does.
    if ((id & kScCommandMask) == kIdmAboutBox)
        OnAbout();
    else
        DefaultSysCommand(id);
}

void CPlaybackDlg::OnAbout()
{
    CAboutDlg about;
    about.DoModal();
}

void CPlaybackDlg::OnColorCheck()
{
    // The new colours take effect at the next move or plot; nothing is redrawn now.
    UpdateData(ExchangeDirection::FromControls);
}

bool CPlaybackDlg::HasRecordsToRead() const
{
    if (m_trackFile.IsOpen() && m_recordCount > 0)
        return true;
    ShowMessage(kMsgNoRecordsToRead);
    return false;
}

void CPlaybackDlg::OnToggleTargetsPoints()
{
    m_viewPoints = !m_viewPoints;
}
