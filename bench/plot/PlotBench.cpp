// Plot drawing cost against the cost of filling the 640 x 480 surface once (the "fills" counter):
// the entire-track plot of a generated 600,000-record track at every 60th and at every record, and
// one navigation refresh (clear, regions, record). The "allocs" counter counts heap allocations
// per iteration: drawing markers and records allocates nothing.
#include "plot/TrackPlot.h"
#include "support/RecordingMessageSink.h"
#include "trackfile/TrackFile.h"
#include "trackfile/TrackGenerator.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>

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
} // namespace

BENCHMARK(BM_FillSurface)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EntireTrack)->Arg(60)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NavigationRefresh)->Unit(benchmark::kMicrosecond)->UseRealTime();

BENCHMARK_MAIN();
