#include "cli/ToolMessageSink.h"

void CToolMessageSink::WriteLine(std::string_view text, std::string_view suffix)
{
    // An empty view may hold no pointer at all, which fwrite must not be given.
    for (const std::string_view part : {text, suffix})
        if (!part.empty())
            std::fwrite(part.data(), 1, part.size(), m_pOut);
    std::fputc('\n', m_pOut);
}

void CToolMessageSink::ShowMessage(std::string_view text)
{
    WriteLine(text);
}

void CToolMessageSink::ShowMessageWithReason(std::string_view text, std::string_view reason)
{
    WriteLine(text);
    if (!reason.empty())
        WriteLine(reason);
}

bool CToolMessageSink::AskYesNo(std::string_view text)
{
    WriteLine(text, " [Yes]");
    return true;
}

std::optional<std::string> CToolMessageSink::AskFileName(const FileDialogRequest&)
{
    return std::nullopt;
}
