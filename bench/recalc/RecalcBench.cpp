// Center search against its plain reference on sets of 50 and 10 targets, and the conversion run
// against a plain chunked copy of the same file. Prints the ratios at the end of the run.
#include "base/File.h"
#include "recalc/ReferenceCenterFinder.h"
#include "recalc/TrackConverter.h"
#include "support/RecordingMessageSink.h"
#include "trackfile/TrackGenerator.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
constexpr int kMinDist = 10;
constexpr int kMaxDist = 100;
constexpr std::uint32_t kTrackRecords = 20000;

// Sets of n targets: a head of four lights somewhere in the arena plus lights scattered around
// it, the way a busy tracker frame looks.
std::vector<std::vector<Point>> MakeTargetSets(int n)
{
    CTrackGenerator rng(n);
    std::vector<std::vector<Point>> sets(256);
    for (auto& set : sets)
    {
        const int cx = 100 + static_cast<int>(rng.NextRandom() % 440);
        const int cy = 100 + static_cast<int>(rng.NextRandom() % 280);
        for (int p = 0; p < n; ++p)
        {
            const int spread = p < 4 ? 20 : 120;
            set.push_back({cx + static_cast<int>(rng.NextRandom() % (2 * spread + 1)) - spread,
                           cy + static_cast<int>(rng.NextRandom() % (2 * spread + 1)) - spread});
        }
    }
    return sets;
}

const std::vector<std::vector<Point>>& TargetSets(int n)
{
    static std::map<int, std::vector<std::vector<Point>>> cache;
    auto& sets = cache[n];
    if (sets.empty())
    {
        sets = MakeTargetSets(n);
        // The comparison is only worth making when both give the same centers.
        CCenterFinder finder;
        finder.SetDistanceLimits(kMinDist, kMaxDist);
        for (const auto& set : sets)
        {
            Point a{-1, -1};
            Point b{-1, -1};
            finder.FindCenter(set.data(), n, a);
            reference::FindCenter(kMinDist, kMaxDist, set.data(), n, b);
            if (!(a == b))
            {
                std::fprintf(stderr, "production and reference centers differ\n");
                std::abort();
            }
        }
    }
    return sets;
}

void BM_CenterSearchProduction(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto& sets = TargetSets(n);
    CCenterFinder finder;
    finder.SetDistanceLimits(kMinDist, kMaxDist);
    std::size_t s = 0;
    for (auto _ : state)
    {
        Point center{0, 0};
        benchmark::DoNotOptimize(finder.FindCenter(sets[s].data(), n, center));
        benchmark::DoNotOptimize(center);
        s = (s + 1) % sets.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CenterSearchReference(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto& sets = TargetSets(n);
    std::size_t s = 0;
    for (auto _ : state)
    {
        Point center{0, 0};
        benchmark::DoNotOptimize(reference::FindCenter(kMinDist, kMaxDist, sets[s].data(), n, center));
        benchmark::DoNotOptimize(center);
        s = (s + 1) % sets.size();
    }
    state.SetItemsProcessed(state.iterations());
}

class CBenchTrack
{
public:
    CBenchTrack()
    {
        m_dir =
            std::filesystem::temp_directory_path() / ("trackplay-recalc-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        TrackGeneratorOptions options;
        options.records = kTrackRecords;
        options.seed = 42;
        WriteGeneratedTrack(Source(), options);
    }
    ~CBenchTrack()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::string Source() const { return (m_dir / "source.qtf").string(); }
    std::string Destination() const { return (m_dir / "destination.qtf").string(); }

private:
    std::filesystem::path m_dir;
};

const CBenchTrack& BenchTrack()
{
    static const CBenchTrack track;
    return track;
}

void BM_ConvertFile(benchmark::State& state)
{
    const CBenchTrack& track = BenchTrack();
    CRecordingMessageSink sink;
    CScopedMessageSink scoped(sink);
    CTrackConverter converter;
    for (auto _ : state)
    {
        if (converter.ConvertFile(track.Source(), track.Destination(), kMinDist, kMaxDist) != 0)
            state.SkipWithError("conversion failed");
    }
    state.SetItemsProcessed(state.iterations() * kTrackRecords);
}

// The same file streamed through the same chunk size with no work on the records.
void BM_PlainCopy(benchmark::State& state)
{
    const CBenchTrack& track = BenchTrack();
    std::vector<std::uint8_t> chunk(std::size_t{kConversionChunkRecords} * kTrackRecordSize);
    for (auto _ : state)
    {
        CFile in;
        CFile out;
        in.Open(track.Source(), FileMode::Read);
        out.Open(track.Destination(), FileMode::CreateWrite);
        for (std::int64_t got = in.Read(chunk.data(), chunk.size()); got > 0;
             got = in.Read(chunk.data(), chunk.size()))
            out.Write(chunk.data(), static_cast<std::size_t>(got));
    }
    state.SetItemsProcessed(state.iterations() * kTrackRecords);
}

BENCHMARK(BM_CenterSearchProduction)->Arg(50)->Arg(10);
BENCHMARK(BM_CenterSearchReference)->Arg(50)->Arg(10);
BENCHMARK(BM_ConvertFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);

// Collects the time per iteration of every run to print the ratios at the end.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
            m_times[run.benchmark_name()] =
                run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const
    {
        for (const char* n : {"50", "10"})
        {
            const double production = Time(std::string("BM_CenterSearchProduction/") + n);
            const double reference = Time(std::string("BM_CenterSearchReference/") + n);
            if (production > 0 && reference > 0)
                std::printf(
                    "center search, %s targets: production/reference time ratio %.4f (%.1fx faster)\n", n,
                    production / reference, reference / production);
        }
        const double convert = Time("BM_ConvertFile");
        const double copy = Time("BM_PlainCopy");
        if (convert > 0 && copy > 0)
            std::printf(
                "conversion: %.0f records/s; plain copy: %.0f records/s (conversion takes %.2fx the copy)\n",
                kTrackRecords / convert, kTrackRecords / copy, convert / copy);
    }

private:
    double Time(const std::string& name) const
    {
        const auto it = m_times.find(name);
        return it == m_times.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> m_times; // seconds per iteration
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
