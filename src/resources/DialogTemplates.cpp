// Dialog templates 100 (About box) and 102 (the main window). Positions and sizes in dialog units;
// the rows are in creation order, which is also the Tab order.
#include "framework/DialogIds.h"
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
};
} // namespace

const DialogTemplate* FindDialogTemplate(int id)
{
    for (const DialogTemplate& dialog : kTemplates)
        if (dialog.id == id)
            return &dialog;
    return nullptr;
}
