// The region edits beside the original ones: adding circles and polygons, Delete All, undo and
// redo, Enter and Escape while a shape is drawn, and the question before regions that were not
// saved are dropped.
#include "app/PlaybackDlg.h"
#include "base/MessageSink.h"

#include <string>

bool CPlaybackDlg::MayEditRegions(const Message& msg)
{
    switch (msg.kind)
    {
    case MessageKind::Command:
        // Undo and redo move through the history themselves; they are no new step.
        return msg.id != kCmdUndoRegionEdit && msg.id != kCmdRedoRegionEdit;
    case MessageKind::LButtonDown:
    case MessageKind::LButtonUp:
        return true;
    default:
        return false;
    }
}

void CPlaybackDlg::OnOK()
{
    // Enter reaches the window as its default action, not as a message OnWndMsg records.
    const RegionSnapshot before = SnapshotOf(m_regions);
    if (m_regions.ClosePolygon(m_regionPlot))
        m_regionHistory.Record(before, m_regions);
}

void CPlaybackDlg::OnCancel()
{
    // Escape leaves the window as it is; it only stops a calibration or a shape on its way.
    m_calibrationDrag.Cancel(m_pSurface.get());
    m_regions.CancelGesture(m_regionPlot);
}

void CPlaybackDlg::OnAddCircle()
{
    m_regions.StartCircle(m_regionPlot);
}

void CPlaybackDlg::OnAddPolygon()
{
    m_regions.StartPolygon(m_regionPlot);
}

void CPlaybackDlg::OnDeleteAllRegions()
{
    const std::int32_t count = m_regions.m_nRegionCount;
    if (count <= 0)
        return;
    const std::string question = count == 1 ? std::string("Delete the one region?")
                                            : "Delete all " + std::to_string(count) + " regions?";
    if (!GetMessageSink().AskYesNo(question))
        return;
    m_regions.DeleteAll(m_regionPlot);
}

void CPlaybackDlg::OnUndoRegionEdit()
{
    m_regions.CancelGesture(m_regionPlot);
    if (m_regionHistory.Undo(m_regions))
        m_regions.Redraw(m_regionPlot);
}

void CPlaybackDlg::OnRedoRegionEdit()
{
    m_regions.CancelGesture(m_regionPlot);
    if (m_regionHistory.Redo(m_regions))
        m_regions.Redraw(m_regionPlot);
}

bool CPlaybackDlg::MayDropRegions()
{
    if (!m_regionHistory.HasUnsavedChanges(m_regions))
        return true;
    switch (GetMessageSink().AskYesNoCancel(kMsgSaveRegionChanges))
    {
    case YesNoCancel::Yes:
        return SaveRegionsAs();
    case YesNoCancel::No:
        return true;
    case YesNoCancel::Cancel:
        break;
    }
    return false;
}
