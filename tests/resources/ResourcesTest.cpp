#include "resources/Resources.h"

#include "resources/DialogIds.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace
{
struct ExpectedControl
{
    int id;
    ControlKind kind;
    const char* text;
    DluRect rect;
    bool sunken;
    bool centered;
    bool disabled;
    bool digitsOnly;
};

using K = ControlKind;

// The main window's controls as the window's layout table gives them.
const ExpectedControl kExpectedControls[] = {
    {1000, K::PlotArea, "", {7, 7, 430, 298}, false, false, false, false},
    {-1, K::Label, "TimeStamp:", {68, 315, 42, 12}, false, false, false, false},
    {1008, K::Readout, "0", {112, 313, 76, 12}, true, true, false, false},
    {1011, K::HScrollBar, "", {70, 337, 298, 9}, false, false, false, false},
    {-1, K::Label, "Current Record Number:", {196, 315, 77, 12}, false, false, false, false},
    {1010, K::Readout, "0", {274, 313, 52, 12}, true, true, false, false},
    {-1, K::GroupBox, "Display Entire Track (All Frames)", {7, 373, 430, 31}, false, false, false, false},
    {1002, K::PushButton, "Plot Now", {13, 384, 57, 15}, false, false, false, false},
    {1003, K::Edit, "", {149, 386, 30, 12}, false, false, false, true},
    {-1, K::Label, "Plot every Xth frame:", {77, 388, 67, 10}, false, false, false, false},
    {-1,
     K::Label,
     "(this option makes display of large files faster [60 frame = 1sec])",
     {185, 387, 203, 15},
     false,
     false,
     false,
     false},
    {-1, K::Label, "X:", {145, 356, 8, 12}, false, false, false, false},
    {1012, K::Readout, "0", {155, 354, 28, 12}, true, true, false, false},
    {-1, K::Label, "Y:", {189, 356, 8, 12}, false, false, false, false},
    {1013, K::Readout, "0", {199, 354, 28, 12}, true, true, false, false},
    {-1, K::Label, "Angle:", {231, 356, 21, 12}, false, false, true, false},
    {1014, K::Readout, "0", {254, 354, 28, 12}, true, true, true, false},
    {-1, K::Label, "of:", {331, 315, 8, 12}, false, false, false, false},
    {1015, K::Readout, "0", {346, 313, 52, 12}, true, true, false, false},
    {-1, K::Label, "Colors to display:", {7, 306, 30, 17}, false, false, false, false},
    {1004, K::CheckBox, "RR", {7, 323, 23, 10}, false, false, false, false},
    {1005, K::CheckBox, "PR", {32, 323, 26, 10}, false, false, false, false},
    {1006, K::CheckBox, "RG", {7, 332, 23, 10}, false, false, false, false},
    {1007, K::CheckBox, "PG", {32, 332, 26, 10}, false, false, false, false},
    {1009, K::CheckBox, "RB", {7, 342, 24, 10}, false, false, false, false},
    {1016, K::CheckBox, "PB", {32, 342, 26, 10}, false, false, false, false},
    {1017, K::CheckBox, "Lum", {21, 352, 26, 10}, false, false, false, false},
    {-1, K::Label, "Distance Between Targets", {342, 352, 84, 8}, false, false, false, false},
    {-1, K::Label, "Min", {342, 363, 13, 8}, false, false, false, false},
    {-1, K::Label, "Max", {386, 363, 14, 8}, false, false, false, false},
    {1018, K::Edit, "", {359, 362, 23, 11}, false, false, false, true},
    {1019, K::Edit, "", {404, 362, 23, 11}, false, false, false, true},
    {1020, K::PushButton, "Corvantix", {373, 337, 57, 11}, false, false, false, false},
};

bool Has(std::uint32_t style, std::uint32_t flag)
{
    return (style & flag) != 0;
}

// The commands of the original menu and accelerator table (the rectangles 40010-40059 apart).
const std::set<int> kOriginalCommands = {57601, 40002, 40003, 32771, 32772, 32773, 32774, 32775,
                                         32776, 32777, 32778, 32779, 40060, 40061, 40009};

bool IsOriginalCommand(int command)
{
    return kOriginalCommands.count(command) != 0 ||
           (command >= kCmdSelectRectangle0 && command <= kCmdSelectRectangle49);
}

// The underlined letter of a menu text (the character after its '&', before any tab), in upper
// case; 0 for a text without one.
char UnderlinedLetter(std::string_view text)
{
    text = text.substr(0, text.find('\t'));
    const std::size_t amp = text.find('&');
    if (amp == std::string_view::npos || amp + 1 >= text.size())
        return 0;
    return static_cast<char>(std::toupper(static_cast<unsigned char>(text[amp + 1])));
}
} // namespace

// Test every control of template 102: id, kind, text, position and the styles that matter.
TEST(Resources, MainWindowTemplateMatchesLayout)
{
    const DialogTemplate* dialog = FindDialogTemplate(kIddPlayback);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, "Zentravox Video Tracker File Playback Utility Version 2.00");
    EXPECT_EQ(dialog->menuId, 101);
    EXPECT_EQ(dialog->rect.x, 0);
    EXPECT_EQ(dialog->rect.y, 0);
    EXPECT_EQ(dialog->rect.width, 444);
    EXPECT_EQ(dialog->rect.height, 411);
    EXPECT_TRUE(Has(dialog->style, kDialogVisible));
    EXPECT_TRUE(Has(dialog->style, kDialogAcceptFiles));
    EXPECT_TRUE(Has(dialog->style, kDialogFixedFrame));
    EXPECT_TRUE(Has(dialog->style, kDialogSystemMenu));
    EXPECT_TRUE(Has(dialog->style, kDialogMinimizeBox));
    ASSERT_EQ(dialog->controls.size(), std::size(kExpectedControls));
    for (std::size_t i = 0; i < dialog->controls.size(); ++i)
    {
        const ControlTemplate& got = dialog->controls[i];
        const ExpectedControl& want = kExpectedControls[i];
        SCOPED_TRACE(want.text[0] != '\0' ? want.text : std::to_string(want.id).c_str());
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.kind, want.kind);
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(std::tie(got.rect.x, got.rect.y, got.rect.width, got.rect.height),
                  std::tie(want.rect.x, want.rect.y, want.rect.width, want.rect.height));
        EXPECT_EQ(Has(got.style, kStyleSunken), want.sunken);
        EXPECT_EQ(Has(got.style, kStyleCentered), want.centered);
        EXPECT_EQ(Has(got.style, kStyleDisabled), want.disabled);
        EXPECT_EQ(Has(got.style, kStyleDigitsOnly), want.digitsOnly);
    }
}

// Test the dialog-unit conversion and that the plot area's 640 x 480 client with its edges fits the
// template rectangle, while other controls take their rectangle as it converts.
TEST(Resources, DialogUnitsToPixels)
{
    EXPECT_EQ(DluToPixels(DluRect{7, 7, 430, 298}), (PixelRect{10, 11, 645, 484}));
    EXPECT_EQ(DluToPixels(DluRect{0, 0, 444, 411}), (PixelRect{0, 0, 666, 667}));
    EXPECT_EQ(DluToPixelsX(1), 1);
    EXPECT_EQ(DluToPixelsY(1), 1);
    EXPECT_EQ(DluToPixelsX(3), 4);
    const ControlTemplate& plot = FindDialogTemplate(kIddPlayback)->controls[0];
    ASSERT_EQ(plot.kind, ControlKind::PlotArea);
    EXPECT_EQ(plot.pixelClient.width, 640);
    EXPECT_EQ(plot.pixelClient.height, 480);
    EXPECT_EQ(ControlEdge(plot), 2);
    EXPECT_EQ(ControlPixelRect(plot), (PixelRect{10, 11, 644, 484}));
    const PixelRect room = DluToPixels(plot.rect);
    EXPECT_LE(ControlPixelRect(plot).width, room.width);
    EXPECT_LE(ControlPixelRect(plot).height, room.height);
    const ControlTemplate& label = FindDialogTemplate(kIddPlayback)->controls[1];
    EXPECT_EQ(ControlPixelRect(label), DluToPixels(label.rect));
    EXPECT_EQ(ControlEdge(label), 0);
}

// Test the About box: the program's name and version, and an OK button.
TEST(Resources, AboutTemplate)
{
    const DialogTemplate* about = FindDialogTemplate(kIddAboutBox);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->menuId, 0);
    const auto has = [about](ControlKind kind, int id, std::string_view text)
    {
        return std::any_of(about->controls.begin(), about->controls.end(),
                           [&](const ControlTemplate& c) {
                               return c.kind == kind && c.id == id &&
                                      c.text.find(text) != std::string_view::npos;
                           });
    };
    EXPECT_TRUE(has(ControlKind::Label, kIdcStatic, "trackplay"));
    EXPECT_TRUE(has(ControlKind::Label, kIdcStatic, "Version 2.00"));
    EXPECT_TRUE(has(ControlKind::PushButton, kIdOk, "OK"));
    EXPECT_EQ(FindDialogTemplate(101), nullptr);
}

// Test every item of menu 101, in order, with its command and text: the original items first in
// each menu, the later commands after them.
TEST(Resources, MainMenuItems)
{
    struct Item
    {
        const char* popup;
        int command; // 0: separator
        const char* text;
    };
    std::vector<Item> expected = {
        {"&File", 57601, "&Open\tCtrl-O"},
        {"&File", 0, ""},
        {"&File", 40002, "E&xit\tCtrl-X"},
        {"&Edit", kCmdUndoRegionEdit, "&Undo Region Edit\tCtrl-Z"},
        {"&Edit", kCmdRedoRegionEdit, "&Redo Region Edit\tCtrl-Y"},
        {"&View", 32773, "&Entire Track (All Frames) \tCtrl-A"},
        {"&View", 32774, "&Next Frame\tRight-Arrow"},
        {"&View", 32775, "&Previous Frame\tLeft-Arrow"},
        {"&View", 32776, "One Second &Forward\tUp-Arrow"},
        {"&View", 32777, "One Second &Back\tDown-Arrow"},
        {"&View", 32778, "&Toggle View Targets/Points"},
        {"&View", 0, ""},
        {"&View", kCmdOccupancyHeatmap, "&Occupancy Heatmap..."},
        {"&View", kCmdGoToRecord, "&Go to Record..."},
        {"&Select", 40061, "&Create Rectangle\tInsert"},
        {"&Select", 40060, "&Delete Rectangle\tDelete"},
        {"&Select", 0, ""},
    };
    for (int n = 0; n < 10; ++n)
        expected.push_back({"&Select", 40010 + n, nullptr});
    const char* rowKeys[4] = {"Shift-", "Ctrl-", "Alt-", "Ctrl-Alt-"};
    for (int row = 1; row <= 4; ++row)
    {
        expected.push_back({"&Select", 0, ""});
        expected.push_back({"&Select", 40000 + 10 * row + 10, nullptr});
        expected.push_back({"&Select", 40000 + 10 * row + 11, nullptr});
        expected.push_back({"&Select", 40009, "......"});
        expected.push_back({"&Select", 40000 + 10 * row + 19, nullptr});
    }
    expected.push_back({"&Select", 0, ""});
    expected.push_back({"&Select", kCmdCalibrate, "Cali&brate..."});
    expected.push_back({"&Select", kCmdSaveRegions, "&Save Regions..."});
    expected.push_back({"&Select", kCmdLoadRegions, "&Load Regions..."});
    expected.push_back({"&Select", kCmdRegionProperties, "&Region Properties..."});
    expected.push_back({"&Select", kCmdAddCircle, "Add C&ircle"});
    expected.push_back({"&Select", kCmdAddPolygon, "Add &Polygon"});
    expected.push_back({"&Select", kCmdDeleteAllRegions, "Delete All Re&gions"});
    expected.push_back({"&Tools", 32771, "&Generate Timestamp Files from Rectangles\tCtrl-G"});
    expected.push_back({"&Tools", 32772, "&Save Plot to a bitmap picture file\tCtrl-S"});
    expected.push_back({"&Tools", 32779, "Calculate New Center/Direction"});
    expected.push_back({"&Tools", 0, ""});
    expected.push_back({"&Tools", kCmdExportVisits, "Export &Visits (CSV)..."});
    expected.push_back({"&Tools", kCmdExportRecords, "Export &Records (CSV)..."});
    expected.push_back({"&Tools", kCmdSavePlotPng, "Save Plot as &PNG..."});
    expected.push_back({"&Tools", kCmdTrackingQuality, "&Tracking Quality..."});
    expected.push_back({"&Tools", kCmdAnalysisSettings, "&Analysis Settings..."});
    expected.push_back({"&Help", 40003, "&About"});

    // The generated rectangle texts: "Rectangle &n\tn" for 0-9, "Rectangle nn\t<Mod>d" after.
    std::vector<std::string> texts;
    for (const Item& item : expected)
    {
        if (item.text != nullptr)
        {
            texts.emplace_back(item.text);
            continue;
        }
        const int n = item.command - 40010;
        if (n < 10)
            texts.push_back("Rectangle &" + std::to_string(n) + "\t" + std::to_string(n));
        else
            texts.push_back("Rectangle " + std::to_string(n) + "\t" + rowKeys[n / 10 - 1] +
                            std::to_string(n % 10));
    }

    const MenuResource* menu = FindMenuResource(kIdrMainMenu);
    ASSERT_NE(menu, nullptr);
    std::size_t i = 0;
    for (const MenuPopup& popup : menu->popups)
        for (const MenuItem& item : popup.items)
        {
            ASSERT_LT(i, expected.size());
            EXPECT_EQ(popup.text, expected[i].popup) << i;
            EXPECT_EQ(item.command, expected[i].command) << i;
            EXPECT_EQ(item.text, texts[i]) << i;
            EXPECT_EQ(item.IsSeparator(), expected[i].command == 0) << i;
            ++i;
        }
    EXPECT_EQ(i, expected.size());
    EXPECT_EQ(menu->popups.size(), 6u);
}

// Test that accelerator table 132 holds exactly the keys of the layout, all virtual-key entries,
// and nothing for Ctrl+G, the keypad digits, 32778 or 32779.
TEST(Resources, AcceleratorTableExactly)
{
    using Key = std::tuple<int, int, int>; // modifier flags, key, command
    std::set<Key> expected;
    const int rows[5] = {0, kAccelShift, kAccelControl, kAccelAlt, kAccelControl | kAccelAlt};
    for (int row = 0; row < 5; ++row)
        for (int d = 0; d < 10; ++d)
            expected.insert({rows[row], '0' + d, 40010 + 10 * row + d});
    expected.insert({kAccelControl, 'A', 32773});
    expected.insert({kAccelControl, 'O', 57601});
    expected.insert({kAccelControl, 'S', 32772});
    expected.insert({kAccelControl, 'X', 40002});
    expected.insert({kAccelControl, 'Z', kCmdUndoRegionEdit});
    expected.insert({kAccelControl, 'Y', kCmdRedoRegionEdit});
    expected.insert({0, 0x2E, 40060});
    expected.insert({0, 0x2D, 40061});
    expected.insert({0, 0x25, 32775});
    expected.insert({0, 0x27, 32774});
    expected.insert({0, 0x26, 32776});
    expected.insert({0, 0x28, 32777});

    const AcceleratorTable* table = FindAcceleratorTable(kIdrAccelerators);
    ASSERT_NE(table, nullptr);
    std::set<Key> got;
    for (const AcceleratorEntry& entry : table->entries)
    {
        EXPECT_TRUE((entry.flags & kAccelVirtKey) != 0);
        EXPECT_NE(entry.command, 32778);
        EXPECT_NE(entry.command, 32779);
        EXPECT_FALSE(entry.key >= kVkNumpad0 && entry.key <= kVkNumpad0 + 9);
        EXPECT_FALSE(entry.key == 'G');
        got.insert({entry.flags & ~kAccelVirtKey, entry.key, entry.command});
    }
    EXPECT_EQ(got.size(), table->entries.size()); // no duplicate entries
    EXPECT_EQ(got, expected);
}

// Test string 101 and icon 130 (a square picture of our own, not one flat colour), and misses.
TEST(Resources, StringAndIcon)
{
    EXPECT_EQ(FindStringResource(kIdsAboutBox), "&About Quorvane...");
    EXPECT_EQ(FindStringResource(999), "");
    const IconImage* icon = FindIconResource(kIdiProgramIcon);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->width, 32);
    EXPECT_EQ(icon->height, 32);
    ASSERT_EQ(icon->rgba.size(), 32u * 32u * 4u);
    std::set<std::tuple<int, int, int>> colours;
    for (std::size_t i = 0; i < icon->rgba.size(); i += 4)
        colours.insert({icon->rgba[i], icon->rgba[i + 1], icon->rgba[i + 2]});
    EXPECT_GE(colours.size(), 5u);
    EXPECT_EQ(FindIconResource(131), nullptr);
    EXPECT_EQ(FindMenuResource(102), nullptr);
    EXPECT_EQ(FindAcceleratorTable(130), nullptr);
}

// Test the underlined letters of menu 101: within each menu (and on the menu bar) no letter is
// underlined twice, and every item the original menu did not have has one.
TEST(Resources, MenuLettersAreUniqueAndEveryLaterItemHasOne)
{
    const MenuResource* menu = FindMenuResource(kIdrMainMenu);
    ASSERT_NE(menu, nullptr);
    std::set<char> onTheBar;
    for (const MenuPopup& popup : menu->popups)
    {
        EXPECT_TRUE(onTheBar.insert(UnderlinedLetter(popup.text)).second) << popup.text;
        std::set<char> inTheMenu;
        for (const MenuItem& item : popup.items)
        {
            const char letter = UnderlinedLetter(item.text);
            EXPECT_TRUE(letter != 0 || item.IsSeparator() || IsOriginalCommand(item.command)) << item.text;
            EXPECT_TRUE(letter == 0 || inTheMenu.insert(letter).second) << popup.text << ": " << item.text;
        }
    }
}

// Test that the later commands are new numbers: none is an original command, a rectangle or the
// placeholder, no two share one, and the accelerator table gives none of them.
TEST(Resources, LaterCommandsAreNewAndHaveNoKeys)
{
    const int later[] = {kCmdSaveRegions,      kCmdLoadRegions, kCmdRegionProperties, kCmdExportVisits,
                         kCmdExportRecords,    kCmdSavePlotPng, kCmdTrackingQuality,  kCmdOccupancyHeatmap,
                         kCmdGoToRecord,       kCmdAddCircle,   kCmdAddPolygon,       kCmdDeleteAllRegions,
                         kCmdAnalysisSettings, kCmdCalibrate};
    std::set<int> seen;
    for (const int command : later)
    {
        EXPECT_TRUE(seen.insert(command).second) << command;
        EXPECT_FALSE(IsOriginalCommand(command)) << command;
    }
    const AcceleratorTable* table = FindAcceleratorTable(kIdrAccelerators);
    ASSERT_NE(table, nullptr);
    for (const AcceleratorEntry& entry : table->entries)
        EXPECT_EQ(seen.count(entry.command), 0u) << entry.command;
}

// Test that every modal dialog opens with the focus where Enter is its default action: its first
// control that takes the focus is no push button but the default one (Enter presses a focused
// button, so a dialog opening on "Save CSV..." would save instead of closing).
TEST(Resources, ModalDialogsOpenWhereEnterIsTheDefault)
{
    int modal = 0;
    for (int id = 1; id < 1000; ++id)
    {
        const DialogTemplate* dialog = FindDialogTemplate(id);
        if (dialog == nullptr || !Has(dialog->style, kDialogModalFrame))
            continue;
        ++modal;
        const auto first =
            std::find_if(dialog->controls.begin(), dialog->controls.end(),
                         [](const ControlTemplate& c)
                         { return Has(c.style, kStyleTabStop) && !Has(c.style, kStyleDisabled); });
        ASSERT_NE(first, dialog->controls.end()) << dialog->caption;
        EXPECT_TRUE(first->kind != ControlKind::PushButton || Has(first->style, kStyleDefault))
            << dialog->caption << ": opens on " << first->text;
    }
    EXPECT_GE(modal, 5) << "About and the four dialogs of the later commands at least";
}

// Test the small dialogs of the later commands: caption, a modal frame without a menu, the
// controls their code addresses (each once), an OK button that is the default, Cancel where the
// dialog can be left without a change, and every control inside the dialog.
TEST(Resources, SmallDialogTemplates)
{
    struct Expected
    {
        int id;
        const char* caption;
        std::vector<std::pair<int, ControlKind>> controls; // addressed controls, in Tab order
    };
    const Expected dialogs[] = {
        {kIddAnalysisSettings,
         "Analysis Settings",
         {{kIdcSettingsCalibration, K::Label},
          {kIdcSettingsMargin, K::Edit},
          {kIdcSettingsMergeGap, K::Edit},
          {kIdcSettingsMinVisit, K::Edit},
          {kIdcSettingsBins, K::Edit},
          {kIdcSettingsSpeedWindow, K::Edit},
          {kIdcSettingsImmobileBelow, K::Edit},
          {kIdcSettingsImmobileInCm, K::CheckBox},
          {kIdcSettingsMinImmobile, K::Edit},
          {kIdOk, K::PushButton},
          {kIdCancel, K::PushButton},
          {kIdcSettingsClearCalibration, K::PushButton}}},
        {kIddCalibrationLength,
         "Calibrate",
         {{kIdcCalibrationPrompt, K::Label},
          {kIdcCalibrationLength, K::Edit},
          {kIdOk, K::PushButton},
          {kIdCancel, K::PushButton}}},
        {kIddRegionProperties,
         "Region Properties",
         {{kIdcRegionName, K::Edit},
          {kIdcRegionLeft, K::Edit},
          {kIdcRegionTop, K::Edit},
          {kIdcRegionRight, K::Edit},
          {kIdcRegionBottom, K::Edit},
          {kIdOk, K::PushButton},
          {kIdCancel, K::PushButton}}},
        {kIddHeatmapSettings,
         "Heatmap Settings",
         {{kIdcHeatmapBinSize, K::Edit},
          {kIdcHeatmapSigma, K::Edit},
          {kIdOk, K::PushButton},
          {kIdCancel, K::PushButton}}},
        {kIddGoToRecord,
         "Go to Record",
         {{kIdcGoToPrompt, K::Label},
          {kIdcGoToRecord, K::Edit},
          {kIdOk, K::PushButton},
          {kIdCancel, K::PushButton}}},
        {kIddShapeProperties,
         "Region Properties",
         {{kIdcShapeName, K::Edit},
          {kIdcShapePrompt, K::Label},
          {kIdcShapeText, K::Edit},
          {kIdOk, K::PushButton},
          {kIdCancel, K::PushButton}}},
        {kIddQualityResults,
         "Tracking Quality",
         {{kIdcQualityReport, K::TextBox}, {kIdOk, K::PushButton}, {kIdcQualitySaveCsv, K::PushButton}}},
    };
    for (const Expected& want : dialogs)
    {
        SCOPED_TRACE(want.caption);
        const DialogTemplate* dialog = FindDialogTemplate(want.id);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->caption, want.caption);
        EXPECT_EQ(dialog->menuId, 0);
        EXPECT_TRUE(Has(dialog->style, kDialogModalFrame));
        EXPECT_FALSE(Has(dialog->style, kDialogVisible));
        std::vector<std::pair<int, ControlKind>> addressed;
        for (const ControlTemplate& control : dialog->controls)
        {
            EXPECT_GE(control.rect.x, 0) << control.id;
            EXPECT_GE(control.rect.y, 0) << control.id;
            EXPECT_LE(control.rect.x + control.rect.width, dialog->rect.width) << control.id;
            EXPECT_LE(control.rect.y + control.rect.height, dialog->rect.height) << control.id;
            if (control.id == kIdcStatic)
                continue;
            addressed.emplace_back(control.id, control.kind);
            EXPECT_EQ(Has(control.style, kStyleDefault), control.id == kIdOk) << control.id;
        }
        EXPECT_EQ(addressed, want.controls);
    }
}
