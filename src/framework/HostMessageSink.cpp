#include "framework/HostMessageSink.h"

#include "framework/Host.h"

#include <cstdio>

void CHostMessageSink::ShowMessage(std::string_view text)
{
    ShowOkBox(text, MessageBoxIcon::Exclamation);
}

void CHostMessageSink::ShowInformation(std::string_view text)
{
    ShowOkBox(text, MessageBoxIcon::Information);
}

void CHostMessageSink::ShowOkBox(std::string_view text, MessageBoxIcon icon)
{
    IHost* host = GetHost();
    if (host == nullptr)
    {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        return;
    }
    host->EndOfHandler(); // what the handler drew is on screen before the box covers it
    const CModalScope modal;
    host->ShowMessageBox({m_strCaption, std::string(text), MessageBoxButtons::Ok, icon});
}

bool CHostMessageSink::AskYesNo(std::string_view text)
{
    IHost* host = GetHost();
    if (host == nullptr)
    {
        std::fprintf(stderr, "%.*s [answered Yes]\n", static_cast<int>(text.size()), text.data());
        return true;
    }
    host->EndOfHandler();
    const CModalScope modal;
    return host->ShowMessageBox({m_strCaption, std::string(text), MessageBoxButtons::YesNo,
                                 MessageBoxIcon::Question}) == kIdYes;
}

YesNoCancel CHostMessageSink::AskYesNoCancel(std::string_view text)
{
    IHost* host = GetHost();
    if (host == nullptr)
    {
        std::fprintf(stderr, "%.*s [answered Yes]\n", static_cast<int>(text.size()), text.data());
        return YesNoCancel::Yes;
    }
    host->EndOfHandler();
    const CModalScope modal;
    const int answer = host->ShowMessageBox(
        {m_strCaption, std::string(text), MessageBoxButtons::YesNoCancel, MessageBoxIcon::Question});
    if (answer == kIdYes)
        return YesNoCancel::Yes;
    return answer == kIdNo ? YesNoCancel::No : YesNoCancel::Cancel;
}

std::optional<std::string> CHostMessageSink::AskFileName(const FileDialogRequest& request)
{
    IHost* host = GetHost();
    if (host == nullptr)
        return std::nullopt;
    host->EndOfHandler();
    const CModalScope modal;
    return host->ShowFileDialog(request);
}
