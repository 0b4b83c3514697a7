#include "framework/ProgressDialog.h"

CProgressDialog::CProgressDialog(std::string_view title, std::string_view text)
{
    if (IHost* host = GetHost())
    {
        host->EndOfHandler(); // what the command drew so far is on screen under the display
        m_pProgress = host->ShowProgress(title, text);
    }
}

CProgressDialog::~CProgressDialog() = default;

bool CProgressDialog::Update(std::uint64_t done, std::uint64_t total)
{
    if (m_bCancelled)
        return false;
    if (m_pProgress != nullptr && !m_pProgress->Update(done, total))
        m_bCancelled = true;
    return !m_bCancelled;
}

std::function<bool(std::uint64_t, std::uint64_t)> CProgressDialog::Callback()
{
    return [this](std::uint64_t done, std::uint64_t total) { return Update(done, total); };
}
