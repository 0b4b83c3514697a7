#include "framework/qt/QtScrollBar.h"

#include "framework/Message.h"

#include <QSignalBlocker>
#include <QWheelEvent>
#include <cassert>
#include <utility>

namespace
{
constexpr int kWheelNotch = 120; // angle delta of one wheel notch
}

CNotifyingScrollBar::CNotifyingScrollBar(QWidget* parent, Notify notify)
    : QScrollBar(Qt::Horizontal, parent), m_notify(std::move(notify))
{
    assert(m_notify && "CNotifyingScrollBar: every action is reported, so it needs someone to tell");
    QObject::connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { OnAction(action); });
    QObject::connect(this, &QAbstractSlider::sliderPressed, this, [this] { OnPressed(); });
    QObject::connect(this, &QAbstractSlider::sliderReleased, this, [this] { OnReleased(); });
    QObject::connect(this, &QAbstractSlider::valueChanged, this,
                     [this](int value) { OnValueChanged(value); });
}

void CNotifyingScrollBar::SetPositionFromWindow(int pos)
{
    // Blocked, so that Qt's tracking does not report the move back as a drag of the thumb.
    const QSignalBlocker blocker(this);
    setSliderPosition(pos);
    setValue(pos);
    m_nWindowPos = value();
    m_bPositionSet = true;
    if (isSliderDown())
        m_bSetDuringDrag = true;
}

void CNotifyingScrollBar::SetRangeFromWindow(int minPos, int maxPos)
{
    const QSignalBlocker blocker(this);
    setRange(minPos, maxPos);
    m_nWindowPos = value();
}

void CNotifyingScrollBar::NotifyStep(int code, int pos, int restorePos)
{
    m_bPositionSet = false;
    m_notify(code, pos);
    m_notify(kSbEndScroll, pos);
    if (!m_bPositionSet)
    {
        const QSignalBlocker blocker(this);
        setSliderPosition(restorePos);
        setValue(restorePos);
        m_nWindowPos = value();
    }
}

void CNotifyingScrollBar::OnAction(int action)
{
    // Qt calls this with the thumb already moved (sliderPosition) but value() not yet changed.
    const int before = value();
    int code = kSbEndScroll;
    switch (action)
    {
    case QAbstractSlider::SliderSingleStepSub:
        code = kSbLineLeft;
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        code = kSbLineRight;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = kSbPageLeft;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = kSbPageRight;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = kSbLeft;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = kSbRight;
        break;
    case QAbstractSlider::SliderMove:
        // The thumb follows the user's drag; where it rests afterwards is settled at the release.
        m_nTrackPos = sliderPosition();
        m_notify(kSbThumbTrack, m_nTrackPos);
        return;
    default:
        return;
    }
    NotifyStep(code, sliderPosition(), before);
}

void CNotifyingScrollBar::OnPressed()
{
    m_nDragStart = value();
    m_nTrackPos = sliderPosition();
    m_bSetDuringDrag = false;
}

void CNotifyingScrollBar::OnReleased()
{
    const bool setDuringDrag = m_bSetDuringDrag;
    m_bSetDuringDrag = false;
    // A window that never placed the thumb during the drag gets it back where the drag began.
    NotifyStep(kSbThumbPosition, m_nTrackPos, setDuringDrag ? value() : m_nDragStart);
}

void CNotifyingScrollBar::OnValueChanged(int value)
{
    // The window's own positioning never gets here (it blocks the signal), and an action that the
    // window answered leaves nothing to change. What is left: a value set without any action, as
    // Qt's "Scroll here" does, or the end of a move the window did not take. While the user holds
    // the thumb, the release reports where it went.
    if (isSliderDown())
        return;
    NotifyStep(kSbThumbPosition, value, m_nWindowPos);
}

void CNotifyingScrollBar::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    m_nWheelRemainder += delta.y() != 0 ? delta.y() : delta.x();
    while (m_nWheelRemainder >= kWheelNotch || m_nWheelRemainder <= -kWheelNotch)
    {
        const bool away = m_nWheelRemainder > 0;
        m_nWheelRemainder += away ? -kWheelNotch : kWheelNotch;
        NotifyStep(away ? kSbLineLeft : kSbLineRight, value(), value());
    }
    event->accept();
}
