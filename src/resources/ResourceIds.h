// The numbers that tie the window resources, the menu, the accelerator table and the command
// handlers together. Plain constants, so that both the data tables here and the window's command
// table name the same values.
#pragma once

// Dialog templates, menu, accelerator table, icon and string resources.
inline constexpr int kIddAboutBox = 100;     // About box template
inline constexpr int kIddPlayback = 102;     // main window template
inline constexpr int kIdrMainMenu = 101;     // menu of the main window
inline constexpr int kIdrAccelerators = 132; // accelerator table of the main window
inline constexpr int kIdiProgramIcon = 130;  // program icon
inline constexpr int kIdsAboutBox = 101;     // "&About Quorvane..." (system-menu item text)

// Dialog templates of the window's later commands.
inline constexpr int kIddRegionProperties = 103; // name and corners of the selected region
inline constexpr int kIddHeatmapSettings = 104;  // bin size and smoothing of the occupancy heatmap
inline constexpr int kIddGoToRecord = 105;       // one record number
inline constexpr int kIddQualityResults = 106;   // the tracking quality report
inline constexpr int kIddShapeProperties = 120;  // name and numbers of the selected circle or polygon

// Dialog templates of the analysis settings.
inline constexpr int kIddAnalysisSettings = 107;  // every analysis setting and the margin
inline constexpr int kIddCalibrationLength = 108; // the length of a line dragged on the plot

// System-menu command id of the About item appended by the main window.
inline constexpr unsigned kIdmAboutBox = 16;

// Controls of the main window (template 102).
inline constexpr int kIdcPlotArea = 1000;
inline constexpr int kIdcPlotNow = 1002;
inline constexpr int kIdcPlotEveryNth = 1003;
inline constexpr int kIdcCheckRR = 1004;
inline constexpr int kIdcCheckPR = 1005;
inline constexpr int kIdcCheckRG = 1006;
inline constexpr int kIdcCheckPG = 1007;
inline constexpr int kIdcTimeStamp = 1008;
inline constexpr int kIdcCheckRB = 1009;
inline constexpr int kIdcRecordNumber = 1010;
inline constexpr int kIdcScrollBar = 1011;
inline constexpr int kIdcX = 1012;
inline constexpr int kIdcY = 1013;
inline constexpr int kIdcAngle = 1014;
inline constexpr int kIdcLastRecord = 1015;
inline constexpr int kIdcCheckPB = 1016;
inline constexpr int kIdcCheckLum = 1017;
inline constexpr int kIdcMinDistance = 1018;
inline constexpr int kIdcMaxDistance = 1019;
inline constexpr int kIdcViewerButton = 1020;

// Controls of the later commands' dialogs (templates 103 to 106).
inline constexpr int kIdcRegionName = 1101;
inline constexpr int kIdcRegionLeft = 1102;
inline constexpr int kIdcRegionTop = 1103;
inline constexpr int kIdcRegionRight = 1104;
inline constexpr int kIdcRegionBottom = 1105;
inline constexpr int kIdcHeatmapBinSize = 1111;
inline constexpr int kIdcHeatmapSigma = 1112;
inline constexpr int kIdcGoToPrompt = 1121; // "Record number (0 to n - 1):"
inline constexpr int kIdcGoToRecord = 1122;
inline constexpr int kIdcQualityReport = 1131;
inline constexpr int kIdcQualitySaveCsv = 1132;
inline constexpr int kIdcShapeName = 1191;
inline constexpr int kIdcShapePrompt = 1192; // what the numbers are, set when the dialog opens
inline constexpr int kIdcShapeText = 1193;

// Controls of the analysis settings' dialogs (templates 107 and 108).
inline constexpr int kIdcSettingsCalibration = 1141; // the calibration, read-only
inline constexpr int kIdcSettingsMargin = 1142;
inline constexpr int kIdcSettingsMergeGap = 1143;
inline constexpr int kIdcSettingsMinVisit = 1144;
inline constexpr int kIdcSettingsBins = 1145;
inline constexpr int kIdcSettingsSpeedWindow = 1146;
inline constexpr int kIdcSettingsImmobileBelow = 1147;
inline constexpr int kIdcSettingsImmobileInCm = 1148; // check box: the threshold is in cm/s
inline constexpr int kIdcSettingsMinImmobile = 1149;
inline constexpr int kIdcSettingsClearCalibration = 1150;
inline constexpr int kIdcCalibrationPrompt = 1151; // "The line is n pixels long. ..."
inline constexpr int kIdcCalibrationLength = 1152;

// Commands of menu 101 and accelerator table 132.
inline constexpr int kCmdFileOpen = 57601;
inline constexpr int kCmdFileExit = 40002;
inline constexpr int kCmdAbout = 40003;
inline constexpr int kCmdEntireTrack = 32773;
inline constexpr int kCmdNextFrame = 32774;
inline constexpr int kCmdPreviousFrame = 32775;
inline constexpr int kCmdOneSecondForward = 32776;
inline constexpr int kCmdOneSecondBack = 32777;
inline constexpr int kCmdToggleTargetsPoints = 32778;
inline constexpr int kCmdGenerateTimestampFiles = 32771;
inline constexpr int kCmdSaveBitmap = 32772;
inline constexpr int kCmdCalculateNewCenter = 32779;
inline constexpr int kCmdCreateRectangle = 40061;
inline constexpr int kCmdDeleteRectangle = 40060;
inline constexpr int kCmdEllipsis = 40009;         // the "......" menu items: no handler, does nothing
inline constexpr int kCmdSelectRectangle0 = 40010; // Rectangle n is kCmdSelectRectangle0 + n
inline constexpr int kCmdSelectRectangle49 = 40059;

// Commands added after the original items of their menus; no accelerator gives them.
inline constexpr int kCmdSaveRegions = 40062;      // Select > Save Regions...
inline constexpr int kCmdLoadRegions = 40063;      // Select > Load Regions...
inline constexpr int kCmdRegionProperties = 40064; // Select > Region Properties...
inline constexpr int kCmdExportVisits = 32780;     // Tools > Export Visits (CSV)...
inline constexpr int kCmdExportRecords = 32781;    // Tools > Export Records (CSV)...
inline constexpr int kCmdSavePlotPng = 32782;      // Tools > Save Plot as PNG...
inline constexpr int kCmdTrackingQuality = 32783;  // Tools > Tracking Quality...
inline constexpr int kCmdAnalysisSettings = 32786; // Tools > Analysis Settings...
inline constexpr int kCmdCalibrate = 40065;        // Select > Calibrate...
inline constexpr int kCmdOccupancyHeatmap = 32784; // View > Occupancy Heatmap...
inline constexpr int kCmdGoToRecord = 32785;       // View > Go to Record...

// The region edits of the later commands: shapes, Delete All, and undo and redo, whose keys (Ctrl+Z
// and Ctrl+Y) no original command had.
inline constexpr int kCmdAddCircle = 40070;        // Select > Add Circle
inline constexpr int kCmdAddPolygon = 40071;       // Select > Add Polygon
inline constexpr int kCmdDeleteAllRegions = 40072; // Select > Delete All Regions (asks first)
inline constexpr int kCmdUndoRegionEdit = 40073;   // Edit > Undo Region Edit, Ctrl+Z
inline constexpr int kCmdRedoRegionEdit = 40074;   // Edit > Redo Region Edit, Ctrl+Y
