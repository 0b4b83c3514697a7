// What one picture costs whatever the track's length, the part that a batch of many short tracks
// pays once per track: the occupancy heatmap of a 600-record track (1482 x 1132 at scale 2) and its
// entire-track plot (640 x 480, and magnified 2x for print), each drawn and written as PNG. Times
// are CPU time per picture ("cpu_ms", the best of the iterations).
//
// The PNG writer is measured against a reference encoder in the same run: libpng with every row
// filtered by the row above and zlib at level 3 (the writer the pictures had before). "x_reference"
// is the writer's CPU time over the reference's for the same picture; both files decode to the same
// pixels (checked once before timing).
#include "analysis/Occupancy.h"
#include "base/OutputFile.h"
#include "plot/HeatmapPicture.h"
#include "plot/PngFile.h"
#include "plot/RgbRaster.h"
#include "plot/TrackPlot.h"
#include "trackfile/TrackGenerator.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <png.h>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kTrackRecords = 600;
constexpr std::int32_t kPlotWidth = 640;
constexpr std::int32_t kPlotHeight = 480;
constexpr int kReferenceRounds = 7;

double CpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

class CBenchFolder
{
public:
    CBenchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trackplay-pictures-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
        {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
    }
    ~CBenchFolder() { std::filesystem::remove_all(m_path); }
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;
    [[nodiscard]] std::string File(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

const CBenchFolder& Folder()
{
    static const CBenchFolder folder;
    return folder;
}

// The records of a short generated track, and the regions of a typical layout.
const std::vector<TrackRecord>& ShortTrack()
{
    static const std::vector<TrackRecord> records = []
    {
        std::vector<TrackRecord> track(kTrackRecords);
        CTrackGenerator generator(2026);
        for (TrackRecord& record : track)
            generator.NextRecord(record);
        return track;
    }();
    return records;
}

const Rect kRegions[3] = {{50, 50, 175, 175}, {300, 100, 500, 300}, {100, 320, 600, 460}};

CRgbRaster DrawShortTrackHeatmap()
{
    COccupancyGrid grid;
    for (const TrackRecord& record : ShortTrack())
        grid.Add(record.x, record.y);
    HeatmapPictureOptions options;
    options.fileName = "short.qtf";
    options.secondsBinned = grid.SecondsBinned();
    options.recordsOffPlot = grid.RecordsOffPlot();
    options.regions = {{RegionShape::Rectangle(kRegions[0]), "open arm"},
                       {RegionShape::Rectangle(kRegions[1]), "closed arm"}};
    return DrawHeatmapPicture(grid.Map(0.0), options);
}

const CRgbRaster& HeatmapPicture()
{
    static const CRgbRaster picture = DrawShortTrackHeatmap();
    return picture;
}

void DrawShortTrackPlot(CDrawingSurface& surface)
{
    CTrackPlot plot;
    plot.Attach(&surface, kPlotWidth, kPlotHeight, nullptr);
    plot.RedrawRegions(kRegions, 3, 1);
    for (const TrackRecord& record : ShortTrack())
        plot.DrawPositionMarker(record);
}

const CDrawingSurface& PlotPicture()
{
    static const CDrawingSurface surface = []
    {
        CDrawingSurface drawn(kPlotWidth, kPlotHeight);
        DrawShortTrackPlot(drawn);
        return drawn;
    }();
    return surface;
}

// The reference encoder: libpng, every row filtered by the row above, zlib at level 3.
struct ReferenceSink
{
    COutputFile* file = nullptr;
    bool failed = false;
};

void OnReferenceWrite(png_structp png, png_bytep data, png_size_t length)
{
    auto* sink = static_cast<ReferenceSink*>(png_get_io_ptr(png));
    if (!sink->file->Write(data, length))
    {
        sink->failed = true;
        png_error(png, "write failed");
    }
}

void OnReferenceFlush(png_structp /*png*/) {}

bool EncodeReferenceRows(png_structp png, png_infop info, const RgbImageView& image)
{
    if (setjmp(png_jmpbuf(png)) != 0)
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
    png_set_compression_level(png, 3);
    png_write_info(png, info);
    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    for (std::int32_t y = 0; y < image.height; ++y)
        png_write_row(png, const_cast<png_bytep>(image.pixels + static_cast<std::size_t>(y) * stride));
    png_write_end(png, info);
    return true;
}

bool WriteReferencePng(const std::string& path, const RgbImageView& image)
{
    COutputFile file;
    if (!file.Create(path))
        return false;
    ReferenceSink sink;
    sink.file = &file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info != nullptr)
    {
        png_set_write_fn(png, &sink, OnReferenceWrite, OnReferenceFlush);
        written = EncodeReferenceRows(png, info, image);
    }
    png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
    return written && file.Commit();
}

// The pixels of a PNG file as RGB rows, read with libpng.
std::vector<std::uint8_t> DecodePng(const std::string& path)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint8_t> rgb;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
        return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0)
        rgb.clear();
    return rgb;
}

bool SamePixels(const std::vector<std::uint8_t>& decoded, const RgbImageView& image)
{
    const std::size_t bytes =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) * 3;
    return decoded.size() == bytes && std::memcmp(decoded.data(), image.pixels, bytes) == 0;
}

// The picture written as PNG to path and put in place, as the picture outputs write it.
bool WritePicture(const std::string& path, const RgbImageView& image)
{
    COutputFile file;
    std::string reason;
    return file.Create(path) && WritePng(file, image, reason) && file.Commit();
}

// Best CPU seconds of the reference encoder for image, measured once per image in this run.
double ReferenceSeconds(const RgbImageView& image, const std::string& path)
{
    double best = 1e9;
    for (int round = 0; round < kReferenceRounds; ++round)
    {
        const double start = CpuSeconds();
        if (!WriteReferencePng(path, image))
            return 0.0;
        best = std::min(best, CpuSeconds() - start);
    }
    return best;
}

// Times the writer on image against the reference; the counters say both and the ratio.
void MeasurePng(benchmark::State& state, const RgbImageView& image, const std::string& name)
{
    const std::string ours = Folder().File(name + ".png");
    const std::string theirs = Folder().File(name + "-reference.png");
    if (!WritePicture(ours, image) || !WriteReferencePng(theirs, image) ||
        !SamePixels(DecodePng(ours), image) || !SamePixels(DecodePng(theirs), image))
    {
        state.SkipWithError("a PNG file does not decode to the picture's pixels");
        return;
    }
    const double reference = ReferenceSeconds(image, theirs);
    double best = 1e9;
    for (auto _ : state)
    {
        const double start = CpuSeconds();
        if (!WritePicture(ours, image))
            state.SkipWithError("the picture cannot be written");
        best = std::min(best, CpuSeconds() - start);
    }
    state.counters["cpu_ms"] = best * 1e3;
    state.counters["reference_ms"] = reference * 1e3;
    state.counters["x_reference"] = best / reference;
    state.counters["kb"] = static_cast<double>(std::filesystem::file_size(ours)) / 1024.0;
    state.counters["reference_kb"] = static_cast<double>(std::filesystem::file_size(theirs)) / 1024.0;
}

void BM_HeatmapPng(benchmark::State& state)
{
    MeasurePng(state, HeatmapPicture().View(), "heatmap");
}

void BM_PlotPng(benchmark::State& state)
{
    MeasurePng(state, ViewOf(PlotPicture()), "plot");
}

// The heatmap picture of the short track: grid, map, drawing (no file).
void BM_HeatmapDrawing(benchmark::State& state)
{
    double best = 1e9;
    for (auto _ : state)
    {
        const double start = CpuSeconds();
        const CRgbRaster picture = DrawShortTrackHeatmap();
        benchmark::DoNotOptimize(picture.Data());
        best = std::min(best, CpuSeconds() - start);
    }
    state.counters["cpu_ms"] = best * 1e3;
}

// The entire-track plot of the short track at a scale: surface, regions, markers, magnification
// (no file).
void BM_PlotDrawing(benchmark::State& state)
{
    const auto scale = static_cast<std::int32_t>(state.range(0));
    double best = 1e9;
    for (auto _ : state)
    {
        const double start = CpuSeconds();
        CDrawingSurface surface(kPlotWidth, kPlotHeight);
        DrawShortTrackPlot(surface);
        if (scale > 1)
        {
            const CRgbRaster enlarged = Magnified(ViewOf(surface), scale);
            benchmark::DoNotOptimize(enlarged.Data());
        }
        benchmark::DoNotOptimize(surface.Data());
        best = std::min(best, CpuSeconds() - start);
    }
    state.counters["cpu_ms"] = best * 1e3;
}

// Both pictures of one short track, drawn and written: what each track of a batch pays.
void BM_PicturesOfOneTrack(benchmark::State& state)
{
    const std::string heatmapPath = Folder().File("track-heatmap.png");
    const std::string plotPath = Folder().File("track-plot.png");
    double best = 1e9;
    for (auto _ : state)
    {
        const double start = CpuSeconds();
        const CRgbRaster heatmap = DrawShortTrackHeatmap();
        CDrawingSurface surface(kPlotWidth, kPlotHeight);
        DrawShortTrackPlot(surface);
        if (!WritePicture(heatmapPath, heatmap.View()) || !WritePicture(plotPath, ViewOf(surface)))
            state.SkipWithError("a picture cannot be written");
        best = std::min(best, CpuSeconds() - start);
    }
    state.counters["cpu_ms"] = best * 1e3;
}
} // namespace

BENCHMARK(BM_HeatmapPng)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PlotPng)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_HeatmapDrawing)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PlotDrawing)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_PicturesOfOneTrack)->Unit(benchmark::kMillisecond)->Iterations(20);

BENCHMARK_MAIN();
