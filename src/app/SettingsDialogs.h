// The dialogs of the analysis settings (regions/AnalysisSettings.h):
//
//   CAnalysisSettingsDlg    every setting a layout holds, and the margin, edited together
//   CCalibrationLengthDlg   the length in centimetres of a line dragged on the plot
//
// Both check what is typed with the core's own rules, so that the window refuses exactly what a
// layout or tracktool refuses; a refusal is one message naming the field (the dialog's label, then
// the layout's key and range) and puts the focus on it.
#pragma once

#include "framework/Dialog.h"
#include "regions/AnalysisSettings.h"

#include <cstdint>
#include <string>
#include <string_view>

// The calibration in words, with its factor: "none: figures in pixels", "0.125 cm per pixel",
// "a line of 440 px taken as 55 cm: 0.125 cm per pixel", "an arena of 400 x 400 px taken as
// 40 x 40 cm: 0.1 cm per pixel". Numbers with six significant digits.
[[nodiscard]] std::string DescribeCalibration(const Calibration& calibration);

// The field of the Analysis Settings dialog a problem of FindSettingsProblem is about (it begins
// with the key's layout name), and the label the dialog gives it.
struct SettingsField
{
    int controlId;
    std::string_view label; // "Minimum visit (s)"
};
[[nodiscard]] SettingsField FindSettingsField(std::string_view problem);

// Analysis Settings. The fields start from m_settings and m_nMargin; on OK both hold what was
// typed, accepted by FindSettingsProblem (margin: 0 or more). The calibration is shown, not typed:
// "Remove Calibration" drops it (Select > Calibrate... makes one).
class CAnalysisSettingsDlg : public CDialog
{
public:
    explicit CAnalysisSettingsDlg(CDialog* pParent);

    AnalysisSettings m_settings;
    std::int32_t m_nMargin = 0;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    bool OnWndMsg(const Message& msg) override;

private:
    void OnRemoveCalibration();
};

// Calibrate: asks the length of a line of lineLengthPx pixels; on OK m_dLengthCm holds a length the
// calibration takes (calibration.length_cm's range).
class CCalibrationLengthDlg : public CDialog
{
public:
    CCalibrationLengthDlg(CDialog* pParent, double lineLengthPx);

    double m_dLengthCm = 0.0;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

private:
    double m_dLineLengthPx;
};
