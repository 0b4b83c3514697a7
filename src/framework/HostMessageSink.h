// The message sink the framework installs for the running program: every message of the core
// becomes a modal box captioned with the program's name ("trackplay") with an OK button and the
// exclamation icon; the one question is a Yes/No box with the question icon; file dialogs go to
// the host's dialogs. Boxes count as modal for the idle rule, and changed plot pixels are put on
// screen before a box opens. Without a host, it falls back to the base sink's default behaviour.
#pragma once

#include "base/MessageSink.h"

class CHostMessageSink final : public IMessageSink
{
public:
    void ShowMessage(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    std::optional<std::string> AskFileName(const FileDialogRequest& request) override;
};
