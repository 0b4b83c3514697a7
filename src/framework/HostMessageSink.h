// The message sink the framework installs for the running program: every message of the core
// becomes a modal box with an OK button and the exclamation icon (a summary of work done gets the
// information icon instead), captioned with the name the application gave (CWinApp); the one
// question is a Yes/No box with the question icon; file dialogs go to the host's dialogs. Boxes
// count as modal for the idle rule, and changed plot pixels are put on screen before a box opens.
// Without a host, it falls back to the base sink's default behaviour.
#pragma once

#include "base/MessageSink.h"
#include "framework/Host.h"

#include <string>
#include <utility>

class CHostMessageSink final : public IMessageSink
{
public:
    explicit CHostMessageSink(std::string caption) : m_strCaption(std::move(caption)) {}

    void ShowMessage(std::string_view text) override;
    void ShowInformation(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    YesNoCancel AskYesNoCancel(std::string_view text) override;
    std::optional<std::string> AskFileName(const FileDialogRequest& request) override;

private:
    void ShowOkBox(std::string_view text, MessageBoxIcon icon);

    std::string m_strCaption; // of every box
};
