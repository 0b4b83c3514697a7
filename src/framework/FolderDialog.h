// The folder dialog of the commands that write several files at once: the host's modal dialog,
// shown the way the message sink shows file dialogs (the plot on screen first, modal for the
// idle rule).
#pragma once

#include "framework/Host.h"

#include <optional>
#include <string>

// The folder the user chose, or nothing when cancelled or without a host.
[[nodiscard]] std::optional<std::string> AskFolder(const FolderDialogRequest& request);
