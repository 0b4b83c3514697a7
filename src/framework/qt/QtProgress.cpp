#include "framework/qt/QtProgress.h"

#include "framework/qt/QtConvert.h"

#include <QCoreApplication>
#include <QProgressDialog>
#include <algorithm>

CQtProgress::CQtProgress(CQtWindowRegistry& windows, QWidget* owner, std::string_view title,
                         std::string_view text)
    : m_inputBlock(windows), m_pDialog(std::make_unique<QProgressDialog>(
                                 ToQString(text), QStringLiteral("Cancel"), 0, kProgressSteps, owner))
{
    m_pDialog->setWindowTitle(ToQString(title));
    m_pDialog->setWindowModality(Qt::WindowModal);
    m_pDialog->setMinimumWidth(kProgressMinWidthPx);
    m_pDialog->setMinimumDuration(kProgressShowAfterMs);
    // The run decides when it is over: the dialog neither hides nor rewinds at the last step.
    m_pDialog->setAutoClose(false);
    m_pDialog->setAutoReset(false);
    m_pDialog->setValue(0); // starts the clock of the minimum duration
}

CQtProgress::~CQtProgress() = default;

bool CQtProgress::Update(std::uint64_t done, std::uint64_t total)
{
    if (total > 0)
    {
        const double share = static_cast<double>(std::min(done, total)) / static_cast<double>(total);
        const int value = static_cast<int>(share * kProgressSteps);
        if (value != m_pDialog->value())
            m_pDialog->setValue(value);
    }
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= kProgressEventsEveryMs)
    {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    return !m_pDialog->wasCanceled();
}
