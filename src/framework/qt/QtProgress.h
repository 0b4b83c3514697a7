// The Qt host's progress display (internal to the host): a window-modal QProgressDialog with a
// Cancel button over its owner window. It appears only once a run has lasted kProgressShowAfterMs,
// so short runs show nothing. Update lets Qt handle what is queued (so Cancel can be clicked and
// the screen repaints) at most once per kProgressEventsEveryMs, so the run does not spend its time
// in the event loop. While it is open the host delivers no input to the program's windows.
#pragma once

#include "framework/Host.h"
#include "framework/qt/QtWindowRegistry.h"

#include <QElapsedTimer>
#include <memory>
#include <string_view>

class QProgressDialog;
class QWidget;

inline constexpr int kProgressShowAfterMs = 300;
inline constexpr int kProgressEventsEveryMs = 25;
inline constexpr int kProgressSteps = 1000; // the bar's range
// Wide enough that a file's name in the text does not leave the box cramped to the text's width.
inline constexpr int kProgressMinWidthPx = 360;

class CQtProgress final : public IHostProgress
{
public:
    // Blocks input to the host's windows (CQtWindowRegistry::IsInputBlocked) while it exists.
    CQtProgress(CQtWindowRegistry& windows, QWidget* owner, std::string_view title, std::string_view text);
    ~CQtProgress() override;
    CQtProgress(const CQtProgress&) = delete;
    CQtProgress& operator=(const CQtProgress&) = delete;

    [[nodiscard]] bool Update(std::uint64_t done, std::uint64_t total) override;

private:
    CQtInputBlock m_inputBlock; // first in, last out: no input reaches the windows while it shows
    std::unique_ptr<QProgressDialog> m_pDialog; // a child of the owner window, which outlives it
    QElapsedTimer m_sinceEvents;                // since Qt last handled the queued events
};
