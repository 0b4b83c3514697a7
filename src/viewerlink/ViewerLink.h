// The link from the main window to the companion viewer: connect once on request, then fetch and
// show the viewer's timestamp.
//
// For the window: hold one CViewerLink as a member, built with the bus services, e.g.
//     CViewerLink m_viewerLink{CreateBusViewerAutomation()};   // BusViewerAutomation.h
// (a build without the bus may pass nullptr: connecting then reports kViewerErrNoBus). The button
// handler calls m_viewerLink.ConnectViewer(); the idle hook calls m_viewerLink.ShowViewerTimestamp(),
// which does nothing while not connected. Both show their own messages through the message sink,
// so their results may be ignored. Every bus call is bounded (about 1.5 s) and processes no window
// events, so neither call re-enters the window. The link lives as long as the window and releases
// the viewer's object when destroyed. The bus implementation needs a QCoreApplication (the
// window's QApplication will do) and must be used from the thread that made it.
#pragma once

#include "viewerlink/ViewerAutomation.h"

#include <cstdint>
#include <memory>
#include <string_view>

inline constexpr std::string_view kViewerProgId = "Corvantix.Q7Conduit";
inline constexpr std::int32_t kViewerTimestampDispId = 12;

inline constexpr std::string_view kViewerNoClassText =
    "Cannot Connect to Corvantix.\r\n(Unable to Get Tarsine CLSID) Err:";
inline constexpr std::string_view kViewerNoCreateText =
    "Cannot Connect to Corvantix.\r\n(Unable to CoCreateTarsine) Err:";
inline constexpr std::string_view kViewerTimestampText = "Timestamp=";
// Shown once when a call to a connected viewer fails; the link is dropped so that the button
// connects again.
inline constexpr std::string_view kViewerLostText = "Lost the link to Corvantix: the call to the viewer "
                                                    "failed.\r\nPress \"Corvantix\" to connect again. Err:";

class CViewerLink
{
public:
    explicit CViewerLink(std::unique_ptr<IViewerAutomation> automation);
    ~CViewerLink();
    CViewerLink(const CViewerLink&) = delete;
    CViewerLink& operator=(const CViewerLink&) = delete;

    // Connects unless connected already; on failure tells the user which step failed, with its code,
    // and stays disconnected. Returns kOk or that code.
    std::int32_t ConnectViewer();
    // Asks the connected viewer for its timestamp (dispatch id 12, second argument). kOk, or a
    // negative code (kViewerErrGone when not connected). Shows nothing and keeps the link.
    std::int32_t GetViewerTimestamp(std::int32_t& timestamp);
    // While connected, shows "Timestamp=" with the viewer's value. When the call fails, drops the
    // link and tells the user once. Does nothing while disconnected.
    void ShowViewerTimestamp();
    [[nodiscard]] bool IsConnected() const { return m_bViewerConnected; }

private:
    std::unique_ptr<IViewerAutomation> m_pAutomation;
    std::unique_ptr<IViewerDispatch> m_viewer; // the viewer's object while connected
    bool m_bViewerConnected = false;
};
