// CPlaybackDlg: the program's main window (template 102, modeless) and the owner of all the state
// of the running program: the current record and count, the readouts, the colour filter and view
// mode, the "plot every Xth frame" value, the target distance band, the plot, the region table
// with the margin of its layout, the recalculation, the viewer link and the heatmap's settings. Its message
// map sends every command and window message of the window to one handler; each runs to completion on the
// user-interface thread.
//
// The reader is borrowed: the program hands the one theTrackFile, tests a reader of their own.
#pragma once

#include "analysis/Occupancy.h"
#include "app/CalibrationDrag.h"
#include "app/RegionPlotAdapter.h"
#include "framework/Dialog.h"
#include "framework/PixelSourceAdapter.h"
#include "plot/ColorFilter.h"
#include "plot/DrawingSurface.h"
#include "plot/TrackPlot.h"
#include "recalc/TrackConverter.h"
#include "regions/AnalysisSettings.h"
#include "regions/RegionEventGenerator.h"
#include "regions/RegionHistory.h"
#include "regions/RegionTable.h"
#include "resources/ResourceIds.h"
#include "viewerlink/ViewerLink.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CTrackFile;

inline constexpr std::string_view kTitleSuffix = " - Zentravox Video Tracker Utilities";
inline constexpr std::string_view kOpenDialogTitle = "Open Video Tracker File";
inline constexpr std::string_view kOpenDialogFilter =
    "Zentravox Video Tracker Files (*.qtf)|*.qtf|Old Zentravox "
    "Files (*.dat)|*.dat|All Files (*.*)|*.*||";
inline constexpr std::string_view kOpenDialogExtension = ".qtf";
inline constexpr std::string_view kOpenDialogInitialName = "VT1";

// What the later commands tell the user when they have nothing to work on.
inline constexpr std::string_view kMsgNoRecordsToRead = "There are no records: open a track file first.";
inline constexpr std::string_view kMsgNoRegionSelected = "No region is selected: select or create one first.";
inline constexpr std::string_view kPngDialogTitle = "Save Plot as PNG";
inline constexpr std::string_view kPngDialogFilter = "PNG Files (*.png)|*.png|All Files (*.*)|*.*||";
inline constexpr std::string_view kPngDefaultExtension = ".png";
inline constexpr std::string_view kCsvDialogFilter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*||";
inline constexpr std::string_view kCsvDefaultExtension = ".csv";

inline constexpr std::string_view kMsgSaveRegionChanges = "Save changes to the regions?";

inline constexpr std::string_view kMsgNoRegionsToExport =
    "There are no regions: create or load regions before exporting their visits.";

// The About box: template 100, nothing of its own.
class CAboutDlg : public CDialog
{
public:
    CAboutDlg() : CDialog(kIddAboutBox) {}
};

class CPlaybackDlg : public CDialog
{
public:
    // viewerAutomation: the services the viewer link connects through (the session bus in the
    // program, a fake in tests); nullptr gives a link that cannot connect.
    explicit CPlaybackDlg(CTrackFile& trackFile,
                          std::unique_ptr<IViewerAutomation> viewerAutomation = nullptr);
    ~CPlaybackDlg() override;

    // Opens path into the reader and resets the window to it: count, scroll bar, "of:", title.
    // Draws no record and leaves the record readouts as they were; a heatmap of the track before is
    // taken off the plot.
    void OpenTrackFile(const std::string& path);

    // The idle hook's work: while the viewer is linked, shows its timestamp.
    void ShowViewerTimestamp();
    // Releases the viewer link and its services while the platform is still up (at exit).
    void ReleaseViewer();
    [[nodiscard]] bool IsViewerConnected() const { return m_viewer != nullptr && m_viewer->IsConnected(); }

    [[nodiscard]] CTrackFile& TrackFile() const { return m_trackFile; }
    [[nodiscard]] const CDrawingSurface* Surface() const { return m_pSurface.get(); }

    // --- Fields, in the order of the exchange first ------------------------------------------
    CScrollBar m_scrollBar;                 // bar 1011
    CStatic m_plotArea;                     // control 1000
    std::uint32_t m_plotEveryNth = 60;      // edit 1003 "Plot every Xth frame"
    std::string m_strRecordNumber = "0";    // readout 1010
    std::string m_strTimeStamp = "0";       // readout 1008
    std::string m_strX;                     // readout 1012
    std::string m_strY;                     // readout 1013
    std::string m_strAngle;                 // readout 1014
    std::string m_strLastRecord;            // readout 1015, after "of:"
    ColorFilter m_colorFilter;              // check boxes 1004-1007, 1009, 1016, 1017; all on
    std::int32_t m_maxTargetDistance = 100; // edit 1019 "Max"
    std::int32_t m_minTargetDistance = 10;  // edit 1018 "Min"
    HICON m_hIcon = nullptr;                // icon 130, from OnInitDialog
    HACCEL m_hAccel = nullptr;              // accelerator table 132, from OnInitDialog
    // m_regionRects, m_regionNames, m_nRegionCount, m_nSelectedRegion, m_ptDragAnchor and
    // m_ptDragPoint; no regions, none selected, slot n named "Box" + n.
    CRegionTable m_regions;
    CTrackPlot m_plot;                // unattached until OnInitDialog
    std::uint32_t m_recordCount = 0;  // the reader's count, copied when a file is opened
    std::uint32_t m_currentIndex = 0; // the record shown
    bool m_viewPoints = true;         // draw points (true) or targets (false)
    CTrackConverter m_converter;      // the Calculate New Center/Direction run
    // The viewer link (m_bViewerConnected is m_viewer->IsConnected()); released at exit.
    std::unique_ptr<CViewerLink> m_viewer;

    // --- Fields of the later commands ---------------------------------------------------------
    // The margin of the region layout loaded last (8 until one is loaded): the timestamp files and
    // the exports judge visits with it, and Save Regions writes it.
    std::int32_t m_nRegionMargin = kDefaultRegionMargin;
    // The path OpenTrackFile was given last: the later commands read the file through it, in one
    // pass of large blocks, while the window's own commands keep using the reader.
    std::string m_strTrackPath;
    // The Occupancy Heatmap's bin size and smoothing, asked the first time it is shown and kept
    // while the program runs.
    std::uint32_t m_nHeatmapBinPixels = kDefaultBinPixels;
    double m_dHeatmapSigmaBins = 0.0;
    bool m_bHeatmapSettingsChosen = false;
    // The heatmap is on the plot: nothing has cleared it since it was drawn. It belongs to the track
    // it was counted from, so opening another track clears it.
    bool m_bHeatmapShown = false;
    // Undo and redo of region edits, and whether the regions changed since they were saved or
    // loaded: every handler that changes a region is one step (OnWndMsg records it).
    CRegionHistory m_regionHistory;
    // The analysis settings of the layout loaded last (the defaults until one is), as Analysis
    // Settings and Calibrate change them: Save Regions writes them with the regions, and the
    // exports count by them.
    AnalysisSettings m_analysisSettings;
    // The line of Select > Calibrate..., armed until it is drawn or Escape.
    CCalibrationDrag m_calibrationDrag;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    bool PreTranslateMessage(Message& msg) override;
    [[nodiscard]] bool ConsumesKey(const Message& msg) const override;
    bool OnInitDialog() override;
    void OnOK() override;     // Enter closes a polygon being drawn; otherwise it does nothing
    void OnCancel() override; // Escape stops a calibration or drops a shape being drawn
    bool OnWndMsg(const Message& msg) override;

private:
    // File and window (PlaybackDlg.cpp).
    void OnFileOpen();
    void OnFileExit();
    void OnDropFiles(const std::vector<std::string>& paths);
    void OnPaint();
    void OnSysCommand(unsigned id);
    void OnAbout();
    void OnColorCheck();
    void OnToggleTargetsPoints();

    // Navigation (PlaybackNavigation.cpp).
    void OnNextFrame();
    void OnPreviousFrame();
    void OnOneSecondForward();
    void OnOneSecondBack();
    void OnHScroll(unsigned code, unsigned pos, CScrollBar* pScrollBar);
    void MoveToRecord(std::uint32_t index);
    void RefreshRecord();

    // Plot, regions and tools (PlaybackTools.cpp).
    void OnPlotNow();
    void OnSaveBitmap();
    void OnSavePlotPng();
    void OnCreateRectangle();
    void OnDeleteRectangle();
    void OnSelectRectangle(int id);
    void OnLButtonDown(unsigned flags, Point point);
    void OnMouseMove(unsigned flags, Point point);
    void OnLButtonUp(unsigned flags, Point point);
    void OnGenerateTimestampFiles();

    // Shapes, Delete All, undo and redo, and the question before unsaved regions are dropped
    // (PlaybackRegionEdits.cpp).
    void OnAddCircle();
    void OnAddPolygon();
    void OnDeleteAllRegions();
    void OnUndoRegionEdit();
    void OnRedoRegionEdit();
    // Whether the regions may be dropped: yes when they are saved, else the user's answer to "Save
    // changes to the regions?" (Yes saves them first and is a yes only when they were written).
    [[nodiscard]] bool MayDropRegions();
    // Whether a message may change the regions, so that OnWndMsg records it as an edit.
    [[nodiscard]] static bool MayEditRegions(const Message& msg);

    // Region layouts and the selected region's properties (PlaybackLayouts.cpp).
    // Save Regions: asks for a file and writes the layout; true when it was written.
    bool SaveRegionsAs();
    void OnSaveRegions();
    void OnLoadRegions();
    void OnRegionProperties();

    // Analysis Settings and Calibrate (PlaybackSettings.cpp).
    void OnAnalysisSettings();
    void OnCalibrate();
    // Hands the plot's mouse input to the calibration while it is armed; false otherwise.
    bool CalibrationButtonDown();
    bool CalibrationMouseMove(unsigned flags);
    bool CalibrationButtonUp();

    // Export Visits and Export Records (PlaybackExports.cpp).
    void OnExportVisits();
    void OnExportRecords();

    // Tracking Quality and the Occupancy Heatmap (PlaybackAnalysis.cpp).
    void OnTrackingQuality();
    void OnOccupancyHeatmap();

    // Go to Record (PlaybackNavigation.cpp).
    void OnGoToRecord();

    // Whether the open file has records to read; when not, the user is told (PlaybackDlg.cpp).
    [[nodiscard]] bool HasRecordsToRead() const;
    // Clears the plot and draws the regions again, as a repaint does (PlaybackDlg.cpp).
    void ClearPlot();

    // Conversion run (PlaybackConversion.cpp) and viewer link (PlaybackViewer.cpp).
    void OnCalculateNewCenter();
    void OnViewerButton();
    [[nodiscard]] Point CursorInPlot() const;

    CTrackFile& m_trackFile;                                              // not owned
    std::unique_ptr<CDrawingSurface> m_pSurface;                          // the plot area's pixels
    std::unique_ptr<CPixelSourceAdapter<CDrawingSurface>> m_pPixelSource; // what control 1000 shows
    CRegionPlotAdapter m_regionPlot{m_plot}; // the region table draws through m_plot
};
