#include "framework/FolderDialog.h"

std::optional<std::string> AskFolder(const FolderDialogRequest& request)
{
    IHost* host = GetHost();
    if (host == nullptr)
        return std::nullopt;
    host->EndOfHandler();
    const CModalScope modal;
    return host->ShowFolderDialog(request);
}
