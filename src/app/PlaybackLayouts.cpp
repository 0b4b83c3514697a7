// Save Regions and Load Regions (the region table and its margin as a layout file) and the
// selected region's properties.
#include "app/CommandDialogs.h"
#include "app/PlaybackDlg.h"
#include "base/MessageSink.h"
#include "base/Regions.h"
#include "base/ResultCodes.h"
#include "regions/RegionLayout.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace
{
constexpr std::string_view kLayoutFilter = "Region Layouts (*.json)|*.json|All Files (*.*)|*.*||";
constexpr std::string_view kLayoutExtension = ".json";
constexpr std::string_view kSaveLayoutTitle = "Save Regions";
constexpr std::string_view kLoadLayoutTitle = "Load Regions";

std::optional<std::string> AskLayoutFile(FileDialogRequest::Kind kind, std::string_view title)
{
    FileDialogRequest request;
    request.kind = kind;
    request.title = std::string(title);
    request.filter = std::string(kLayoutFilter);
    request.defaultExtension = std::string(kLayoutExtension);
    return GetMessageSink().AskFileName(request);
}

// Whether a layout may go to path: yes when no file is there, else the user's answer. Asked once
// the name is final, so that a name the default extension completes ("arena" for arena.json) is
// asked about too.
bool MayWriteLayout(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return true;
    return GetMessageSink().AskYesNo(path + " already exists.\nDo you want to replace it?");
}
} // namespace

void CPlaybackDlg::OnSaveRegions()
{
    const std::optional<std::string> path = AskLayoutFile(FileDialogRequest::Kind::Save, kSaveLayoutTitle);
    if (!path || !MayWriteLayout(*path))
        return;
    // A name the layout could not hold back, or a file that cannot be written, has been told.
    static_cast<void>(SaveRegionLayout(*path, m_regions, m_nRegionMargin, m_analysisSettings));
}

void CPlaybackDlg::OnLoadRegions()
{
    const std::optional<std::string> path = AskLayoutFile(FileDialogRequest::Kind::Open, kLoadLayoutTitle);
    if (!path)
        return;
    // A faulty layout has been told in one message and leaves the table, the margin and the
    // settings as they were; a version 1 layout brings the default settings.
    if (LoadRegionLayout(*path, m_regions, m_nRegionMargin, m_analysisSettings) != kOk)
        return;
    m_regions.Redraw(m_regionPlot);
}

void CPlaybackDlg::OnRegionProperties()
{
    const std::int32_t selected = m_regions.m_nSelectedRegion;
    if (!IsRegionIndex(selected, m_regions.m_nRegionCount))
    {
        ShowMessage(kMsgNoRegionSelected);
        return;
    }
    const auto slot = static_cast<std::size_t>(selected);
    Rect& rect = m_regions.m_regionRects[slot];
    CRegionPropertiesDlg dialog(this);
    dialog.m_strName = m_regions.m_regionNames[slot];
    dialog.m_nLeft = rect.left;
    dialog.m_nTop = rect.top;
    dialog.m_nRight = rect.right;
    dialog.m_nBottom = rect.bottom;
    if (dialog.DoModal() != kIdOk)
        return;
    m_regions.m_regionNames[slot] = dialog.m_strName;
    rect = Rect{dialog.m_nLeft, dialog.m_nTop, dialog.m_nRight, dialog.m_nBottom};
    m_regions.Redraw(m_regionPlot);
}
