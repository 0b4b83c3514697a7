// Two things chosen by the input's first byte. Pictures of any small size (none wide or high
// included) with any pixels go through the PNG writer and are read back with libpng: every pixel is
// the same, or an empty picture is refused with one message and no file. Or records anywhere (on
// the plot or far off it) fill an occupancy grid of any bin size, smoothed with any sigma, and the
// heatmap is drawn at any scale with any top, regions anywhere and any names: the time binned is
// the records on the plot, smoothing keeps it, the picture has the layout's size, each bin shows
// its colour where no region covers it, and the window's view paints every plot pixel in its bin's
// colour.
#include "analysis/Occupancy.h"
#include "outputs/PictureFile.h"
#include "plot/HeatmapPicture.h"
#include "plot/OccupancyColours.h"
#include "plot/PngFile.h"
#include "support/FuzzInput.h"
#include "support/FuzzScratch.h"
#include "support/GeneratedTrack.h"
#include "trackfile/Arena.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <png.h>
#include <string>
#include <vector>

namespace
{
constexpr std::uint8_t kPngMode = 0x01;
constexpr std::uint8_t kMaxPngSide = 64;
constexpr std::uint8_t kMaxPlaces = 24;    // places records stand at
constexpr std::uint8_t kMaxRegions = 4;    // regions drawn over the heatmap
constexpr std::uint8_t kMaxTextBytes = 24; // a region's name or the file's
constexpr double kSigmaStep = 1.0 / 16.0;  // sigma is a byte in sixteenths of a bin
constexpr double kVmaxStep = 1.0 / 16.0;   // a fixed top is a number of sixteenths of a second
constexpr std::int32_t kMaxScaleHere = 2;  // larger scales are the same drawing, only slower
constexpr std::uint32_t kSmallBinsHere = 32;

std::string ReadText(CFuzzInput& input)
{
    std::string text(input.U8() % (kMaxTextBytes + 1), '\0');
    for (char& c : text)
        c = static_cast<char>(input.U8());
    return text;
}

// Reads a PNG file back as RGB rows, or nothing when libpng does not take it.
std::optional<std::vector<std::uint8_t>> ReadPng(const std::string& path, std::int32_t& width,
                                                 std::int32_t& height)
{
    const std::optional<std::vector<std::uint8_t>> bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&image, bytes->data(), bytes->size()) == 0)
        return std::nullopt;
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    width = static_cast<std::int32_t>(image.width);
    height = static_cast<std::int32_t>(image.height);
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0)
    {
        png_image_free(&image);
        return std::nullopt;
    }
    return rgb;
}

void RunPng(CFuzzInput& input, const CFuzzScratchDir& scratch)
{
    const std::int32_t width = input.U8() % (kMaxPngSide + 1);
    const std::int32_t height = input.U8() % (kMaxPngSide + 1);
    CRgbRaster raster(width, height, kBlack);
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            raster.SetPixel(x, y, Rgb{input.U8(), input.U8(), input.U8()});

    CFuzzMessageSink sink;
    CScopedMessageSink scoped(sink);
    const std::string path = scratch.File("p.png");
    CPictureFile picture(path, 1, PictureFormat::Png);
    Problem problem = picture.Prepare();
    if (problem.IsOk())
        problem = picture.Write(raster.View());
    Tell(problem);
    const int result = problem.code;
    if (width == 0 || height == 0)
    {
        FuzzCheck(result != 0 && sink.m_messages.size() == 1, "an empty picture is refused with one message");
        FuzzCheck(scratch.List().empty(), "a refused picture leaves no file");
        return;
    }
    FuzzCheck(result == 0 && sink.m_messages.empty(), "a picture is written without a message");
    std::int32_t readWidth = 0;
    std::int32_t readHeight = 0;
    const auto rgb = ReadPng(path, readWidth, readHeight);
    FuzzCheck(rgb.has_value(), "libpng reads the file back");
    FuzzCheck(readWidth == width && readHeight == height, "the file has the picture's size");
    FuzzCheck(rgb->size() == static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3 &&
                  std::equal(rgb->begin(), rgb->end(), raster.Data()),
              "every pixel comes back as it was");
    scratch.Clear();
}

bool OnPlot(std::int32_t x, std::int32_t y)
{
    return x >= 0 && y >= 0 && x < kArenaWidth && y < kArenaHeight;
}

void RunHeatmap(CFuzzInput& input)
{
    // Bins below 1 pixel count as 1 (a unit test pins that); here they become bins of 1 to 32 pixels,
    // so that the slow grid of one-pixel bins is not the fuzzer's most common case.
    std::int32_t binPixels = input.Int();
    if (binPixels < 1)
        binPixels = 1 + static_cast<std::int32_t>(static_cast<std::uint32_t>(binPixels) % kSmallBinsHere);
    COccupancyGrid grid(binPixels);
    std::uint64_t onPlot = 0;
    std::uint64_t offPlot = 0;
    const std::uint8_t places = input.U8() % (kMaxPlaces + 1);
    for (std::uint8_t i = 0; i < places; ++i)
    {
        const std::int32_t x = input.Int();
        const std::int32_t y = input.Int();
        const std::uint8_t records = input.U8();
        for (std::uint8_t r = 0; r < records; ++r)
            grid.Add(x, y);
        (OnPlot(x, y) ? onPlot : offPlot) += records;
    }
    FuzzCheck(grid.RecordsBinned() == onPlot && grid.RecordsOffPlot() == offPlot,
              "records on the plot are binned, the others counted apart");

    const double sigma = input.U8() * kSigmaStep;
    const OccupancyMap raw = grid.Map();
    const OccupancyMap map = grid.Map(sigma);
    FuzzCheck(raw.Total() == grid.SecondsBinned() ||
                  std::abs(raw.Total() - grid.SecondsBinned()) <= 1e-9 * raw.Total(),
              "the bins hold the time binned");
    FuzzCheck(std::abs(map.Total() - raw.Total()) <= 1e-9 * raw.Total(), "smoothing keeps the total time");
    FuzzCheck(std::all_of(map.seconds.begin(), map.seconds.end(), [](double s) { return s >= 0.0; }),
              "smoothing makes no bin negative");

    HeatmapPictureOptions options;
    const std::int32_t scale = input.I8();
    options.scale = scale > kMaxScaleHere ? 1 : scale;
    if (input.Bit())
        options.vmax = input.Int() * kVmaxStep;
    options.fileName = ReadText(input);
    options.secondsBinned = grid.SecondsBinned();
    options.recordsOffPlot = grid.RecordsOffPlot();
    options.sigmaBins = sigma;
    const std::uint8_t regions = input.U8() % (kMaxRegions + 1);
    for (std::uint8_t i = 0; i < regions; ++i)
    {
        const Rect rect{input.Int(), input.Int(), input.Int(), input.Int()};
        options.regions.push_back(HeatmapRegion{RegionShape::Rectangle(rect), ReadText(input)});
    }

    const HeatmapLayout layout = LayOutHeatmapPicture(map, options);
    const std::int32_t k = std::clamp(options.scale, kMinHeatmapScale, kMaxHeatmapScale);
    const CRgbRaster picture = DrawHeatmapPicture(map, options);
    FuzzCheck(picture.Width() == layout.width * k && picture.Height() == layout.height * k,
              "the picture has the layout's size at its scale");
    const double top = OccupancyScaleTop(map, options.vmax);
    FuzzCheck(top > 0.0 && std::isfinite(top), "the scale has a positive top");
    if (options.regions.empty())
    {
        for (std::int32_t row = 0; row < map.rows && std::int64_t{row} * map.binPixels < kArenaHeight; ++row)
            for (std::int32_t column = 0;
                 column < map.columns && std::int64_t{column} * map.binPixels < kArenaWidth; ++column)
            {
                const std::int32_t x = (layout.plot.left + column * map.binPixels) * k;
                const std::int32_t y = (layout.plot.top + row * map.binPixels) * k;
                FuzzCheck(picture.GetPixel(x, y) == OccupancyColour(map.At(column, row), top),
                          "a bin shows the colour of its time");
            }
    }

    CDrawingSurface surface(kArenaWidth, kArenaHeight);
    DrawOccupancyBins(surface, map, options.vmax);
    // Every row of pixels within one row of bins is the same: build it once, compare whole rows.
    const std::size_t rowBytes = static_cast<std::size_t>(kArenaWidth) * 3;
    std::vector<std::uint8_t> expected(rowBytes);
    for (std::int32_t y = 0; y < kArenaHeight; ++y)
    {
        if (y % map.binPixels == 0)
            for (std::int32_t x = 0; x < kArenaWidth; ++x)
            {
                const Rgb c = OccupancyColour(map.At(x / map.binPixels, y / map.binPixels), top);
                const std::size_t at = static_cast<std::size_t>(x) * 3;
                expected[at] = c.r;
                expected[at + 1] = c.g;
                expected[at + 2] = c.b;
            }
        FuzzCheck(std::memcmp(surface.Data() + static_cast<std::size_t>(y) * rowBytes, expected.data(),
                              rowBytes) == 0,
                  "the window's view paints each pixel in its bin's colour");
    }
}
} // namespace

std::vector<std::vector<std::uint8_t>> FuzzSeedInputs()
{
    std::vector<std::vector<std::uint8_t>> seeds;
    // A picture of a generated record's bytes, 7 x 5.
    const std::vector<TrackRecord> records = GeneratedRecords(1, 11);
    CFuzzInputBuilder png;
    png.U8(kPngMode).U8(7).U8(5).Bytes(&records[0], 7 * 5 * 3);
    seeds.push_back(png.Data());
    // Heatmaps of generated positions: bins of 10, 7 and 3 pixels, with and without smoothing,
    // a fixed top, regions and names.
    const std::vector<TrackRecord> track = GeneratedRecords(kMaxPlaces, 2026);
    for (const std::int32_t bin : {10, 7, 3})
    {
        CFuzzInputBuilder heatmap;
        heatmap.U8(0).Int(bin).U8(kMaxPlaces);
        for (const TrackRecord& record : track)
            heatmap.Int(record.x).Int(record.y).U8(static_cast<std::uint8_t>(record.timestamp));
        heatmap.U8(bin == 3 ? 0 : 24).U8(1).U8(bin == 7 ? 1 : 0);
        if (bin == 7)
            heatmap.Int(30); // a top of 1.875 s
        heatmap.U8(8).Bytes("demo.qtf", 8);
        heatmap.U8(2).Int(50).Int(50).Int(175).Int(175).U8(8).Bytes("open arm", 8);
        heatmap.Int(-20).Int(300).Int(100).Int(700).U8(4).Bytes("Box1", 4);
        seeds.push_back(heatmap.Data());
    }
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const CFuzzScratchDir scratch;
    CFuzzInput input(data, size);
    if ((input.U8() & kPngMode) != 0)
        RunPng(input, scratch);
    else
        RunHeatmap(input);
    return 0;
}
