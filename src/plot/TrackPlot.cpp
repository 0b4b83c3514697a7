#include "plot/TrackPlot.h"

#include "base/MessageSink.h"
#include "base/ResultCodes.h"
#include "plot/BitmapFile.h"
#include "plot/MarkerLayer.h"
#include "plot/PositionMarker.h"
#include "trackfile/TrackFile.h"

#include <algorithm>
#include <cassert>
#include <string>

namespace
{
constexpr Rgb kBandColour = kWhite;

constexpr std::int32_t kLabelRowLeft = 5;
constexpr std::int32_t kLabelRowTop = 5;
constexpr std::int32_t kNameInset = 3; // a name starts this far inside its region's box

// Whether name is what a slot is called until the user names it: "Box" and a number. Names move
// with deletes, so "Box3" may stand in slot 2; it is still no name of the user's.
bool IsSlotName(const std::string& name)
{
    constexpr std::string_view kPrefix = "Box";
    if (name.size() <= kPrefix.size() || name.compare(0, kPrefix.size(), kPrefix) != 0)
        return false;
    return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(kPrefix.size()), name.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

constexpr int kChannelMax = 255;
constexpr int kLumLevel = 159;
constexpr int kClassBoost = 255;

std::uint8_t Channel(int sum)
{
    return static_cast<std::uint8_t>(std::min(sum, kChannelMax));
}
} // namespace

std::string DefaultBitmapName(const std::string& trackFileName)
{
    const std::size_t n = trackFileName.size();
    if (n >= 4 && trackFileName[n - 4] == '.')
        return trackFileName.substr(0, n - 4);
    return trackFileName;
}

int CTrackPlot::Attach(CDrawingSurface* surface, std::int32_t width, std::int32_t height, CTrackFile* reader)
{
    if (surface == nullptr)
        return 0;
    m_pSurface = surface;
    m_pSurface->SetROP2(RasterOp::Copy);
    m_nWidth = width;
    m_nHeight = height;
    m_pTrackFile = reader;
    Clear();
    return 1;
}

int CTrackPlot::Clear()
{
    if (m_pSurface == nullptr)
        return kErrOpen;
    m_pSurface->FillOpaque(Rect{0, 0, m_nWidth, m_nHeight}, kBlack);
    m_preview.reset();
    m_drawnNameCells.clear();
    return kOk;
}

DecodedTrackWord CTrackPlot::DecodeTrackWord(TrackWord word, ColorFilter filter) const
{
    DecodedTrackWord decoded;
    decoded.x = static_cast<std::int32_t>(TrackWordX(word));
    if (decoded.x >= m_nWidth)
        decoded.x = m_nWidth - 1;
    decoded.y = static_cast<std::int32_t>(TrackWordY(word));
    if (decoded.y >= m_nHeight)
        decoded.y = m_nHeight - 1;

    const int base = (word & kWordBitLum) != 0 && filter.lum ? kLumLevel : 0;
    int red = base;
    int green = base;
    int blue = base;
    if ((word & kWordBitRR) != 0 && filter.rr)
        red += kClassBoost;
    if ((word & kWordBitRG) != 0 && filter.rg)
        green += kClassBoost;
    if ((word & kWordBitRB) != 0 && filter.rb)
        blue += kClassBoost;
    if ((word & kWordBitPR) != 0 && filter.pr)
        red += kClassBoost;
    if ((word & kWordBitPG) != 0 && filter.pg)
        green += kClassBoost;
    if ((word & kWordBitPB) != 0 && filter.pb)
        blue += kClassBoost;
    decoded.colour = Rgb{Channel(red), Channel(green), Channel(blue)};
    return decoded;
}

int CTrackPlot::DrawPositionMarker(const TrackRecord& record)
{
    if (m_pSurface == nullptr)
        return kErrOpen;
    CDrawingSurface& surface = *m_pSurface;
    const MarkerShape shape = MarkerShapeAt(record.x, record.y, MarkerHeadingOf(record.angle));
    for (const std::int32_t row : shape.dotRows)
        for (const std::int32_t column : shape.dotColumns)
            surface.SetPixelV(column, row, kMarkerDotColour);

    surface.SelectPen(kMarkerLineColour);
    surface.SetROP2(RasterOp::Copy);
    surface.Ellipse(shape.circle.left, shape.circle.top, shape.circle.right, shape.circle.bottom);
    surface.MoveToEx(shape.tail.x, shape.tail.y);
    surface.LineTo(shape.tip.x, shape.tip.y);
    surface.LineTo(shape.leftBarb.x, shape.leftBarb.y);
    surface.MoveToEx(shape.tip.x, shape.tip.y);
    surface.LineTo(shape.rightBarb.x, shape.rightBarb.y);
    surface.MoveToEx(shape.crossStart.x, shape.crossStart.y);
    surface.LineTo(shape.crossEnd.x, shape.crossEnd.y);
    return kOk;
}

int CTrackPlot::DrawMarkerLayer(CMarkerLayer& layer)
{
    if (m_pSurface == nullptr)
        return kErrOpen;
    layer.PaintOnto(*m_pSurface);
    return kOk;
}

int CTrackPlot::DrawPointsOrTargets(const TrackRecord& record, ColorFilter filter, ViewMode view)
{
    if (m_pSurface == nullptr)
        return kErrOpen;
    CDrawingSurface& surface = *m_pSurface;
    surface.SetROP2(RasterOp::Copy);
    if (view == ViewMode::Points)
    {
        const TrackWord first = record.points[0];
        const DecodedTrackWord start = DecodeTrackWord(first, filter);
        surface.MoveToEx(start.x, start.y);
        if (first == 0)
            return kOk;
        // Each segment takes the colour of the point it starts from; a black point starts none.
        Rgb carried = start.colour;
        for (std::size_t k = 1; k < kMaxPoints; ++k)
        {
            const TrackWord word = record.points[k];
            if (word == 0)
                break;
            const DecodedTrackWord point = DecodeTrackWord(word, filter);
            if (carried != kBlack)
            {
                surface.SelectPen(carried);
                surface.LineTo(point.x, point.y);
            }
            else
                surface.MoveToEx(point.x, point.y);
            carried = point.colour;
        }
        return kOk;
    }
    for (std::size_t k = 0; k < kMaxTargets; ++k)
    {
        const TrackWord word = record.targets[k];
        if (word == 0)
            break;
        const DecodedTrackWord target = DecodeTrackWord(word, filter);
        for (std::int32_t dy = -1; dy <= 1; ++dy)
            for (std::int32_t dx = -1; dx <= 1; ++dx)
                surface.SetPixelV(target.x + dx, target.y + dy, target.colour);
    }
    return kOk;
}

int CTrackPlot::DrawRecord(const TrackRecord& record, ColorFilter filter, ViewMode view)
{
    // No clear here: the step commands clear and draw the region outlines and labels just before,
    // and those should stay visible under the record.
    if (m_pSurface == nullptr)
        return kErrOpen;
    DrawPositionMarker(record);
    return DrawPointsOrTargets(record, filter, view);
}

int CTrackPlot::ShowRecord(TrackRecord& record, std::uint32_t index, const Rect* rects, std::int32_t count,
                           std::int32_t selected, ColorFilter filter, ViewMode view)
{
    return ShowRecord(record, index, rects, nullptr, count, selected, filter, view);
}

int CTrackPlot::ShowRecord(TrackRecord& record, std::uint32_t index, const Rect* rects,
                           const RegionShape* shapes, std::int32_t count, std::int32_t selected,
                           ColorFilter filter, ViewMode view)
{
    if (m_pTrackFile == nullptr)
        return kErrOpen;
    Clear();
    RedrawRegions(rects, shapes, count, selected);
    const int fetched = m_pTrackFile->GetRecord(record, index);
    DrawRecord(record, filter, view);
    return fetched;
}

int CTrackPlot::OutlineRegion(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                              std::int32_t index, RasterOp op)
{
    return OutlineShape(Rect{left, top, right, bottom}, RegionShape{}, index, op);
}

int CTrackPlot::OutlineShape(const Rect& rect, const RegionShape& shape, std::int32_t index, RasterOp op)
{
    if (shape.kind == ShapeKind::Rectangle)
    {
        const std::int64_t width = std::int64_t{rect.right} - rect.left;
        const std::int64_t height = std::int64_t{rect.bottom} - rect.top;
        if (width >= -1 && width <= 1)
            return kErrNoRecord;
        if (height >= -1 && height <= 1)
            return kErrNoRecord;
    }
    if (!IsRegionIndex(index, kMaxRegions))
        return kErrNoRecord;
    if (m_pSurface == nullptr)
        return kErrOpen;
    m_pSurface->SelectPen(kRegionColors[static_cast<std::size_t>(index)]);
    m_pSurface->SetROP2(op);
    switch (shape.kind)
    {
    case ShapeKind::Rectangle:
        m_pSurface->Rectangle(rect.left, rect.top, rect.right, rect.bottom);
        break;
    case ShapeKind::Circle:
    {
        const Rect box = ShapeBox(shape); // the ellipse inscribed in the circle's box
        m_pSurface->Ellipse(box.left, box.top, box.right, box.bottom);
        break;
    }
    case ShapeKind::Polygon:
        m_pSurface->Polygon(shape.points);
        break;
    }
    m_pSurface->SetROP2(RasterOp::Copy); // everything else draws in copy mode
    return kOk;
}

int CTrackPlot::DrawRegionOutline(std::int32_t left, std::int32_t top, std::int32_t right,
                                  std::int32_t bottom, std::int32_t index)
{
    return OutlineRegion(left, top, right, bottom, index, RasterOp::Copy);
}

int CTrackPlot::XorRegionOutline(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom,
                                 std::int32_t index)
{
    return OutlineRegion(left, top, right, bottom, index, RasterOp::Xor);
}

// The row's layout depends only on the count and the font, so erasing with the old count covers
// exactly the cells drawn for it.
void CTrackPlot::LabelRow(std::int32_t count, std::int32_t selected, LabelInk ink)
{
    CDrawingSurface& surface = *m_pSurface;
    // Every cell is as high as "X-Y Parameters" measures, the height of the label font.
    std::int32_t x = kLabelRowLeft;
    const std::int32_t last = std::min<std::int32_t>(count, kMaxRegions);
    for (std::int32_t i = 0; i < last; ++i)
    {
        const std::size_t row = static_cast<std::size_t>(i);
        const Rgb colour =
            ink == LabelInk::Black ? kBlack : (i == selected ? kRegionColors[row] : kRegionColorsDim[row]);
        const std::string number = std::to_string(i);
        surface.SetTextColor(colour);
        surface.SetBkColor(kBlack);
        surface.DrawText(x, kLabelRowTop, number);
        x += surface.GetTextExtent(number).cx;
        surface.DrawText(x, kLabelRowTop, " ");
        x += surface.GetTextExtent(" ").cx;
    }
}

int CTrackPlot::DrawRegionLabels(std::int32_t count, std::int32_t selected)
{
    if (m_pSurface == nullptr)
        return kErrOpen;
    LabelRow(count, selected, LabelInk::Colours);
    return kOk;
}

int CTrackPlot::EraseRegionLabels(std::int32_t count)
{
    if (m_pSurface == nullptr)
        return kErrOpen;
    LabelRow(count, -1, LabelInk::Black);
    return kOk;
}

int CTrackPlot::RedrawRegions(const Rect* rects, std::int32_t count, std::int32_t selected)
{
    return RedrawRegions(rects, nullptr, count, selected);
}

int CTrackPlot::RedrawRegions(const Rect* rects, const RegionShape* shapes, std::int32_t count,
                              std::int32_t selected)
{
    if (m_pSurface == nullptr)
        return kErrOpen; // nothing drawn, so the list of drawn outlines stays as it is
    // The table holds 50 rectangles; a longer or missing list must not read or write past it.
    if (rects == nullptr)
        count = 0;
    count = std::clamp<std::int32_t>(count, 0, kMaxRegions);

    const RegionShape rectangle;
    const auto shapeOf = [&](std::int32_t i) -> const RegionShape&
    { return shapes != nullptr ? shapes[i] : rectangle; };
    for (std::uint32_t i = 0; i < m_nDrawnRegions; ++i)
        OutlineShape(m_drawnRegionRects[i], m_drawnRegionShapes[i], static_cast<std::int32_t>(i),
                     RasterOp::Xor);
    for (const Rect& cell : m_drawnNameCells)
        m_pSurface->FillOpaque(cell, kBlack);
    m_drawnNameCells.clear();
    for (std::int32_t i = 0; i < count; ++i)
        OutlineShape(rects[i], shapeOf(i), i, RasterOp::Copy);
    EraseRegionLabels(static_cast<std::int32_t>(m_nDrawnRegions));
    DrawRegionLabels(count, selected);
    DrawRegionNames(rects, count);

    m_nDrawnRegions = static_cast<std::uint32_t>(count);
    if (rects != m_drawnRegionRects.data()) // a caller may hand back the drawn list itself
        std::copy(rects, rects + count, m_drawnRegionRects.begin());
    if (shapes != m_drawnRegionShapes.data())
        for (std::int32_t i = 0; i < count; ++i)
            m_drawnRegionShapes[static_cast<std::size_t>(i)] = shapeOf(i);
    return kOk;
}

int CTrackPlot::PlotEveryNthRecord(std::uint32_t n)
{
    if (m_pTrackFile == nullptr || m_pSurface == nullptr)
        return kErrOpen;
    if (n == 0)
        n = 1;
    const std::uint32_t total = m_pTrackFile->GetRecordCount();
    if (const std::optional<std::string> question = LongPlotQuestion(total, n))
        if (!GetMessageSink().AskYesNo(*question))
            return kOk;
    TrackRecord record;
    // 64-bit index: i + n must not wrap around to a small index on huge counts.
    for (std::uint64_t i = 0; i < total; i += n)
    {
        const int result = m_pTrackFile->GetRecord(record, static_cast<std::uint32_t>(i));
        if (result != kOk)
            return result;
        DrawPositionMarker(record);
    }
    return kOk;
}

std::optional<std::string> LongPlotQuestion(std::uint64_t total, std::uint32_t n)
{
    const std::uint64_t q = total / (n == 0 ? 1 : n);
    if (q <= kLongPlotThreshold)
        return std::nullopt;
    return "This will result in plotting " + std::to_string(q) +
           " records which will take a long time, do you wish to continue?";
}

int CTrackPlot::PlotEntireTrack(const Rect* rects, std::int32_t count, std::int32_t selected, std::uint32_t n)
{
    return PlotEntireTrack(rects, nullptr, count, selected, n);
}

int CTrackPlot::PlotEntireTrack(const Rect* rects, const RegionShape* shapes, std::int32_t count,
                                std::int32_t selected, std::uint32_t n)
{
    Clear();
    RedrawRegions(rects, shapes, count, selected);
    return PlotEveryNthRecord(n);
}

int CTrackPlot::BeginBand(std::int32_t x, std::int32_t y)
{
    m_ptBandAnchor = Point{x, y};
    return kOk;
}

void CTrackPlot::DrawBandOutline()
{
    assert(m_pSurface != nullptr && "the band is drawn only on an attached surface");
    m_pSurface->SelectPen(kBandColour);
    m_pSurface->SetROP2(RasterOp::Xor);
    m_pSurface->Rectangle(m_ptBandAnchor.x, m_ptBandAnchor.y, m_ptBandCorner.x, m_ptBandCorner.y);
    m_pSurface->SetROP2(RasterOp::Copy);
}

int CTrackPlot::TrackBand(std::int32_t x, std::int32_t y)
{
    if (m_pSurface == nullptr)
        return kErrOpen;
    if (m_bBandShown)
        DrawBandOutline(); // the exclusive-or erases the band at the old corner
    else
        m_bBandShown = true;
    m_ptBandCorner = Point{x, y};
    DrawBandOutline();
    return kOk;
}

int CTrackPlot::EndBand()
{
    if (m_pSurface == nullptr)
    {
        m_bBandShown = false;
        return kErrOpen;
    }
    if (!m_bBandShown)
        return kErrNoBand; // drawing now would put a band up, not take one down
    m_bBandShown = false;
    DrawBandOutline();
    return kOk;
}

void CTrackPlot::XorPreview()
{
    assert(m_pSurface != nullptr && m_preview.has_value() && "a preview is drawn on an attached surface");
    m_pSurface->SelectPen(kBandColour);
    m_pSurface->SetROP2(RasterOp::Xor);
    const RegionShape& shape = *m_preview;
    if (shape.kind == ShapeKind::Polygon)
        m_pSurface->Polygon(shape.points);
    else
    {
        const Rect box = ShapeBox(shape);
        if (shape.kind == ShapeKind::Circle)
            m_pSurface->Ellipse(box.left, box.top, box.right, box.bottom);
        else
            m_pSurface->Rectangle(box.left, box.top, box.right, box.bottom);
    }
    m_pSurface->SetROP2(RasterOp::Copy);
}

int CTrackPlot::TrackPreview(const RegionShape& shape)
{
    if (m_pSurface == nullptr)
        return kErrOpen;
    if (m_preview)
        XorPreview(); // takes the old one off
    m_preview = shape;
    XorPreview();
    return kOk;
}

int CTrackPlot::EndPreview()
{
    if (m_pSurface == nullptr)
    {
        m_preview.reset();
        return kErrOpen;
    }
    if (!m_preview)
        return kErrNoBand;
    XorPreview();
    m_preview.reset();
    return kOk;
}

void CTrackPlot::DrawRegionNames(const Rect* rects, std::int32_t count)
{
    if (m_pRegionNames == nullptr)
        return;
    for (std::int32_t i = 0; i < count; ++i)
    {
        const std::size_t slot = static_cast<std::size_t>(i);
        const std::string& name = m_pRegionNames[slot];
        if (IsSlotName(name))
            continue;
        const Rect& r = rects[slot];
        const std::int32_t x = std::min(r.left, r.right) + kNameInset;
        const std::int32_t y = std::min(r.top, r.bottom) + kNameInset;
        const TextExtent extent = m_pSurface->GetTextExtent(name);
        m_pSurface->SetTextColor(kRegionColors[slot]);
        m_pSurface->SetBkColor(kBlack);
        m_pSurface->DrawText(x, y, name);
        m_drawnNameCells.push_back(Rect{x, y, x + extent.cx, y + extent.cy});
    }
}

void CTrackPlot::SaveAsBitmap()
{
    const std::string trackName = m_pTrackFile != nullptr ? m_pTrackFile->GetFileName() : std::string();
    FileDialogRequest request;
    request.kind = FileDialogRequest::Kind::Save;
    request.title = std::string(kBitmapDialogTitle);
    request.filter = std::string(kBitmapDialogFilter);
    request.defaultExtension = std::string(kBitmapDefaultExtension);
    request.initialName = DefaultBitmapName(trackName);
    const std::optional<std::string> path = GetMessageSink().AskFileName(request);
    if (!path)
        return;
    SaveCapturedBitmap(*path, CaptureSurface(m_pSurface, m_nWidth, m_nHeight));
}
