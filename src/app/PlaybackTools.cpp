// The entire-track plot, the bitmap and PNG exports, the region commands with their mouse gesture
// and the enter/leave timestamp files.
#include "app/PlaybackDlg.h"
#include "app/WindowPass.h"
#include "base/MessageSink.h"
#include "framework/WinApp.h"
#include "outputs/PictureFile.h"
#include "plot/RgbRaster.h"
#include "regions/RegionEventGenerator.h"
#include "trackfile/TrackFile.h"

void CPlaybackDlg::OnPlotNow()
{
    // The plot runs with whatever the fields hold after the exchange, also when a field was refused.
    UpdateData(ExchangeDirection::FromControls);
    m_plot.PlotEntireTrack(m_regions.m_regionRects.data(), m_regions.m_regionShapes.data(),
                           m_regions.m_nRegionCount, m_regions.m_nSelectedRegion, m_plotEveryNth);
    m_bHeatmapShown = false; // the plot was cleared first
}

void CPlaybackDlg::OnSaveBitmap()
{
    m_plot.SaveAsBitmap();
}

void CPlaybackDlg::OnSavePlotPng()
{
    // The dialog offers the name the bitmap export offers; the pixels are the plot's as they are.
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = std::string(kPngDialogTitle);
    request.filter = std::string(kPngDialogFilter);
    request.defaultExtension = std::string(kPngDefaultExtension);
    request.initialName = DefaultBitmapName(m_trackFile.GetFileName());
    const std::optional<std::string> path = GetMessageSink().AskFileName(request);
    if (!path || m_pSurface == nullptr)
        return;
    CPictureFile picture(*path, 1, PictureFormat::Png); // PNG whatever name was typed
    Problem problem = picture.Prepare();
    if (problem.IsOk())
        problem = picture.Write(ViewOf(*m_pSurface));
    ShowProblem(problem);
}

void CPlaybackDlg::OnCreateRectangle()
{
    m_regions.CreateRectangle(m_regionPlot);
}

void CPlaybackDlg::OnDeleteRectangle()
{
    m_regions.DeleteRectangle(m_regionPlot);
}

void CPlaybackDlg::OnSelectRectangle(int id)
{
    m_regions.SelectRectangle(m_regionPlot, static_cast<std::uint32_t>(id));
}

Point CPlaybackDlg::CursorInPlot() const
{
    // The cursor where it is now, not where the message says, in the plot area's coordinates
    // (negative or beyond the plot when the pointer is elsewhere in the window).
    Point point = GetCursorPos();
    m_plotArea.ScreenToClient(point);
    return point;
}

void CPlaybackDlg::OnLButtonDown(unsigned, Point)
{
    if (CalibrationButtonDown())
        return;
    m_regions.ButtonDown(m_regionPlot, CursorInPlot());
}

void CPlaybackDlg::OnMouseMove(unsigned flags, Point)
{
    if (CalibrationMouseMove(flags))
        return;
    // While a polygon is drawn its next edge follows the pointer, held or not.
    const bool leftButtonHeld = (flags & kMkLButton) != 0;
    if (leftButtonHeld || m_regions.FollowsPointer())
        m_regions.MouseMove(m_regionPlot, CursorInPlot());
}

void CPlaybackDlg::OnLButtonUp(unsigned, Point)
{
    if (CalibrationButtonUp())
        return;
    m_regions.ButtonUp(m_regionPlot);
}

void CPlaybackDlg::OnGenerateTimestampFiles()
{
    // One generator per run; the files go to the current directory. Without regions or records
    // the run refuses silently. The generator reports file errors itself. Visits are judged with
    // the margin of the layout loaded last (8 until one is).
    const CWaitCursor wait;
    CRegionEventGenerator generator;
    generator.Prepare(m_trackFile, m_regions, m_nRegionMargin);
    generator.Run();
}
