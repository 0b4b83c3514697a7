#include "framework/HostMessageSink.h"

#include "framework/Host.h"
#include "framework/WinApp.h"
#include "resources/Resources.h"

#include <cstdio>

namespace
{
// Brackets a modal box: not activity for the idle rule, and the plot is on screen before it.
class CModalBox
{
public:
    CModalBox() : m_pApp(AfxGetApp())
    {
        if (IHost* host = GetHost())
            host->EndOfHandler();
        if (m_pApp != nullptr)
            m_pApp->EnterModal();
    }
    ~CModalBox()
    {
        if (m_pApp != nullptr)
            m_pApp->LeaveModal();
    }
    CModalBox(const CModalBox&) = delete;
    CModalBox& operator=(const CModalBox&) = delete;

private:
    CWinApp* m_pApp;
};
} // namespace

void CHostMessageSink::ShowMessage(std::string_view text)
{
    IHost* host = GetHost();
    if (host == nullptr)
    {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        return;
    }
    CModalBox modal;
    host->ShowMessageBox(
        {std::string(kProgramName), std::string(text), MessageBoxButtons::Ok, MessageBoxIcon::Exclamation});
}

bool CHostMessageSink::AskYesNo(std::string_view text)
{
    IHost* host = GetHost();
    if (host == nullptr)
    {
        std::fprintf(stderr, "%.*s [answered Yes]\n", static_cast<int>(text.size()), text.data());
        return true;
    }
    CModalBox modal;
    return host->ShowMessageBox({std::string(kProgramName), std::string(text), MessageBoxButtons::YesNo,
                                 MessageBoxIcon::Question}) == kIdYes;
}

std::optional<std::string> CHostMessageSink::AskFileName(const FileDialogRequest& request)
{
    IHost* host = GetHost();
    if (host == nullptr)
        return std::nullopt;
    CModalBox modal;
    return host->ShowFileDialog(request);
}
