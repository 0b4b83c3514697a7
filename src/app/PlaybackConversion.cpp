// The Calculate New Center/Direction command: source and destination dialogs, the distance band
// from the Min and Max boxes, the conversion run, and the result opened for playback.
#include "app/PlaybackDlg.h"
#include "base/MessageSink.h"
#include "framework/WinApp.h"
#include "recalc/TrackConverter.h"

#include <optional>
#include <string>

namespace
{
constexpr std::string_view kConvertFilter = "Video Tracker Files (*.qtf)|*.qtf|Old-Style Zentravox Files "
                                            "(*.dat)|*.dat|All Files (*.*)|*.*||";
constexpr std::string_view kConvertSourceTitle = "Select Zentravox Video Tracker File To Convert";
constexpr std::string_view kConvertDestinationTitle = "Select Zentravox Video Tracker File To Save To";

// A dialog with no default extension and no initial name.
std::optional<std::string> AskConversionFile(FileDialogRequest::Kind kind, std::string_view title)
{
    FileDialogRequest request;
    request.kind = kind;
    request.title = std::string(title);
    request.filter = std::string(kConvertFilter);
    return GetMessageSink().AskFileName(request);
}
} // namespace

void CPlaybackDlg::OnCalculateNewCenter()
{
    const std::optional<std::string> source =
        AskConversionFile(FileDialogRequest::Kind::Open, kConvertSourceTitle);
    if (!source)
        return;
    const std::optional<std::string> destination =
        AskConversionFile(FileDialogRequest::Kind::Save, kConvertDestinationTitle);
    if (!destination)
        return;

    {
        const CWaitCursor wait;
        // An unreadable Min or Max has its message; the run goes on with the values the fields hold.
        UpdateData(ExchangeDirection::FromControls);
        // Min must be below Max; the user has been told, and no file is opened.
        if (!ValidateTargetDistances(m_minTargetDistance, m_maxTargetDistance))
            return;
        // The run reports its own outcome; the destination is opened whatever it was.
        static_cast<void>(
            m_converter.ConvertFile(*source, *destination, m_minTargetDistance, m_maxTargetDistance));
    }
    OpenTrackFile(*destination);
}
