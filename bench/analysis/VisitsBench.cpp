// The visits pass (the visit table of 50 regions and its three CSV files, what tracktool visits
// does) over a generated track of a million records, next to one plain read of the same file by the
// block reader with a consumer that only touches each record. The ratio of the two is printed at
// the end of the run: the visit rule's cost over the read every pass stands on.
//
// The track (about 1.8 GB) and the CSV files go into a temporary folder removed at exit.
#include "analysis/VisitCsv.h"
#include "analysis/VisitTable.h"
#include "outputs/OutputPass.h"
#include "outputs/VisitTablesOutput.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackGenerator.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace
{
constexpr std::uint32_t kRecords = 1'000'000;
constexpr std::int32_t kRegions = 50;

class CBenchFolder
{
public:
    CBenchFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "trackplay-visits-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
        {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
        TrackGeneratorOptions options;
        options.records = kRecords;
        options.seed = 7;
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
    [[nodiscard]] const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

const CBenchFolder& Folder()
{
    static const CBenchFolder folder;
    return folder;
}

// 50 regions in a grid over the 640 x 480 arena, every fifth drawn backwards, sized so that the
// track visits them often.
CRegionTable MakeTable()
{
    CRegionTable table;
    for (std::int32_t k = 0; k < kRegions; ++k)
    {
        const std::int32_t left = 20 + (k % 10) * 60;
        const std::int32_t top = 20 + (k / 10) * 90;
        table.m_regionRects[static_cast<std::size_t>(k)] =
            k % 5 == 0 ? Rect{left + 70, top + 80, left, top} : Rect{left, top, left + 70, top + 80};
    }
    table.m_nRegionCount = kRegions;
    return table;
}

// Touches each record, so that the read cannot be skipped.
class CTouchConsumer final : public IRecordConsumer
{
public:
    int Begin(const TrackSourceInfo&) override { return 0; }
    int Consume(std::span<const TrackRecord> records, std::uint64_t) override
    {
        for (const TrackRecord& record : records)
            m_sum += record.x;
        return 0;
    }
    int End() override { return 0; }
    std::int64_t m_sum = 0;
};

void BM_ReadOnce(benchmark::State& state)
{
    for (auto _ : state)
    {
        CBlockReader reader;
        if (reader.Open(Folder().TrackPath()) != 0)
            state.SkipWithError("open failed");
        CTouchConsumer touch;
        IRecordConsumer* consumers[] = {&touch};
        if (reader.Run(consumers) != 0)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(touch.m_sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
}

void BM_Visits(benchmark::State& state)
{
    const CRegionTable table = MakeTable();
    std::size_t visits = 0;
    for (auto _ : state)
    {
        CVisitTablesOutput output(TrackOutputPlace{Folder().Path(), "bench.qtf", "bench.qtf"}, table,
                                  kDefaultRegionMargin);
        ITrackOutput* outputs[] = {&output};
        COutputPass pass;
        if (pass.Open(Folder().TrackPath()) != 0 || pass.Prepare(outputs) != 0 || pass.Run() != 0)
            state.SkipWithError("visits failed");
        visits = output.Table().visits.size();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
    state.counters["visits"] = static_cast<double>(visits);
}

BENCHMARK(BM_ReadOnce)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Visits)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadOnce)->Unit(benchmark::kMillisecond)->Iterations(3)->Name("BM_ReadOnce/again");

// Collects the time per iteration of every run to print the ratio at the end.
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
    void PrintRatio() const
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
        const double visits = find("BM_Visits/iterations:3");
        if (read > 0 && visits > 0)
            std::printf(
                "visits, %d regions, %u records: %.0f ms; one read: %.0f ms; visits take %.2fx the read\n",
                kRegions, kRecords, visits * 1e3, read * 1e3, visits / read);
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
    reporter.PrintRatio();
    benchmark::Shutdown();
    return 0;
}
