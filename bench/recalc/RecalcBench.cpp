// Center search, direction finder and the two together (a record's recalculation) against their
// plain references on lists of 50 and 10 targets, and the conversion run against a plain chunked
// copy of the same file. Each runs several times; the ratios at the end of the run are of the
// shortest times, so that a busy moment of a shared machine weighs on neither side.
#include "base/File.h"
#include "recalc/ReferenceCenterFinder.h"
#include "recalc/ReferenceDirectionFinder.h"
#include "recalc/TrackConverter.h"
#include "support/RecordingMessageSink.h"
#include "trackfile/TrackGenerator.h"

#include <algorithm>
#include <array>
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

// The same sets as target lists: the head's red, green and two blue lights first, the other
// targets of any colours.
const std::vector<std::array<TrackWord, kMaxTargets>>& TargetLists(int n)
{
    static std::map<int, std::vector<std::array<TrackWord, kMaxTargets>>> cache;
    auto& lists = cache[n];
    if (lists.empty())
    {
        CTrackGenerator rng(n + 1000);
        const TrackWord head[] = {kWordBitRR, kWordBitRG, kWordBitRB, kWordBitPB};
        for (const std::vector<Point>& set : TargetSets(n))
        {
            std::array<TrackWord, kMaxTargets> words{};
            for (std::size_t t = 0; t < set.size(); ++t)
            {
                const auto colours =
                    t < std::size(head) ? head[t] : static_cast<TrackWord>(rng.NextRandom()) & 0x7000F000u;
                words[t] = MakeTrackWord(static_cast<std::uint32_t>(set[t].x),
                                         static_cast<std::uint32_t>(set[t].y), colours | kWordBitLum);
            }
            // The comparison is only worth making when both give the same headings.
            if (static_cast<std::int32_t>(reference::FindDirection(words, set[0].x, set[0].y)) !=
                CDirectionFinder::FindWholeDirection(std::span<const TrackWord>(words.data(), set.size()),
                                                     set[0].x, set[0].y))
            {
                std::fprintf(stderr, "production and reference headings differ\n");
                std::abort();
            }
            lists.push_back(words);
        }
    }
    return lists;
}

// A record's recalculation as the plain references give it: the held center, then the heading
// from the position as it stands.
RecalculatedRecord ReferenceRecalculation(const TrackRecord& record, Point& held)
{
    const std::array<TrackWord, kMaxTargets> words = CopyTargets(record);
    Point points[kMaxTargets];
    int n = 0;
    while (n < static_cast<int>(kMaxTargets) && words[static_cast<std::size_t>(n)] != 0)
    {
        const TrackWord w = words[static_cast<std::size_t>(n)];
        points[n++] =
            Point{static_cast<std::int32_t>(TrackWordX(w)), static_cast<std::int32_t>(TrackWordY(w))};
    }
    RecalculatedRecord result;
    result.x = record.x;
    result.y = record.y;
    if (n < static_cast<int>(kMaxTargets) && reference::FindCenter(kMinDist, kMaxDist, points, n, held) != -1)
    {
        result.x = held.x;
        result.y = held.y;
    }
    result.angle = static_cast<std::int32_t>(reference::FindDirection(words, result.x, result.y));
    return result;
}

const std::vector<TrackRecord>& Records(int n)
{
    static std::map<int, std::vector<TrackRecord>> cache;
    auto& records = cache[n];
    if (records.empty())
    {
        for (const auto& words : TargetLists(n))
        {
            TrackRecord record{};
            for (std::size_t t = 0; t < kMaxTargets; ++t)
                record.targets[t] = words[t];
            records.push_back(record);
        }
        CTrackConverter converter;
        converter.m_centerFinder.SetDistanceLimits(kMinDist, kMaxDist);
        Point a{0, 0};
        Point b{0, 0};
        for (const TrackRecord& record : records)
        {
            const RecalculatedRecord production = converter.RecalculateRecord(record, a);
            const RecalculatedRecord expected = ReferenceRecalculation(record, b);
            if (production.x != expected.x || production.y != expected.y ||
                production.angle != expected.angle)
            {
                std::fprintf(stderr, "production and reference recalculations differ\n");
                std::abort();
            }
        }
    }
    return records;
}

void BM_DirectionProduction(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto& lists = TargetLists(n);
    std::size_t s = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(CDirectionFinder::FindWholeDirection(
            std::span<const TrackWord>(lists[s].data(), static_cast<std::size_t>(n)), 300, 200));
        s = (s + 1) % lists.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_DirectionReference(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    const auto& lists = TargetLists(n);
    std::size_t s = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(static_cast<std::int32_t>(reference::FindDirection(lists[s], 300, 200)));
        s = (s + 1) % lists.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RecordProduction(benchmark::State& state)
{
    const auto& records = Records(static_cast<int>(state.range(0)));
    CTrackConverter converter;
    converter.m_centerFinder.SetDistanceLimits(kMinDist, kMaxDist);
    Point held{0, 0};
    std::size_t r = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(converter.RecalculateRecord(records[r], held));
        r = (r + 1) % records.size();
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_RecordReference(benchmark::State& state)
{
    const auto& records = Records(static_cast<int>(state.range(0)));
    Point held{0, 0};
    std::size_t r = 0;
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(ReferenceRecalculation(records[r], held));
        r = (r + 1) % records.size();
    }
    state.SetItemsProcessed(state.iterations());
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

constexpr int kRepetitions = 5;
BENCHMARK(BM_CenterSearchProduction)->Arg(50)->Arg(10)->Repetitions(kRepetitions);
BENCHMARK(BM_CenterSearchReference)->Arg(50)->Arg(10)->Repetitions(kRepetitions);
BENCHMARK(BM_DirectionProduction)->Arg(50)->Arg(10)->Repetitions(kRepetitions);
BENCHMARK(BM_DirectionReference)->Arg(50)->Arg(10)->Repetitions(kRepetitions);
// A record holds 49 targets at most before the zero word that ends its list.
BENCHMARK(BM_RecordProduction)->Arg(49)->Arg(10)->Repetitions(kRepetitions);
BENCHMARK(BM_RecordReference)->Arg(49)->Arg(10)->Repetitions(kRepetitions);
BENCHMARK(BM_ConvertFile)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions);

// Collects the shortest time per iteration (wall and processor) of every benchmark's repetitions
// to print the ratios at the end. On a shared machine the processor time is the steadier of the
// two: it leaves out the time the run waited for a core.
class CRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs)
        {
            if (run.run_type != Run::RT_Iteration)
                continue;
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            // The name without its repetitions: every repetition counts for the one benchmark.
            const std::string name =
                run.run_name.function_name + (run.run_name.args.empty() ? "" : "/" + run.run_name.args);
            Keep(m_times, name, run.GetAdjustedRealTime() / unit);
            Keep(m_cpuTimes, name, run.GetAdjustedCPUTime() / unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatios() const
    {
        for (const char* what : {"CenterSearch", "Direction", "Record"})
        {
            for (const char* n : {"50", "49", "10"})
            {
                const std::string production = std::string("BM_") + what + "Production/" + n;
                const std::string reference = std::string("BM_") + what + "Reference/" + n;
                if (Time(production) > 0 && Time(reference) > 0)
                    std::printf(
                        "%s, %s targets: the plain reference takes %.1fx the time (%.1fx the processor "
                        "time)\n",
                        what, n, Time(reference) / Time(production),
                        Time(reference, m_cpuTimes) / Time(production, m_cpuTimes));
            }
        }
        const double convert = Time("BM_ConvertFile");
        const double copy = Time("BM_PlainCopy");
        if (convert > 0 && copy > 0)
            std::printf(
                "conversion: %.0f records/s; plain copy: %.0f records/s (conversion takes %.2fx the copy)\n",
                kTrackRecords / convert, kTrackRecords / copy, convert / copy);
        double load[3] = {};
        if (::getloadavg(load, 3) == 3)
            std::printf("load average: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    }

private:
    static void Keep(std::map<std::string, double>& times, const std::string& name, double seconds)
    {
        const auto it = times.find(name);
        times[name] = it == times.end() ? seconds : std::min(it->second, seconds);
    }
    double Time(const std::string& name) const { return Time(name, m_times); }
    static double Time(const std::string& name, const std::map<std::string, double>& times)
    {
        const auto it = times.find(name);
        return it == times.end() ? 0.0 : it->second;
    }
    std::map<std::string, double> m_times;    // shortest wall seconds per iteration
    std::map<std::string, double> m_cpuTimes; // shortest processor seconds per iteration
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
