// Dialog templates 100 (About box), 102 (the main window), 103 to 106 and 120 (the small dialogs
// of the later commands). Positions and sizes in dialog units; the rows are in creation order, which is
// also the Tab order.
#include "resources/DialogIds.h"
#include "resources/Resources.h"

namespace
{
using K = ControlKind;

constexpr std::uint32_t kReadout = kStyleCentered | kStyleSunken;
constexpr std::uint32_t kCheck = kStyleTabStop;
constexpr std::uint32_t kDigitsEdit = kStyleDigitsOnly | kStyleTabStop;

// The plot area's client is the tracker's video frame, one tracker unit per pixel: 640 x 480
// inside a 2-pixel sunken edge, 644 x 484 in all. Its rectangle (430 x 298 dialog units) is
// 645 x 484 pixels, so one spare pixel column at the right stays dialog background.
constexpr PixelClientArea kTrackerFrame{640, 480, 2};

constexpr ControlTemplate kPlaybackControls[] = {
    {kIdcPlotArea, K::PlotArea, "", {7, 7, 430, 298}, kStyleNone, kTrackerFrame},
    {kIdcStatic, K::Label, "TimeStamp:", {68, 315, 42, 12}, kStyleNone},
    {kIdcTimeStamp, K::Readout, "0", {112, 313, 76, 12}, kReadout},
    {kIdcScrollBar, K::HScrollBar, "", {70, 337, 298, 9}, kStyleNone},
    {kIdcStatic, K::Label, "Current Record Number:", {196, 315, 77, 12}, kStyleNone},
    {kIdcRecordNumber, K::Readout, "0", {274, 313, 52, 12}, kReadout},
    {kIdcStatic, K::GroupBox, "Display Entire Track (All Frames)", {7, 373, 430, 31}, kStyleTransparent},
    {kIdcPlotNow, K::PushButton, "Plot Now", {13, 384, 57, 15}, kStyleTabStop},
    {kIdcPlotEveryNth, K::Edit, "", {149, 386, 30, 12}, kDigitsEdit | kStyleAutoHScroll},
    {kIdcStatic, K::Label, "Plot every Xth frame:", {77, 388, 67, 10}, kStyleNone},
    {kIdcStatic,
     K::Label,
     "(this option makes display of large files faster [60 frame = 1sec])",
     {185, 387, 203, 15},
     kStyleNone},
    {kIdcStatic, K::Label, "X:", {145, 356, 8, 12}, kStyleNone},
    {kIdcX, K::Readout, "0", {155, 354, 28, 12}, kReadout},
    {kIdcStatic, K::Label, "Y:", {189, 356, 8, 12}, kStyleNone},
    {kIdcY, K::Readout, "0", {199, 354, 28, 12}, kReadout},
    {kIdcStatic, K::Label, "Angle:", {231, 356, 21, 12}, kStyleDisabled},
    {kIdcAngle, K::Readout, "0", {254, 354, 28, 12}, kReadout | kStyleDisabled},
    {kIdcStatic, K::Label, "of:", {331, 315, 8, 12}, kStyleNone},
    {kIdcLastRecord, K::Readout, "0", {346, 313, 52, 12}, kReadout},
    {kIdcStatic, K::Label, "Colors to display:", {7, 306, 30, 17}, kStyleNone},
    {kIdcCheckRR, K::CheckBox, "RR", {7, 323, 23, 10}, kCheck},
    {kIdcCheckPR, K::CheckBox, "PR", {32, 323, 26, 10}, kCheck},
    {kIdcCheckRG, K::CheckBox, "RG", {7, 332, 23, 10}, kCheck},
    {kIdcCheckPG, K::CheckBox, "PG", {32, 332, 26, 10}, kCheck},
    {kIdcCheckRB, K::CheckBox, "RB", {7, 342, 24, 10}, kCheck},
    {kIdcCheckPB, K::CheckBox, "PB", {32, 342, 26, 10}, kCheck},
    {kIdcCheckLum, K::CheckBox, "Lum", {21, 352, 26, 10}, kCheck},
    {kIdcStatic, K::Label, "Distance Between Targets", {342, 352, 84, 8}, kStyleNone},
    {kIdcStatic, K::Label, "Min", {342, 363, 13, 8}, kStyleNone},
    {kIdcStatic, K::Label, "Max", {386, 363, 14, 8}, kStyleNone},
    {kIdcMinDistance, K::Edit, "", {359, 362, 23, 11}, kDigitsEdit},
    {kIdcMaxDistance, K::Edit, "", {404, 362, 23, 11}, kDigitsEdit},
    {kIdcViewerButton, K::PushButton, "Corvantix", {373, 337, 57, 11}, kStyleTabStop},
};

// The About box: the program's name and version, and an OK button.
constexpr ControlTemplate kAboutControls[] = {
    {kIdcStatic, K::Label, "trackplay Version 2.00", {40, 10, 150, 8}, kStyleNone},
    {kIdcStatic, K::Label, "Zentravox Video Tracker File Playback Utility", {40, 22, 180, 8}, kStyleNone},
    {kIdOk, K::PushButton, "OK", {178, 38, 50, 14}, kStyleDefault | kStyleTabStop},
};

constexpr std::uint32_t kTextEdit = kStyleTabStop | kStyleAutoHScroll;
constexpr std::uint32_t kModalBox = kDialogSystemMenu | kDialogModalFrame;
constexpr std::uint32_t kDefaultButton = kStyleDefault | kStyleTabStop;

// Region Properties: the selected region's name and its four corners.
constexpr ControlTemplate kRegionPropertiesControls[] = {
    {kIdcStatic, K::Label, "Name:", {7, 9, 36, 8}, kStyleNone},
    {kIdcRegionName, K::Edit, "", {46, 7, 133, 12}, kTextEdit},
    {kIdcStatic, K::Label, "Left:", {7, 27, 36, 8}, kStyleNone},
    {kIdcRegionLeft, K::Edit, "", {46, 25, 40, 12}, kTextEdit},
    {kIdcStatic, K::Label, "Top:", {100, 27, 36, 8}, kStyleNone},
    {kIdcRegionTop, K::Edit, "", {139, 25, 40, 12}, kTextEdit},
    {kIdcStatic, K::Label, "Right:", {7, 45, 36, 8}, kStyleNone},
    {kIdcRegionRight, K::Edit, "", {46, 43, 40, 12}, kTextEdit},
    {kIdcStatic, K::Label, "Bottom:", {100, 45, 36, 8}, kStyleNone},
    {kIdcRegionBottom, K::Edit, "", {139, 43, 40, 12}, kTextEdit},
    {kIdcStatic,
     K::Label,
     "Corners in plot pixels as drawn: the plot is 640 across and 480 down.",
     {7, 62, 172, 16},
     kStyleNone},
    {kIdOk, K::PushButton, "OK", {75, 84, 50, 14}, kDefaultButton},
    {kIdCancel, K::PushButton, "Cancel", {129, 84, 50, 14}, kStyleTabStop},
};

// A circle's or polygon's properties: its name and its numbers as one line of text ("320,240,40"
// or "X1,Y1,X2,Y2,..."), the prompt saying which when the dialog opens.
constexpr ControlTemplate kShapePropertiesControls[] = {
    {kIdcStatic, K::Label, "Name:", {7, 9, 36, 8}, kStyleNone},
    {kIdcShapeName, K::Edit, "", {46, 7, 233, 12}, kTextEdit},
    {kIdcShapePrompt, K::Label, "Numbers:", {7, 27, 272, 8}, kStyleNone},
    {kIdcShapeText, K::Edit, "", {7, 38, 272, 12}, kTextEdit},
    {kIdcStatic,
     K::Label,
     "Numbers in plot pixels, separated by commas: the plot is 640 across and 480 down.",
     {7, 56, 272, 8},
     kStyleNone},
    {kIdOk, K::PushButton, "OK", {175, 72, 50, 14}, kDefaultButton},
    {kIdCancel, K::PushButton, "Cancel", {229, 72, 50, 14}, kStyleTabStop},
};

// Heatmap Settings: the bin size and the smoothing of the occupancy heatmap.
constexpr ControlTemplate kHeatmapSettingsControls[] = {
    {kIdcStatic, K::Label, "Bin size (pixels):", {7, 9, 128, 8}, kStyleNone},
    {kIdcHeatmapBinSize, K::Edit, "", {139, 7, 40, 12}, kDigitsEdit},
    {kIdcStatic, K::Label, "Smoothing sigma (bins, 0 for none):", {7, 27, 128, 8}, kStyleNone},
    {kIdcHeatmapSigma, K::Edit, "", {139, 25, 40, 12}, kTextEdit},
    {kIdcStatic,
     K::Label,
     "The heatmap shows the seconds spent in each bin, with the regions on top.",
     {7, 44, 172, 16},
     kStyleNone},
    {kIdOk, K::PushButton, "OK", {75, 66, 50, 14}, kDefaultButton},
    {kIdCancel, K::PushButton, "Cancel", {129, 66, 50, 14}, kStyleTabStop},
};

// Go to Record: one record number; the prompt names the range when the dialog opens.
constexpr ControlTemplate kGoToRecordControls[] = {
    {kIdcGoToPrompt, K::Label, "Record number:", {7, 9, 118, 8}, kStyleNone},
    {kIdcGoToRecord, K::Edit, "", {129, 7, 50, 12}, kTextEdit},
    {kIdOk, K::PushButton, "OK", {75, 28, 50, 14}, kDefaultButton},
    {kIdCancel, K::PushButton, "Cancel", {129, 28, 50, 14}, kStyleTabStop},
};

// Tracking Quality: the report as text, OK, and saving its per-record table. OK comes first, so
// that it has the focus when the dialog opens and Enter closes the report.
constexpr ControlTemplate kQualityResultsControls[] = {
    {kIdcQualityReport, K::TextBox, "", {7, 7, 306, 172}, kStyleNone},
    {kIdOk, K::PushButton, "OK", {263, 186, 50, 14}, kDefaultButton},
    {kIdcQualitySaveCsv, K::PushButton, "Save CSV...", {209, 186, 50, 14}, kStyleTabStop},
};

// Templates 107 and 108, of the analysis settings.
//
// Analysis Settings: the calibration as it stands (with a button that removes it), the margin and
// every setting of the layout. The labels' column is 7 to 149, the fields' 153 to 223. The Tab
// order runs through the fields and OK first, so that the dialog opens on the margin.
constexpr ControlTemplate kAnalysisSettingsControls[] = {
    {kIdcStatic, K::Label, "Calibration:", {7, 9, 44, 8}, kStyleNone},
    {kIdcSettingsCalibration, K::Label, "", {53, 9, 170, 16}, kStyleNone},
    {kIdcStatic, K::Label, "Margin (pixels):", {7, 47, 142, 8}, kStyleNone},
    {kIdcSettingsMargin, K::Edit, "", {153, 45, 70, 12}, kTextEdit},
    {kIdcStatic, K::Label, "Merge exits shorter than (s):", {7, 65, 142, 8}, kStyleNone},
    {kIdcSettingsMergeGap, K::Edit, "", {153, 63, 70, 12}, kTextEdit},
    {kIdcStatic, K::Label, "Minimum visit (s):", {7, 83, 142, 8}, kStyleNone},
    {kIdcSettingsMinVisit, K::Edit, "", {153, 81, 70, 12}, kTextEdit},
    {kIdcStatic, K::Label, "Time bins (s, empty for none):", {7, 101, 142, 8}, kStyleNone},
    {kIdcSettingsBins, K::Edit, "", {153, 99, 70, 12}, kTextEdit},
    {kIdcStatic, K::Label, "Speed window (records):", {7, 119, 142, 8}, kStyleNone},
    {kIdcSettingsSpeedWindow, K::Edit, "", {153, 117, 70, 12}, kDigitsEdit},
    {kIdcStatic, K::Label, "Still below (px/s or cm/s, empty: none):", {7, 137, 142, 8}, kStyleNone},
    {kIdcSettingsImmobileBelow, K::Edit, "", {153, 135, 34, 12}, kTextEdit},
    {kIdcSettingsImmobileInCm, K::CheckBox, "cm/s", {191, 136, 32, 10}, kCheck},
    {kIdcStatic, K::Label, "Minimum immobile bout (s):", {7, 155, 142, 8}, kStyleNone},
    {kIdcSettingsMinImmobile, K::Edit, "", {153, 153, 70, 12}, kTextEdit},
    {kIdcStatic,
     K::Label,
     "Seconds count as records, 60 a second. Save Regions keeps these with the regions.",
     {7, 172, 216, 16},
     kStyleNone},
    {kIdOk, K::PushButton, "OK", {119, 194, 50, 14}, kDefaultButton},
    {kIdCancel, K::PushButton, "Cancel", {173, 194, 50, 14}, kStyleTabStop},
    {kIdcSettingsClearCalibration, K::PushButton, "Remove Calibration", {153, 27, 70, 14}, kStyleTabStop},
};

// Calibrate: the length of the line just dragged on the plot; the prompt gives its pixels.
constexpr ControlTemplate kCalibrationLengthControls[] = {
    {kIdcCalibrationPrompt, K::Label, "", {7, 7, 172, 16}, kStyleNone},
    {kIdcStatic, K::Label, "Length (cm):", {7, 31, 118, 8}, kStyleNone},
    {kIdcCalibrationLength, K::Edit, "", {129, 29, 50, 12}, kTextEdit},
    {kIdOk, K::PushButton, "OK", {75, 48, 50, 14}, kDefaultButton},
    {kIdCancel, K::PushButton, "Cancel", {129, 48, 50, 14}, kStyleTabStop},
};

constexpr DialogTemplate kTemplates[] = {
    {kIddAboutBox,
     "About trackplay",
     {0, 0, 235, 58},
     0,
     kDialogSystemMenu | kDialogModalFrame,
     "MS Sans Serif",
     8,
     kAboutControls},
    {kIddPlayback,
     "Zentravox Video Tracker File Playback Utility Version 2.00",
     {0, 0, 444, 411},
     kIdrMainMenu,
     kDialogSystemMenu | kDialogMinimizeBox | kDialogMaximizeBox | kDialogFixedFrame | kDialogAcceptFiles |
         kDialogAppWindow | kDialogVisible,
     "MS Sans Serif",
     8,
     kPlaybackControls},
    {kIddAnalysisSettings,
     "Analysis Settings",
     {0, 0, 230, 215},
     0,
     kModalBox,
     "MS Sans Serif",
     8,
     kAnalysisSettingsControls},
    {kIddCalibrationLength,
     "Calibrate",
     {0, 0, 186, 69},
     0,
     kModalBox,
     "MS Sans Serif",
     8,
     kCalibrationLengthControls},
    {kIddRegionProperties,
     "Region Properties",
     {0, 0, 186, 105},
     0,
     kModalBox,
     "MS Sans Serif",
     8,
     kRegionPropertiesControls},
    {kIddHeatmapSettings,
     "Heatmap Settings",
     {0, 0, 186, 87},
     0,
     kModalBox,
     "MS Sans Serif",
     8,
     kHeatmapSettingsControls},
    {kIddGoToRecord, "Go to Record", {0, 0, 186, 49}, 0, kModalBox, "MS Sans Serif", 8, kGoToRecordControls},
    {kIddQualityResults,
     "Tracking Quality",
     {0, 0, 320, 207},
     0,
     kModalBox,
     "MS Sans Serif",
     8,
     kQualityResultsControls},
    {kIddShapeProperties,
     "Region Properties",
     {0, 0, 286, 93},
     0,
     kModalBox,
     "MS Sans Serif",
     8,
     kShapePropertiesControls},
};
} // namespace

const DialogTemplate* FindDialogTemplate(int id)
{
    for (const DialogTemplate& dialog : kTemplates)
        if (dialog.id == id)
            return &dialog;
    return nullptr;
}
