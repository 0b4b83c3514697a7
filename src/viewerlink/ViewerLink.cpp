#include "viewerlink/ViewerLink.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"

#include <array>
#include <utility>

CViewerLink::CViewerLink(std::unique_ptr<IViewerAutomation> automation) : m_pAutomation(std::move(automation))
{
}

CViewerLink::~CViewerLink()
{
    // The object goes before the services that made it.
    m_viewer.reset();
    m_pAutomation.reset();
}

std::int32_t CViewerLink::ConnectViewer()
{
    if (m_bViewerConnected)
        return kOk;
    const std::int32_t found =
        m_pAutomation ? m_pAutomation->FindViewerClass(kViewerProgId) : kViewerErrNoBus;
    if (found != kOk)
    {
        MessageBoxWithNumber(kViewerNoClassText, found);
        return found;
    }
    std::unique_ptr<IViewerDispatch> viewer;
    std::int32_t created = m_pAutomation->CreateViewer(kViewerProgId, viewer);
    if (created == kOk && !viewer)
        created = kViewerErrNoObject; // a success without an object is not one
    if (created != kOk)
    {
        MessageBoxWithNumber(kViewerNoCreateText, created);
        return created;
    }
    m_viewer = std::move(viewer);
    m_bViewerConnected = true;
    return kOk;
}

std::int32_t CViewerLink::GetViewerTimestamp(std::int32_t& timestamp)
{
    if (!m_bViewerConnected)
        return kViewerErrGone;
    // The values passed in carry no meaning; the viewer leaves its timestamp in the second.
    std::array<std::int32_t, 2> args{0, 0};
    std::int32_t result = 0;
    const std::int32_t code = m_viewer->Invoke(kViewerTimestampDispId, args, result);
    if (code != kOk)
        return code;
    timestamp = args[1];
    return kOk;
}

void CViewerLink::ShowViewerTimestamp()
{
    if (!m_bViewerConnected)
        return;
    std::int32_t timestamp = 0;
    const std::int32_t code = GetViewerTimestamp(timestamp);
    if (code != kOk)
    {
        // Dropped before the box opens, so nothing that runs while it is open calls the dead viewer
        // again or tells the user twice.
        m_viewer.reset();
        m_bViewerConnected = false;
        MessageBoxWithNumber(kViewerLostText, code);
        return;
    }
    MessageBoxWithNumber(kViewerTimestampText, std::int64_t{timestamp});
}
