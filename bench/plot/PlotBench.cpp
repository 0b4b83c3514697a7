// Plot drawing cost against the cost of filling the 640 x 480 surface once (the "fills" counter):
// the entire-track plot of a generated 600,000-record track at every 60th and at every record, and
// one navigation refresh (clear, regions, record). The "allocs" counter counts heap allocations
// per iteration: drawing markers and records allocates nothing.
//
// The markers alone, from the track's positions in memory: drawn one by one against the marker
// layer, which also goes with the block reader's pass over the file. "operations" counts the
// surface's drawing operations per plot; both ways give the same pixels (checked before timing).
#include "plot/MarkerLayer.h"
#include "plot/TrackPlot.h"
#include "support/RecordingMessageSink.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackGenerator.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

namespace
{
std::atomic<std::uint64_t> g_allocations{0};
} // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace
{
constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;
constexpr std::uint32_t kTrackRecords = 600000;

// The generated track, written once per run into a temporary folder and removed at exit.
class CBenchTrack
{
public:
    CBenchTrack()
    {
        m_dir = std::filesystem::temp_directory_path() / ("plot_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        m_path = (m_dir / "bench.qtf").string();
        TrackGeneratorOptions options;
        options.records = kTrackRecords;
        options.seed = 42;
        if (WriteGeneratedTrack(m_path, options) != 0 || m_reader.Open(m_path) != 0)
            std::fprintf(stderr, "plot_bench: cannot write %s\n", m_path.c_str());
    }
    ~CBenchTrack()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    CTrackFile& Reader() { return m_reader; }
    [[nodiscard]] const std::string& Path() const { return m_path; }

private:
    std::filesystem::path m_dir;
    std::string m_path;
    CTrackFile m_reader;
};

CBenchTrack& Track()
{
    static CBenchTrack track;
    return track;
}

// Seconds of one fill of the whole surface, the best of many, measured in this run.
double FillSeconds()
{
    static const double seconds = []
    {
        CDrawingSurface surface(kWidth, kHeight);
        double best = 1e9;
        for (int round = 0; round < 200; ++round)
        {
            const auto start = std::chrono::steady_clock::now();
            surface.FillOpaque(Rect{0, 0, kWidth, kHeight}, Rgb{0, 0, 0});
            benchmark::DoNotOptimize(surface.Data());
            benchmark::ClobberMemory();
            best = std::min(best,
                            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    }();
    return seconds;
}

void ReportAgainstFill(benchmark::State& state, double seconds, std::uint64_t allocations)
{
    const double iterations = static_cast<double>(state.iterations());
    state.counters["fills"] = seconds / iterations / FillSeconds();
    state.counters["fill_us"] = FillSeconds() * 1e6;
    state.counters["allocs"] = static_cast<double>(allocations) / iterations;
}

const Rect kRegions[3] = {{50, 50, 175, 175}, {300, 100, 500, 300}, {100, 320, 600, 460}};

void BM_FillSurface(benchmark::State& state)
{
    CDrawingSurface surface(kWidth, kHeight);
    for (auto _ : state)
    {
        surface.FillOpaque(Rect{0, 0, kWidth, kHeight}, Rgb{0, 0, 0});
        benchmark::DoNotOptimize(surface.Data());
    }
}

void BM_EntireTrack(benchmark::State& state)
{
    const auto everyNth = static_cast<std::uint32_t>(state.range(0));
    CTrackFile& reader = Track().Reader();
    CDrawingSurface surface(kWidth, kHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kWidth, kHeight, &reader);
    CRecordingMessageSink sink; // answers the long-plot question Yes
    CScopedMessageSink scoped(sink);
    double seconds = 0;
    std::uint64_t allocations = 0;
    for (auto _ : state)
    {
        sink.questions.clear();
        const std::uint64_t before = g_allocations.load();
        const auto start = std::chrono::steady_clock::now();
        const int result = plot.PlotEntireTrack(kRegions, 3, 1, everyNth);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        allocations += g_allocations.load() - before;
        if (result != 0)
            state.SkipWithError("plot failed");
        benchmark::DoNotOptimize(surface.Data());
    }
    state.counters["markers"] = static_cast<double>((reader.GetRecordCount() + everyNth - 1) / everyNth);
    ReportAgainstFill(state, seconds, allocations);
}

void BM_NavigationRefresh(benchmark::State& state)
{
    CTrackFile& reader = Track().Reader();
    CDrawingSurface surface(kWidth, kHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kWidth, kHeight, &reader);
    plot.RedrawRegions(kRegions, 3, 1);
    TrackRecord record;
    std::uint32_t index = 0;
    double seconds = 0;
    std::uint64_t allocations = 0;
    for (auto _ : state)
    {
        index = (index + 1) % reader.GetRecordCount();
        const std::uint64_t before = g_allocations.load();
        const auto start = std::chrono::steady_clock::now();
        plot.ShowRecord(record, index, kRegions, 3, 1, ColorFilter{},
                        (index & 1) != 0 ? ViewMode::Points : ViewMode::Targets);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        allocations += g_allocations.load() - before;
        benchmark::DoNotOptimize(surface.Data());
    }
    ReportAgainstFill(state, seconds, allocations);
}
// The track's positions, read once.
struct Pose
{
    std::int32_t x;
    std::int32_t y;
    std::int32_t angle;
};

class CPoseCollector final : public IRecordConsumer
{
public:
    int Begin(const TrackSourceInfo& /*source*/) override { return 0; }
    int Consume(std::span<const TrackRecord> records, std::uint64_t /*firstIndex*/) override
    {
        for (const TrackRecord& record : records)
            poses.push_back(Pose{record.x, record.y, record.angle});
        return 0;
    }
    int End() override { return 0; }
    std::vector<Pose> poses;
};

const std::vector<Pose>& TrackPoses()
{
    static const std::vector<Pose> poses = []
    {
        CBlockReader reader;
        CPoseCollector collector;
        IRecordConsumer* consumers[] = {&collector};
        if (reader.Open(Track().Path()) != 0 || reader.Run(consumers) != 0)
            std::fprintf(stderr, "plot_bench: cannot read the track\n");
        return collector.poses;
    }();
    return poses;
}

void DrawMarkersOneByOne(CTrackPlot& plot, const std::vector<Pose>& poses, std::size_t every)
{
    TrackRecord record{};
    for (std::size_t i = 0; i < poses.size(); i += every)
    {
        record.x = poses[i].x;
        record.y = poses[i].y;
        record.angle = poses[i].angle;
        plot.DrawPositionMarker(record);
    }
}

void DrawMarkersLayered(CTrackPlot& plot, CMarkerLayer& layer, const std::vector<Pose>& poses,
                        std::size_t every)
{
    for (std::size_t i = 0; i < poses.size(); i += every)
        layer.Add(poses[i].x, poses[i].y, poses[i].angle);
    plot.DrawMarkerLayer(layer);
}

enum class MarkerWay
{
    OneByOne,
    Layer,
};

void BM_Markers(benchmark::State& state)
{
    const auto way = static_cast<MarkerWay>(state.range(0));
    const auto every = static_cast<std::size_t>(state.range(1));
    const std::vector<Pose>& poses = TrackPoses();
    CDrawingSurface surface(kWidth, kHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kWidth, kHeight, nullptr);
    CMarkerLayer layer(kWidth, kHeight);
    {
        CDrawingSurface reference(kWidth, kHeight);
        CTrackPlot referencePlot;
        referencePlot.Attach(&reference, kWidth, kHeight, nullptr);
        DrawMarkersOneByOne(referencePlot, poses, every);
        DrawMarkersLayered(plot, layer, poses, every);
        if (std::memcmp(reference.Data(), surface.Data(), static_cast<std::size_t>(kWidth * kHeight * 3)) !=
            0)
            state.SkipWithError("the layer's pixels differ from the markers drawn one by one");
    }
    double seconds = 0;
    std::uint64_t allocations = 0;
    std::uint64_t operations = 0;
    for (auto _ : state)
    {
        plot.Clear();
        const std::uint64_t before = g_allocations.load();
        const std::uint64_t changes = surface.ChangeCount();
        const auto start = std::chrono::steady_clock::now();
        if (way == MarkerWay::OneByOne)
            DrawMarkersOneByOne(plot, poses, every);
        else
            DrawMarkersLayered(plot, layer, poses, every);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        operations += surface.ChangeCount() - changes;
        allocations += g_allocations.load() - before;
        benchmark::DoNotOptimize(surface.Data());
    }
    state.counters["markers"] = static_cast<double>((poses.size() + every - 1) / every);
    state.counters["operations"] = static_cast<double>(operations) / static_cast<double>(state.iterations());
    state.counters["ms"] = seconds / static_cast<double>(state.iterations()) * 1e3;
    ReportAgainstFill(state, seconds, allocations);
}

// The entire-track plot as a pass of the block reader: clear, regions, the markers of every Nth
// record of each block into the layer, one paint at the end.
class CPlotConsumer final : public IRecordConsumer
{
public:
    CPlotConsumer(CTrackPlot& plot, CMarkerLayer& layer, std::uint32_t every)
        : m_plot(plot), m_layer(layer), m_nEvery(every)
    {
    }
    int Begin(const TrackSourceInfo& /*source*/) override
    {
        m_plot.Clear();
        return m_plot.RedrawRegions(kRegions, 3, 1);
    }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        m_layer.AddEveryNth(records, firstIndex, m_nEvery);
        return 0;
    }
    int End() override { return m_plot.DrawMarkerLayer(m_layer); }

private:
    CTrackPlot& m_plot;
    CMarkerLayer& m_layer;
    std::uint32_t m_nEvery;
};

void BM_EntireTrackThroughBlocks(benchmark::State& state)
{
    const auto every = static_cast<std::uint32_t>(state.range(0));
    CDrawingSurface surface(kWidth, kHeight);
    CTrackPlot plot;
    plot.Attach(&surface, kWidth, kHeight, nullptr);
    CMarkerLayer layer(kWidth, kHeight);
    double seconds = 0;
    std::uint64_t allocations = 0;
    for (auto _ : state)
    {
        const std::uint64_t before = g_allocations.load();
        const auto start = std::chrono::steady_clock::now();
        CBlockReader reader;
        CPlotConsumer consumer(plot, layer, every);
        IRecordConsumer* consumers[] = {&consumer};
        if (reader.Open(Track().Path()) != 0 || reader.Run(consumers) != 0)
            state.SkipWithError("the pass failed");
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        allocations += g_allocations.load() - before;
        benchmark::DoNotOptimize(surface.Data());
    }
    state.counters["ms"] = seconds / static_cast<double>(state.iterations()) * 1e3;
    ReportAgainstFill(state, seconds, allocations);
}
} // namespace

BENCHMARK(BM_FillSurface)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EntireTrack)->Arg(60)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NavigationRefresh)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_Markers)
    ->Args({static_cast<int>(MarkerWay::OneByOne), 1})
    ->Args({static_cast<int>(MarkerWay::Layer), 1})
    ->Args({static_cast<int>(MarkerWay::OneByOne), 60})
    ->Args({static_cast<int>(MarkerWay::Layer), 60})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_EntireTrackThroughBlocks)->Arg(60)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
