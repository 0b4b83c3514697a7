// Draws records (positions, headings and words anywhere in their range), region lists, rubber
// bands, record steps and entire-track plots chosen by the input onto a plot of a size the input
// chooses, twice: on a surface exactly the plot's size and on one larger by a margin. Whatever the
// input, the two agree on every pixel of the plot, so nothing drawn off the smaller surface lands
// on it (a wrapped row, say); the sanitizers catch anything written outside a surface's buffer.
// A band shown and taken down again leaves the plot as it was, and a clear leaves it black.
#include "base/ResultCodes.h"
#include "plot/DrawingSurface.h"
#include "plot/TrackPlot.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"
#include "support/GeneratedTrack.h"
#include "trackfile/TrackFile.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr std::uint8_t kMaxRecordsHere = 8;
constexpr int kMaxOperations = 24;
constexpr std::uint16_t kMaxWidth = 1024;
constexpr std::uint16_t kMaxHeight = 768;

enum class Operation : std::uint8_t
{
    DrawRecord,
    RedrawRegions,
    Band,
    ShowRecord,
    Clear,
    PlotEntireTrack,
    Count,
};

TrackRecord ReadRecord(CFuzzInput& input)
{
    TrackRecord record;
    std::memset(&record, 0, sizeof record);
    record.x = input.Int();
    record.y = input.Int();
    record.angle = input.Int();
    const std::size_t points = input.U16() % (kMaxPoints + 1); // all 400: a list with no end word
    for (std::size_t k = 0; k < points; ++k)
        record.points[k] = input.U32();
    const std::size_t targets = input.U8() % (kMaxTargets + 1);
    for (std::size_t k = 0; k < targets; ++k)
        record.targets[k] = input.U32();
    return record;
}

void WriteRecord(CFuzzInputBuilder& input, const TrackRecord& record)
{
    input.Int(record.x).Int(record.y).Int(record.angle);
    const std::array<TrackWord, kMaxPoints> points = CopyPoints(record);
    const std::size_t nPoints = CountListEntries(points);
    input.U16(static_cast<std::uint16_t>(nPoints));
    for (std::size_t k = 0; k < nPoints; ++k)
        input.U32(points[k]);
    const std::array<TrackWord, kMaxTargets> targets = CopyTargets(record);
    const std::size_t nTargets = CountListEntries(targets);
    input.U8(static_cast<std::uint8_t>(nTargets));
    for (std::size_t k = 0; k < nTargets; ++k)
        input.U32(targets[k]);
}

ColorFilter ReadFilter(std::uint8_t bits)
{
    return ColorFilter{(bits & 1) != 0,  (bits & 2) != 0,  (bits & 4) != 0, (bits & 8) != 0,
                       (bits & 16) != 0, (bits & 32) != 0, (bits & 64) != 0};
}

struct RegionList
{
    std::vector<Rect> rects;
    std::int32_t selected = -1;
};

RegionList ReadRegions(CFuzzInput& input)
{
    RegionList list;
    // Up to 55: the table holds 50, and a longer list must not draw more.
    list.rects.resize(input.U8() % 56);
    for (Rect& r : list.rects)
        r = Rect{input.Int(), input.Int(), input.Int(), input.Int()};
    list.selected = input.I8();
    return list;
}

// One plot on its own surface.
struct PlotUnderTest
{
    PlotUnderTest(int surfaceWidth, int surfaceHeight) : surface(surfaceWidth, surfaceHeight) {}
    CDrawingSurface surface;
    CTrackPlot plot;
};

// Every pixel of the plot area (0, 0) .. (width, height) is the same on both surfaces.
bool SamePlotArea(const CDrawingSurface& small, const CDrawingSurface& large, int width, int height)
{
    if (width == 0 || height == 0)
        return true;
    const auto rowBytes = static_cast<std::size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
    {
        const std::uint8_t* a =
            small.Data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(small.Width()) * 3;
        const std::uint8_t* b =
            large.Data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(large.Width()) * 3;
        if (std::memcmp(a, b, rowBytes) != 0)
            return false;
    }
    return true;
}

// Every byte equal to the first, the first zero: one library compare rather than a loop the fuzzer
// instruments byte by byte.
bool IsBlack(const CDrawingSurface& surface)
{
    const std::size_t size =
        static_cast<std::size_t>(surface.Width()) * static_cast<std::size_t>(surface.Height()) * 3;
    return size == 0 ||
           (surface.Data()[0] == 0 && std::memcmp(surface.Data(), surface.Data() + 1, size - 1) == 0);
}

std::vector<std::uint8_t> Pixels(const CDrawingSurface& surface)
{
    const std::size_t size =
        static_cast<std::size_t>(surface.Width()) * static_cast<std::size_t>(surface.Height()) * 3;
    return std::vector<std::uint8_t>(surface.Data(), surface.Data() + size);
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    const std::vector<TrackRecord> records = GeneratedRecords(3, 3);
    CFuzzInputBuilder input;
    input.U8(static_cast<std::uint8_t>(records.size()));
    for (const TrackRecord& record : records)
        WriteRecord(input, record);
    input.U16(640 + 2).U16(480 + 2).U8(7).U8(3);
    const auto Op = [&input](Operation op) { input.U8(static_cast<std::uint8_t>(op)); };
    Op(Operation::RedrawRegions);
    input.U8(2).Int(50).Int(50).Int(175).Int(175).Int(400).Int(300).Int(200).Int(120).U8(1);
    Op(Operation::DrawRecord);
    input.U8(0).U8(0x7F);
    Op(Operation::DrawRecord);
    input.U8(1).U8(0xFF);
    Op(Operation::Band);
    input.Int(100).Int(100).U8(2).Int(300).Int(200).Int(50).Int(400);
    Op(Operation::ShowRecord);
    input.U8(2).U8(0x7F);
    Op(Operation::RedrawRegions);
    input.U8(0).U8(0xFF);
    Op(Operation::PlotEntireTrack);
    input.U8(1).U8(1).Int(-5).Int(-5).Int(9000).Int(9000).U8(0);
    Op(Operation::Clear);
    return {input.Data()};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    CFuzzInput input(data, size);
    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);

    // The records, also written as an old-style file for the steps and the entire-track plots.
    std::vector<TrackRecord> records(input.U8() % (kMaxRecordsHere + 1));
    for (TrackRecord& record : records)
        record = ReadRecord(input);
    const std::string path = scratch.File("plot.dat");
    FuzzCheck(WriteFileBytes(path, reinterpret_cast<const std::uint8_t*>(records.data()),
                             records.size() * sizeof(TrackRecord)),
              "the records can be written");
    CTrackFile reader;
    reader.Open(path);

    // Sizes from -2: a plot of no pixels, or a negative size, must draw nothing.
    const int width = input.U16() % (kMaxWidth + 3) - 2;
    const int height = input.U16() % (kMaxHeight + 3) - 2;
    const int areaWidth = std::max(width, 0);
    const int areaHeight = std::max(height, 0);
    PlotUnderTest exact(width, height);
    PlotUnderTest larger(areaWidth + 1 + input.U8() % 32, areaHeight + 1 + input.U8() % 32);
    PlotUnderTest* const plots[] = {&exact, &larger};
    for (PlotUnderTest* p : plots)
        p->plot.Attach(&p->surface, width, height, &reader);

    TrackRecord shown;
    std::memset(&shown, 0, sizeof shown);
    for (int n = 0; n < kMaxOperations && input.Remaining() > 0; ++n)
    {
        const auto op = static_cast<Operation>(input.U8() % static_cast<std::uint8_t>(Operation::Count));
        switch (op)
        {
        case Operation::DrawRecord:
        {
            TrackRecord record;
            std::memset(&record, 0, sizeof record);
            if (!records.empty())
                record = records[input.U8() % records.size()];
            const std::uint8_t look = input.U8();
            for (PlotUnderTest* p : plots)
                p->plot.DrawRecord(record, ReadFilter(look), ViewModeOf((look & 0x80) != 0));
            break;
        }
        case Operation::RedrawRegions:
        {
            const RegionList list = ReadRegions(input);
            for (PlotUnderTest* p : plots)
                p->plot.RedrawRegions(list.rects.data(), static_cast<std::int32_t>(list.rects.size()),
                                      list.selected);
            break;
        }
        case Operation::Band:
        {
            const Point anchor{input.Int(), input.Int()};
            std::vector<Point> corners(input.U8() % 4);
            for (Point& corner : corners)
                corner = Point{input.Int(), input.Int()};
            for (PlotUnderTest* p : plots)
            {
                const std::vector<std::uint8_t> before = Pixels(p->surface);
                p->plot.BeginBand(anchor.x, anchor.y);
                for (const Point& corner : corners)
                    FuzzCheck(p->plot.TrackBand(corner.x, corner.y) == 0, "a band can be drawn");
                const int ended = p->plot.EndBand();
                FuzzCheck(ended == (corners.empty() ? kErrNoBand : kOk),
                          "a band is taken down exactly when shown");
                FuzzCheck(Pixels(p->surface) == before, "a band taken down leaves the plot as it was");
            }
            break;
        }
        case Operation::ShowRecord:
        {
            const std::uint32_t index = input.U8() % (kMaxRecordsHere + 2);
            const std::uint8_t look = input.U8();
            const RegionList list = ReadRegions(input);
            for (PlotUnderTest* p : plots)
            {
                TrackRecord record = shown;
                p->plot.ShowRecord(record, index, list.rects.data(),
                                   static_cast<std::int32_t>(list.rects.size()), list.selected,
                                   ReadFilter(look), ViewModeOf((look & 0x80) != 0));
                if (p == &larger)
                    shown = record;
            }
            break;
        }
        case Operation::Clear:
            for (PlotUnderTest* p : plots)
                p->plot.Clear();
            FuzzCheck(IsBlack(exact.surface), "a cleared plot is black");
            break;
        default:
        {
            const std::uint32_t every = input.U8() % 4;
            const RegionList list = ReadRegions(input);
            for (PlotUnderTest* p : plots)
                p->plot.PlotEntireTrack(list.rects.data(), static_cast<std::int32_t>(list.rects.size()),
                                        list.selected, every);
            break;
        }
        }
        FuzzCheck(SamePlotArea(exact.surface, larger.surface, areaWidth, areaHeight),
                  "the plot area is the same on a surface of its size and on a larger one");
    }
    FuzzCheck(sink.m_nQuestions == 0, "a short track is plotted without asking");
    scratch.Clear();
    return 0;
}
