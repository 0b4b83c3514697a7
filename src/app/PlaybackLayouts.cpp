// Save Regions and Load Regions (the region table and its margin as a layout file) and the
// selected region's properties.
#include "app/CommandDialogs.h"
#include "app/PlaybackDlg.h"
#include "app/ShapePropertiesDlg.h"
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

bool CPlaybackDlg::SaveRegionsAs()
{
    const std::optional<std::string> path = AskLayoutFile(FileDialogRequest::Kind::Save, kSaveLayoutTitle);
    if (!path || !MayWriteLayout(*path))
        return false;
    // A name the layout could not hold back, or a file that cannot be written, has been told.
    if (SaveRegionLayout(*path, m_regions, m_nRegionMargin, m_analysisSettings) != kOk)
        return false;
    m_regionHistory.MarkSaved(m_regions);
    return true;
}

void CPlaybackDlg::OnSaveRegions()
{
    static_cast<void>(SaveRegionsAs());
}

void CPlaybackDlg::OnLoadRegions()
{
    if (!MayDropRegions())
        return;
    const std::optional<std::string> path = AskLayoutFile(FileDialogRequest::Kind::Open, kLoadLayoutTitle);
    if (!path)
        return;
    m_regions.CancelGesture(m_regionPlot);
    // A faulty layout has been told in one message and leaves the table, the margin and the
    // settings as they were; a version 1 layout brings the default settings.
    if (LoadRegionLayout(*path, m_regions, m_nRegionMargin, m_analysisSettings) != kOk)
        return;
    m_regionHistory.MarkSaved(m_regions);
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
    const RegionShape shape = m_regions.ShapeOf(selected);
    if (shape.kind != ShapeKind::Rectangle)
    {
        // A circle's or polygon's numbers as one text, checked as tracktool checks its options.
        CShapePropertiesDlg dialog(this, shape);
        dialog.m_strName = m_regions.m_regionNames[slot];
        if (dialog.DoModal() != kIdOk)
            return;
        m_regions.m_regionNames[slot] = dialog.m_strName;
        m_regions.SetShape(selected, dialog.m_shape);
        m_regions.Redraw(m_regionPlot);
        return;
    }
    CRegionPropertiesDlg dialog(this);
    dialog.m_strName = m_regions.m_regionNames[slot];
    dialog.m_nLeft = shape.rect.left;
    dialog.m_nTop = shape.rect.top;
    dialog.m_nRight = shape.rect.right;
    dialog.m_nBottom = shape.rect.bottom;
    if (dialog.DoModal() != kIdOk)
        return;
    m_regions.m_regionNames[slot] = dialog.m_strName;
    m_regions.SetShape(selected, RegionShape::Rectangle(
                                     Rect{dialog.m_nLeft, dialog.m_nTop, dialog.m_nRight, dialog.m_nBottom}));
    m_regions.Redraw(m_regionPlot);
}
