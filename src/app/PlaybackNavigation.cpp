// Stepping through the records: the four moves, the scroll bar, Go to Record, and the refresh
// after each.
#include "app/CommandDialogs.h"
#include "app/PlaybackDlg.h"
#include "app/RecordNavigation.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackRecord.h"

#include <string>

void CPlaybackDlg::OnNextFrame()
{
    if (m_recordCount != 0)
        MoveToRecord(MoveIndex(RecordMove::NextFrame, m_currentIndex, m_recordCount));
}

void CPlaybackDlg::OnPreviousFrame()
{
    if (m_recordCount != 0)
        MoveToRecord(MoveIndex(RecordMove::PreviousFrame, m_currentIndex, m_recordCount));
}

void CPlaybackDlg::OnOneSecondForward()
{
    if (m_recordCount != 0)
        MoveToRecord(MoveIndex(RecordMove::OneSecondForward, m_currentIndex, m_recordCount));
}

void CPlaybackDlg::OnOneSecondBack()
{
    if (m_recordCount != 0)
        MoveToRecord(MoveIndex(RecordMove::OneSecondBack, m_currentIndex, m_recordCount));
}

void CPlaybackDlg::OnHScroll(unsigned code, unsigned pos, CScrollBar*)
{
    // Every code refreshes, end of scrolling included, so a drag refreshes once per tracking
    // notification, once at the release and once at the end.
    if (m_recordCount != 0)
        MoveToRecord(ScrollIndex(code, pos, m_currentIndex, m_recordCount).value_or(m_currentIndex));
}

void CPlaybackDlg::OnGoToRecord()
{
    if (!HasRecordsToRead())
        return;
    CGoToRecordDlg dialog(this, m_recordCount, m_currentIndex);
    if (dialog.DoModal() != kIdOk)
        return;
    // Exactly what a step to that record shows.
    MoveToRecord(dialog.m_nRecord);
}

void CPlaybackDlg::MoveToRecord(std::uint32_t index)
{
    // Our choice for a window without records (no file, or an empty one): the moves above never
    // get here, so the plot, the thumb and the readouts stay as they are and the thumb position
    // is never divided by a count of 0.
    if (m_recordCount == 0)
        return;
    m_currentIndex = index;
    RefreshRecord();
}

void CPlaybackDlg::RefreshRecord()
{
    const ColorFilter filter = m_colorFilter;
    // A record the reader cannot deliver has been reported by the reader; what it copied is shown.
    TrackRecord record{};
    static_cast<void>(m_plot.ShowRecord(record, m_currentIndex, m_regions.m_regionRects.data(),
                                        m_regions.m_regionShapes.data(), m_regions.m_nRegionCount,
                                        m_regions.m_nSelectedRegion, filter, ViewModeOf(m_viewPoints)));
    m_bHeatmapShown = false; // the step cleared the plot

    m_scrollBar.SetScrollPos(IndexToThumb(m_currentIndex, m_recordCount), Redraw::Now);

    const std::int64_t timestamp = record.timestamp;
    const std::int32_t x = record.x;
    const std::int32_t y = record.y;
    const std::int32_t angle = record.angle;
    m_strRecordNumber = std::to_string(m_currentIndex);
    m_strTimeStamp = std::to_string(timestamp);
    m_strX = std::to_string(x);
    m_strY = std::to_string(y);
    m_strAngle = std::to_string(angle);
    UpdateData(ExchangeDirection::ToControls);
}
