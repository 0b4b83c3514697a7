// Event generation over a generated track of a million records, for 1, 10 and 50 regions, next to
// reading the same file once through CTrackFile (the floor any run stands on) and, for 50 regions,
// the walk that fetches every record once per region. Records per second are reported as items.
//
// The track (about 1.8 GB) and the event files go into a temporary folder removed at exit.
#include "regions/RegionEventGenerator.h"
#include "regions/RegionTable.h"
#include "trackfile/TrackGenerator.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kRecords = 1'000'000;

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

    std::string TrackPath() const { return m_path + "/bench.qtf"; }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

const CBenchFolder& Folder()
{
    static const CBenchFolder folder;
    return folder;
}

// n regions in a grid over the 640 x 480 arena, sized so that the track visits them often.
CRegionTable MakeTable(std::int32_t n)
{
    CRegionTable table;
    for (std::int32_t k = 0; k < n; ++k)
    {
        const std::int32_t left = 20 + (k % 10) * 60;
        const std::int32_t top = 20 + (k / 10) * 90;
        table.m_regionRects[static_cast<std::size_t>(k)] = Rect{left, top, left + 70, top + 80};
    }
    table.m_nRegionCount = n;
    return table;
}

void BM_ReadTrackOnce(benchmark::State& state)
{
    const std::string path = Folder().TrackPath();
    for (auto _ : state)
    {
        CTrackFile reader;
        reader.Open(path);
        TrackRecord record;
        std::int64_t sum = 0;
        for (std::uint32_t i = 0; i < reader.GetRecordCount(); ++i)
        {
            reader.GetRecord(record, i);
            sum += record.x;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
}

void BM_GenerateEvents(benchmark::State& state)
{
    const auto regions = static_cast<std::int32_t>(state.range(0));
    const CRegionTable table = MakeTable(regions);
    std::uint64_t visits = 0;
    for (auto _ : state)
    {
        CTrackFile reader;
        reader.Open(Folder().TrackPath());
        CRegionEventGenerator generator;
        generator.Init(kDefaultRegionMargin);
        generator.SetSource(&reader, reader.GetFileName(), reader.GetRecordCount());
        generator.SetRegions(table.m_regionRects.data(), table.m_regionNames.data(), regions);
        generator.SetOutputDirectory(Folder().Path());
        if (generator.Run() != 0)
            state.SkipWithError("run failed");
        visits = 0;
        for (std::int32_t j = 0; j < regions; ++j)
            visits += generator.GetVisitsWritten(j);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
    state.counters["visits"] = static_cast<double>(visits);
}

// The straightforward walk: record i fetched again for every region (served from the reader's
// window after the first fetch), the visits counted but not written.
void BM_PerRegionFetchWalk(benchmark::State& state)
{
    const auto regions = static_cast<std::int32_t>(state.range(0));
    const CRegionTable table = MakeTable(regions);
    std::uint64_t visits = 0;
    for (auto _ : state)
    {
        CTrackFile reader;
        reader.Open(Folder().TrackPath());
        CRegionEventGenerator stepper;
        stepper.Init(kDefaultRegionMargin);
        std::vector<RegionVisitState> states(static_cast<std::size_t>(regions));
        TrackRecord record;
        visits = 0;
        for (std::uint32_t i = 0; i < reader.GetRecordCount(); ++i)
            for (std::size_t j = 0; j < states.size(); ++j)
            {
                reader.GetRecord(record, i);
                stepper.Step(record, i, table.m_regionRects[j], states[j]);
                if (states[j].complete != 0)
                {
                    ++visits;
                    states[j] = RegionVisitState{};
                }
            }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
    state.counters["visits"] = static_cast<double>(visits);
}

BENCHMARK(BM_ReadTrackOnce)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_GenerateEvents)->Arg(1)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_PerRegionFetchWalk)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(2);
} // namespace

BENCHMARK_MAIN();
