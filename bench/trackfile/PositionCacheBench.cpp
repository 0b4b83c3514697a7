// The positions of a generated track of a million records served from its position file (the
// track's key, the lookup, the file read and checked whole), next to one plain read of the same
// track by the block reader with a consumer that only touches each record. Also timed: the first
// pass, which reads the track and stores its positions, and the positions served from memory.
// Every run sums the same fields, so the sums must agree; the ratios are printed at the end.
//
// The track (about 1.8 GB) and the cache go into a temporary folder removed at exit.
#include "trackfile/BlockReader.h"
#include "trackfile/PositionSource.h"
#include "trackfile/TrackGenerator.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace
{
constexpr std::uint32_t kRecords = 1'000'000;

class CBenchFolder
{
public:
    CBenchFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "trackplay-position-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
        {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
        m_cache.emplace(m_path + "/cache", std::nullopt, CacheFolderAccess::Private);
        TrackGeneratorOptions options;
        options.records = kRecords;
        options.seed = 11;
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
    [[nodiscard]] const CPositionCache& Cache() const { return *m_cache; }

private:
    std::string m_path;
    std::optional<CPositionCache> m_cache;
};

const CBenchFolder& Folder()
{
    static const CBenchFolder folder;
    return folder;
}

// The fields both sources share, summed so that neither read can be skipped and both can be compared.
std::uint64_t Mix(std::int64_t timestamp, std::int32_t x, std::int32_t y, std::int32_t angle)
{
    return static_cast<std::uint64_t>(timestamp) + static_cast<std::uint64_t>(x) * 3 +
           static_cast<std::uint64_t>(y) * 5 + static_cast<std::uint64_t>(angle) * 7;
}

class CTouchRecords final : public IRecordConsumer
{
public:
    int Begin(const TrackSourceInfo&) override { return 0; }
    int Consume(std::span<const TrackRecord> records, std::uint64_t) override
    {
        for (const TrackRecord& record : records)
            m_sum += Mix(record.timestamp, record.x, record.y, record.angle);
        return 0;
    }
    int End() override { return 0; }
    std::uint64_t m_sum = 0;
};

class CTouchPositions final : public IPositionConsumer
{
public:
    int Begin(const TrackSourceInfo&) override
    {
        m_sum = 0;
        return 0;
    }
    int Consume(std::span<const TrackPosition> positions, std::uint64_t) override
    {
        for (const TrackPosition& position : positions)
            m_sum += Mix(position.timestamp, position.x, position.y, position.angle);
        return 0;
    }
    int End() override { return 0; }
    std::uint64_t m_sum = 0;
};

std::map<std::string, std::uint64_t>& Sums()
{
    static std::map<std::string, std::uint64_t> sums;
    return sums;
}

void BM_ReadOnce(benchmark::State& state)
{
    for (auto _ : state)
    {
        CBlockReader reader;
        CTouchRecords touch;
        IRecordConsumer* consumers[] = {&touch};
        if (reader.Open(Folder().TrackPath()) != 0 || reader.Run(consumers) != 0)
            state.SkipWithError("read failed");
        Sums()["read"] = touch.m_sum;
    }
}

// The first pass of a command: the track read, its positions stored.
void BM_ReadAndStore(benchmark::State& state)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        Folder().Cache().Clear();
        state.ResumeTiming();
        CTouchPositions touch;
        IPositionConsumer* consumers[] = {&touch};
        PositionPassSummary summary;
        if (ReadTrackPositions(Folder().TrackPath(), &Folder().Cache(), consumers, {}, StoreReport::Tell,
                               &summary) != 0 ||
            summary.store != StoreOutcome::Stored)
            state.SkipWithError("store failed");
        Sums()["store"] = touch.m_sum;
    }
}

void BM_FromCache(benchmark::State& state)
{
    for (auto _ : state)
    {
        CTouchPositions touch;
        IPositionConsumer* consumers[] = {&touch};
        PositionPassSummary summary;
        if (ReadTrackPositions(Folder().TrackPath(), &Folder().Cache(), consumers, {}, StoreReport::Tell,
                               &summary) != 0 ||
            summary.from != PositionsFrom::Cache)
            state.SkipWithError("not served from the cache");
        Sums()["cache"] = touch.m_sum;
    }
}

void BM_FromMemory(benchmark::State& state)
{
    CPositionList list;
    IPositionConsumer* fill[] = {&list};
    if (ReadTrackPositions(Folder().TrackPath(), &Folder().Cache(), fill) != 0)
        state.SkipWithError("positions not read");
    for (auto _ : state)
    {
        CTouchPositions touch;
        IPositionConsumer* consumers[] = {&touch};
        if (list.Serve(consumers) != 0)
            state.SkipWithError("not served from memory");
        Sums()["memory"] = touch.m_sum;
    }
    state.counters["bytes_per_record"] =
        static_cast<double>(list.Positions().size_bytes()) / static_cast<double>(kRecords);
}

BENCHMARK(BM_ReadOnce)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadAndStore)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FromCache)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FromMemory)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ReadOnce)->Unit(benchmark::kMillisecond)->Iterations(3)->Name("BM_ReadOnce/again");

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
    // False when the sources disagree.
    bool PrintRatios() const
    {
        const auto find = [this](const std::string& name)
        {
            const auto it = m_times.find(name);
            return it == m_times.end() ? 0.0 : it->second;
        };
        // The faster of the two reads stands for the read: the first may still meet a cold cache.
        const double first = find("BM_ReadOnce/iterations:3");
        const double again = find("BM_ReadOnce/again/iterations:3");
        const double read = first > 0 && again > 0 ? std::min(first, again) : std::max(first, again);
        // Every source against the first that ran (the track's read, unless filtered out).
        const auto reference = Sums().find("read");
        const std::uint64_t expected = reference != Sums().end() ? reference->second
                                       : Sums().empty()          ? 0
                                                                 : Sums().begin()->second;
        bool agree = true;
        for (const auto& [name, sum] : Sums())
            agree = agree && sum == expected;
        std::printf("%u records; the same positions from every source: %s\n", kRecords, agree ? "yes" : "NO");
        const struct
        {
            const char* name;
            const char* what;
        } rows[] = {{"BM_ReadAndStore/iterations:3", "first pass, track read and positions stored"},
                    {"BM_FromCache/iterations:10", "positions from the cache"},
                    {"BM_FromMemory/iterations:10", "positions from memory"}};
        for (const auto& row : rows)
            if (const double time = find(row.name); read > 0 && time > 0)
                std::printf("%s: %.1f ms; one read of the track: %.0f ms; %.4fx the read\n", row.what,
                            time * 1e3, read * 1e3, time / read);
        return agree;
    }

private:
    std::map<std::string, double> m_times; // seconds per iteration
};
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const bool agree = reporter.PrintRatios();
    benchmark::Shutdown();
    return agree ? 0 : 1;
}
