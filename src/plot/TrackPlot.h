// CTrackPlot: everything shown in the plot area is drawn through it: one record (marker and points
// or targets), the entire track, the region outlines with their number labels, the rubber band of
// the region gesture, and the capture for the bitmap export. It draws straight onto a borrowed
// CDrawingSurface and keeps nothing of the picture but the outlines it last drew.
//
// Tracker coordinates are surface pixels one to one (column = X, row = Y, rows downwards).
#pragma once

#include "base/Geometry.h"
#include "plot/ColorFilter.h"
#include "plot/DrawingSurface.h"
#include "plot/RegionColors.h"
#include "regions/RegionShape.h"
#include "trackfile/TrackRecord.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CMarkerLayer;
class CTrackFile;

// A TrackWord turned into a surface pixel and the colour it is shown in.
struct DecodedTrackWord
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    Rgb colour;
    friend bool operator==(const DecodedTrackWord&, const DecodedTrackWord&) = default;
};

// An entire-track plot asks first when the record count divided by the step (rounded down) is
// above this.
inline constexpr std::uint32_t kLongPlotThreshold = 10000;

// What an entire-track plot of total records, a marker every n (0 means 1), asks before it draws;
// nothing when it draws without asking.
[[nodiscard]] std::optional<std::string> LongPlotQuestion(std::uint64_t total, std::uint32_t n);

class CTrackPlot
{
public:
    // Binds the plot to a surface (not owned) of width x height and to the reader (not owned), and
    // clears the surface black. Non-zero on success; 0 without a surface, which leaves the plot
    // without one.
    int Attach(CDrawingSurface* surface, std::int32_t width, std::int32_t height, CTrackFile* reader);
    // Fills (0, 0) to (m_nWidth, m_nHeight) black; 0, or -601 without a surface.
    int Clear();

    // Pixel and colour of a word; coordinates beyond the surface are pulled to its last column/row.
    [[nodiscard]] DecodedTrackWord DecodeTrackWord(TrackWord word, ColorFilter filter) const;

    // The purple dot, white circle, heading arrow and crossbar at the record's position (not
    // clamped). 0, or -601 without a surface.
    int DrawPositionMarker(const TrackRecord& record);
    // The markers added to layer since it was last drawn, in one surface operation: the same pixels
    // as DrawPositionMarker for each of them in turn. The layer has the surface's size and is empty
    // afterwards. 0, or -601 without a surface (the layer keeps its markers).
    int DrawMarkerLayer(CMarkerLayer& layer);
    // Points as segments coloured by their start point, or targets as 3 x 3 blocks.
    int DrawPointsOrTargets(const TrackRecord& record, ColorFilter filter, ViewMode view);
    // The marker, then the points or targets over it. It does not clear first: its callers have
    // just cleared and drawn the region outlines and labels, which stay visible under the record.
    int DrawRecord(const TrackRecord& record, ColorFilter filter, ViewMode view);
    // What a step to record index shows: Clear, RedrawRegions, the record fetched from the reader
    // into record, DrawRecord. The reader's result (0, or -603 when it could not deliver the
    // record: it has told the user and record holds what it copied, which is drawn all the same);
    // -601 without a reader.
    int ShowRecord(TrackRecord& record, std::uint32_t index, const Rect* rects, std::int32_t count,
                   std::int32_t selected, ColorFilter filter, ViewMode view);
    // The same for regions of any shape (shapes as RedrawRegions takes them).
    int ShowRecord(TrackRecord& record, std::uint32_t index, const Rect* rects, const RegionShape* shapes,
                   std::int32_t count, std::int32_t selected, ColorFilter filter, ViewMode view);

    // Region outline in kRegionColors[index], copy mode; -603 (nothing drawn) when the rectangle
    // is less than 2 pixels wide or high or index is not a region index; otherwise 0.
    int DrawRegionOutline(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                          std::int32_t index);
    // The same outline in exclusive-or mode: turns an outline drawn by DrawRegionOutline black.
    int XorRegionOutline(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                         std::int32_t index);
    // The label row "0 1 2 ..." at (5, 5): the selected region's number in its full colour, the
    // others dimmed, each followed by a space, all on black cells.
    int DrawRegionLabels(std::int32_t count, std::int32_t selected);
    // The same cells painted black.
    int EraseRegionLabels(std::int32_t count);
    // Takes the outlines and labels drawn last off and draws those of rects[0 .. count - 1]
    // (count cut to 0 .. 50). 0, or -601 without a surface (then nothing changes).
    int RedrawRegions(const Rect* rects, std::int32_t count, std::int32_t selected);
    // The same for regions of any shape: rects and shapes as the region table holds them (a
    // rectangle shape stands for the rectangle of rects; shapes may be null when all are
    // rectangles). A circle's outline is the surface's ellipse in its box, a polygon's its edges;
    // rectangles are drawn exactly as above.
    int RedrawRegions(const Rect* rects, const RegionShape* shapes, std::int32_t count,
                      std::int32_t selected);

    // Markers of records 0, n, 2n, ... of the open file (n = 0 means 1); asks first when more than
    // 10000 would be plotted. 0 (also after No), -601 without a reader or surface, or the reader's
    // result for a record it could not fetch.
    int PlotEveryNthRecord(std::uint32_t n);
    // Clear, RedrawRegions, PlotEveryNthRecord.
    int PlotEntireTrack(const Rect* rects, std::int32_t count, std::int32_t selected, std::uint32_t n);
    int PlotEntireTrack(const Rect* rects, const RegionShape* shapes, std::int32_t count,
                        std::int32_t selected, std::uint32_t n);

    // Rubber band of the region gesture, drawn white in exclusive-or mode.
    int BeginBand(std::int32_t x, std::int32_t y); // sets the anchor; 0
    int TrackBand(std::int32_t x, std::int32_t y); // moves the free corner; 0, or -601
    int EndBand();                                 // erases the band; 0, -602 none shown, -601

    // The outline a shape gesture shows while the button is held or the corners are clicked (a
    // circle growing from its centre, a polygon being drawn, a shape being moved): white in
    // exclusive-or like the band, so that drawing it again takes it off. TrackPreview replaces the
    // preview shown before; EndPreview takes it off (-602 when none is shown). 0, or -601 without a
    // surface. Clearing the plot forgets the preview, as its pixels are gone.
    int TrackPreview(const RegionShape& shape);
    int EndPreview();

    // The region names the window shows beside the outlines (not owned; kMaxRegions of them, or
    // null for none, as tracktool's pictures and a new plot have). A region whose name is not the
    // "Box" + number a slot starts with gets it written at its box's top-left corner, in the
    // region's colour on black, after every outline.
    void ShowRegionNames(const std::string* names) { m_pRegionNames = names; }

    // The Save Plot command: asks for a file name and writes what the surface shows as a bitmap.
    void SaveAsBitmap();

    [[nodiscard]] CDrawingSurface* Surface() const { return m_pSurface; }

    // State other parts of the program read (names as the rest of the program knows them).
    std::int32_t m_nWidth = 0;
    std::int32_t m_nHeight = 0;
    CTrackFile* m_pTrackFile = nullptr; // not owned
    Point m_ptBandAnchor;
    Point m_ptBandCorner;
    bool m_bBandShown = false;
    std::uint32_t m_nDrawnRegions = 0;
    std::array<Rect, kMaxRegions> m_drawnRegionRects{};
    std::array<RegionShape, kMaxRegions> m_drawnRegionShapes{}; // a rectangle: that of m_drawnRegionRects
    std::vector<Rect> m_drawnNameCells; // the cells of the names drawn last, painted black to take them off

private:
    int OutlineRegion(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                      std::int32_t index, RasterOp op);
    // A region's outline by its shape: a rectangle (rect, refused when under 2 pixels wide or high),
    // a circle as the ellipse in its box, a polygon as its edges.
    int OutlineShape(const Rect& rect, const RegionShape& shape, std::int32_t index, RasterOp op);
    enum class LabelInk
    {
        Colours, // the selected label in its full colour, the others dimmed
        Black,   // every label painted out
    };
    void LabelRow(std::int32_t count, std::int32_t selected, LabelInk ink);
    void DrawBandOutline();
    void XorPreview();
    void DrawRegionNames(const Rect* rects, std::int32_t count);

    std::optional<RegionShape> m_preview;        // the preview shown, if any
    const std::string* m_pRegionNames = nullptr; // not owned

    CDrawingSurface* m_pSurface = nullptr; // the plot's drawing context; not owned
};

// The bitmap's default name for a track file name: the name without a three-letter extension
// ("VT1.qtf" gives "VT1"; "run.data" stays as it is).
[[nodiscard]] std::string DefaultBitmapName(const std::string& trackFileName);
