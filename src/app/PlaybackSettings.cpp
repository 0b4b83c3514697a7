// Tools > Analysis Settings... (the settings and the margin, kept with the regions) and
// Select > Calibrate... (a line dragged on the plot across a distance the user knows).
#include "app/PlaybackDlg.h"
#include "app/SettingsDialogs.h"
#include "base/MessageSink.h"

#include <cmath>
#include <optional>
#include <string>

namespace
{
constexpr std::string_view kCalibrateHint =
    "Drag a line on the plot across a distance you know, then type its length. Escape cancels.";
} // namespace

void CPlaybackDlg::OnAnalysisSettings()
{
    CAnalysisSettingsDlg dialog(this);
    dialog.m_settings = m_analysisSettings;
    dialog.m_nMargin = m_nRegionMargin;
    if (dialog.DoModal() != kIdOk)
        return;
    m_analysisSettings = dialog.m_settings;
    m_nRegionMargin = dialog.m_nMargin;
}

void CPlaybackDlg::OnCalibrate()
{
    ShowInformation(kCalibrateHint);
    m_calibrationDrag.Arm();
}

bool CPlaybackDlg::CalibrationButtonDown()
{
    if (!m_calibrationDrag.IsArmed())
        return false;
    m_calibrationDrag.ButtonDown(CursorInPlot());
    return true;
}

bool CPlaybackDlg::CalibrationMouseMove(unsigned flags)
{
    if (!m_calibrationDrag.IsArmed())
        return false;
    if ((flags & kMkLButton) != 0)
        m_calibrationDrag.MouseMove(m_pSurface.get(), CursorInPlot());
    return true;
}

bool CPlaybackDlg::CalibrationButtonUp()
{
    if (!m_calibrationDrag.IsArmed())
        return false;
    const std::optional<PlotLine> line = m_calibrationDrag.ButtonUp(m_pSurface.get());
    if (!line)
        return true; // a click without a drag: still armed
    CCalibrationLengthDlg dialog(this, std::hypot(static_cast<double>(line->to.x) - line->from.x,
                                                  static_cast<double>(line->to.y) - line->from.y));
    if (dialog.DoModal() != kIdOk)
        return true;
    AnalysisSettings calibrated = m_analysisSettings;
    calibrated.calibration = Calibration{};
    calibrated.calibration.form = CalibrationForm::Line;
    calibrated.calibration.lineFrom = line->from;
    calibrated.calibration.lineTo = line->to;
    calibrated.calibration.lengthCm = dialog.m_dLengthCm;
    // A length the dialog takes can still give no usable factor (far too large for the line).
    if (const std::optional<std::string> problem = FindSettingsProblem(calibrated))
    {
        ShowMessage(*problem);
        return true;
    }
    m_analysisSettings = calibrated;
    ShowInformation("The plot is calibrated: " + DescribeCalibration(m_analysisSettings.calibration) + ".");
    return true;
}
