// The occupancy heatmap of a generated million-record track, whole (one pass of the block reader
// into the grid, the picture at scale 2 and its PNG file) and with smoothing, against one read of
// the same file by the block reader with a consumer that touches every record: the floor any pass
// stands on. The "reads" counter is the heatmap's time in reads of the file, both measured in this
// run; "grid_ms", "picture_ms" and "png_ms" split the heatmap's time into its parts.
//
// The track (about 1.8 GB) and the picture go into a temporary folder removed at exit.
#include "analysis/Occupancy.h"
#include "outputs/PictureFile.h"
#include "plot/HeatmapPicture.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackGenerator.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace
{
constexpr std::uint32_t kRecords = 1'000'000;
constexpr int kReferenceRounds = 3;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class CBenchFolder
{
public:
    CBenchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trackplay-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
        {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
        TrackGeneratorOptions options;
        options.records = kRecords;
        options.seed = 2026;
        if (WriteGeneratedTrack(TrackPath(), options) != 0)
        {
            std::fprintf(stderr, "cannot write %s\n", TrackPath().c_str());
            std::exit(1);
        }
    }
    ~CBenchFolder() { std::filesystem::remove_all(m_path); }
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    [[nodiscard]] std::string TrackPath() const { return m_path + "/bench.qtf"; }
    [[nodiscard]] std::string PicturePath() const { return m_path + "/heatmap.png"; }

private:
    std::string m_path;
};

const CBenchFolder& Folder()
{
    static const CBenchFolder folder;
    return folder;
}

// Touches every record, so that the read cannot be skipped.
class CTouchingConsumer final : public IRecordConsumer
{
public:
    int Begin(const TrackSourceInfo& /*source*/) override { return 0; }
    int Consume(std::span<const TrackRecord> records, std::uint64_t /*firstIndex*/) override
    {
        for (const TrackRecord& record : records)
            m_nSum += record.x + record.y;
        return 0;
    }
    int End() override { return 0; }
    [[nodiscard]] std::int64_t Sum() const { return m_nSum; }

private:
    std::int64_t m_nSum = 0;
};

bool RunPass(IRecordConsumer& consumer)
{
    CBlockReader reader;
    if (reader.Open(Folder().TrackPath()) != 0)
        return false;
    IRecordConsumer* consumers[] = {&consumer};
    return reader.Run(consumers) == 0;
}

// Seconds of one read of the file, the best of a few, measured in this run.
double ReadSeconds()
{
    static const double seconds = []
    {
        double best = 1e9;
        for (int round = 0; round < kReferenceRounds; ++round)
        {
            const Clock::time_point start = Clock::now();
            CTouchingConsumer consumer;
            RunPass(consumer);
            benchmark::DoNotOptimize(consumer.Sum());
            best = std::min(best, SecondsSince(start));
        }
        return best;
    }();
    return seconds;
}

void BM_ReadOnce(benchmark::State& state)
{
    ReadSeconds(); // the first reads also bring the file into the page cache
    for (auto _ : state)
    {
        CTouchingConsumer consumer;
        if (!RunPass(consumer))
            state.SkipWithError("the track cannot be read");
        benchmark::DoNotOptimize(consumer.Sum());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
    state.counters["read_ms"] = ReadSeconds() * 1e3;
}

void BM_Heatmap(benchmark::State& state)
{
    ReadSeconds();
    const double sigma = static_cast<double>(state.range(0));
    double grid = 0.0;
    double picture = 0.0;
    double png = 0.0;
    for (auto _ : state)
    {
        Clock::time_point start = Clock::now();
        COccupancyGrid occupancy;
        if (!RunPass(occupancy))
            state.SkipWithError("the track cannot be read");
        const OccupancyMap map = occupancy.Map(sigma);
        grid += SecondsSince(start);

        start = Clock::now();
        HeatmapPictureOptions options;
        options.fileName = "bench.qtf";
        options.secondsBinned = occupancy.SecondsBinned();
        options.recordsOffPlot = occupancy.RecordsOffPlot();
        options.sigmaBins = sigma;
        options.regions = {{RegionShape::Rectangle(Rect{50, 50, 175, 175}), "open arm"},
                           {RegionShape::Rectangle(Rect{300, 300, 450, 420}), "closed arm"}};
        const CRgbRaster raster = DrawHeatmapPicture(map, options);
        picture += SecondsSince(start);

        start = Clock::now();
        CPictureFile file(Folder().PicturePath(), 1, PictureFormat::Png);
        if (!file.Prepare().IsOk() || !file.Write(raster.View()).IsOk())
            state.SkipWithError("the picture cannot be written");
        png += SecondsSince(start);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
    state.counters["reads"] = (grid + picture + png) / iterations / ReadSeconds();
    state.counters["grid_ms"] = grid / iterations * 1e3;
    state.counters["picture_ms"] = picture / iterations * 1e3;
    state.counters["png_ms"] = png / iterations * 1e3;
}

BENCHMARK(BM_ReadOnce)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Heatmap)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

BENCHMARK_MAIN();
