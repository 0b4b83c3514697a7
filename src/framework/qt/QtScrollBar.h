// A horizontal scroll bar that behaves as the window's code expects of one: it reports what the
// user did (line, page, end, thumb dragged, thumb released) and leaves the thumb where the window
// puts it. Qt's bar moves its own thumb first and reports afterwards; this one takes back any move
// the window did not confirm, never reports the window's own positioning back as a drag, and gives
// the release the position the user let go at. A value Qt sets without any action ("Scroll here"
// of the bar's own context menu) is a thumb released at that position, as a middle click on the
// groove is.
#pragma once

#include <QScrollBar>
#include <functional>

class CNotifyingScrollBar final : public QScrollBar
{
public:
    // code: one of the kSb* scroll codes; pos: the thumb position that goes with it.
    using Notify = std::function<void(int code, int pos)>;

    CNotifyingScrollBar(QWidget* parent, Notify notify);

    // The window's SetScrollPos: moves the thumb without reporting anything.
    void SetPositionFromWindow(int pos);
    // The window's SetScrollRange: a thumb the new range moves is not reported either.
    void SetRangeFromWindow(int minPos, int maxPos);

protected:
    // One wheel notch is one line step (a line right for a turn towards the user).
    void wheelEvent(QWheelEvent* event) override;

private:
    void OnAction(int action);
    void OnPressed();
    void OnReleased();
    void OnValueChanged(int value);
    // Reports code and then the end of scrolling; when the window set no position meanwhile, the
    // thumb goes back to restorePos.
    void NotifyStep(int code, int pos, int restorePos);

    Notify m_notify;
    int m_nWindowPos = 0;          // where the window last put the thumb
    int m_nDragStart = 0;          // thumb position when the user took hold of it
    int m_nTrackPos = 0;           // where the user's drag has the thumb
    bool m_bPositionSet = false;   // the window set a position since the last report began
    bool m_bSetDuringDrag = false; // ... or at any time since the thumb was taken hold of
    int m_nWheelRemainder = 0;     // wheel movement short of a whole notch
};
