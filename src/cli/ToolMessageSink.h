// tracktool's message sink, installed once by main for every command: each message on a line of
// its own, exactly as its text reads, and the system's reason for a failure on the next line. The
// long-plot question is answered Yes (the user asked for the plot) and shown with the answer; file
// dialogs are cancelled, as a command never asks for a name.
#pragma once

#include "base/MessageSink.h"

#include <cstdio>

class CToolMessageSink final : public IMessageSink
{
public:
    explicit CToolMessageSink(std::FILE* out = stderr) : m_pOut(out) {}

    void ShowMessage(std::string_view text) override;
    void ShowMessageWithReason(std::string_view text, std::string_view reason) override;
    bool AskYesNo(std::string_view text) override;
    std::optional<std::string> AskFileName(const FileDialogRequest& request) override;

private:
    void WriteLine(std::string_view text, std::string_view suffix = {});
    std::FILE* m_pOut; // not owned
};
