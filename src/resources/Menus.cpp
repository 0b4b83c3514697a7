// Menu 101 of the main window. The text after a tab is the shortcut shown at the right of the item;
// it is display only (the accelerator table decides what keys do). The items of the later
// commands follow the original items of each menu, after a separator, and have no shortcut (but
// undo and redo, in a menu of their own); each
// has an underlined letter of its own within its menu, and "..." when it opens a dialog.
#include "resources/Resources.h"

namespace
{
constexpr MenuItem kSeparator{};

constexpr MenuItem kFileItems[] = {
    {kCmdFileOpen, "&Open\tCtrl-O"},
    kSeparator,
    {kCmdFileExit, "E&xit\tCtrl-X"},
};

constexpr MenuItem kViewItems[] = {
    {kCmdEntireTrack, "&Entire Track (All Frames) \tCtrl-A"},
    {kCmdNextFrame, "&Next Frame\tRight-Arrow"},
    {kCmdPreviousFrame, "&Previous Frame\tLeft-Arrow"},
    {kCmdOneSecondForward, "One Second &Forward\tUp-Arrow"},
    {kCmdOneSecondBack, "One Second &Back\tDown-Arrow"},
    {kCmdToggleTargetsPoints, "&Toggle View Targets/Points"},
    kSeparator,
    {kCmdOccupancyHeatmap, "&Occupancy Heatmap..."}, // opens the heatmap settings first
    {kCmdGoToRecord, "&Go to Record..."},
};

constexpr MenuItem kSelectItems[] = {
    {kCmdCreateRectangle, "&Create Rectangle\tInsert"},
    {kCmdDeleteRectangle, "&Delete Rectangle\tDelete"},
    kSeparator,
    {40010, "Rectangle &0\t0"},
    {40011, "Rectangle &1\t1"},
    {40012, "Rectangle &2\t2"},
    {40013, "Rectangle &3\t3"},
    {40014, "Rectangle &4\t4"},
    {40015, "Rectangle &5\t5"},
    {40016, "Rectangle &6\t6"},
    {40017, "Rectangle &7\t7"},
    {40018, "Rectangle &8\t8"},
    {40019, "Rectangle &9\t9"},
    kSeparator,
    {40020, "Rectangle 10\tShift-0"},
    {40021, "Rectangle 11\tShift-1"},
    {kCmdEllipsis, "......"},
    {40029, "Rectangle 19\tShift-9"},
    kSeparator,
    {40030, "Rectangle 20\tCtrl-0"},
    {40031, "Rectangle 21\tCtrl-1"},
    {kCmdEllipsis, "......"},
    {40039, "Rectangle 29\tCtrl-9"},
    kSeparator,
    {40040, "Rectangle 30\tAlt-0"},
    {40041, "Rectangle 31\tAlt-1"},
    {kCmdEllipsis, "......"},
    {40049, "Rectangle 39\tAlt-9"},
    kSeparator,
    {40050, "Rectangle 40\tCtrl-Alt-0"},
    {40051, "Rectangle 41\tCtrl-Alt-1"},
    {kCmdEllipsis, "......"},
    {40059, "Rectangle 49\tCtrl-Alt-9"},
    kSeparator,
    {kCmdCalibrate, "Cali&brate..."}, // then a line dragged on the plot
    {kCmdSaveRegions, "&Save Regions..."},
    {kCmdLoadRegions, "&Load Regions..."},
    {kCmdRegionProperties, "&Region Properties..."},
    {kCmdAddCircle, "Add C&ircle"},
    {kCmdAddPolygon, "Add &Polygon"},
    {kCmdDeleteAllRegions, "Delete All Re&gions"},
};

// Undo and redo of region edits: the only items with a shortcut among the later commands.
constexpr MenuItem kEditItems[] = {
    {kCmdUndoRegionEdit, "&Undo Region Edit\tCtrl-Z"},
    {kCmdRedoRegionEdit, "&Redo Region Edit\tCtrl-Y"},
};

constexpr MenuItem kToolsItems[] = {
    {kCmdGenerateTimestampFiles, "&Generate Timestamp Files from Rectangles\tCtrl-G"},
    {kCmdSaveBitmap, "&Save Plot to a bitmap picture file\tCtrl-S"},
    {kCmdCalculateNewCenter, "Calculate New Center/Direction"},
    kSeparator,
    {kCmdExportVisits, "Export &Visits (CSV)..."},
    {kCmdExportRecords, "Export &Records (CSV)..."},
    {kCmdSavePlotPng, "Save Plot as &PNG..."},
    {kCmdTrackingQuality, "&Tracking Quality..."},
    {kCmdAnalysisSettings, "&Analysis Settings..."},
};

constexpr MenuItem kHelpItems[] = {
    {kCmdAbout, "&About"},
};

constexpr MenuPopup kMainMenuPopups[] = {
    {"&File", kFileItems},     {"&Edit", kEditItems},   {"&View", kViewItems},
    {"&Select", kSelectItems}, {"&Tools", kToolsItems}, {"&Help", kHelpItems},
};

constexpr MenuResource kMenus[] = {
    {kIdrMainMenu, kMainMenuPopups},
};
} // namespace

const MenuResource* FindMenuResource(int id)
{
    for (const MenuResource& menu : kMenus)
        if (menu.id == id)
            return &menu;
    return nullptr;
}
