// The visits pass (the visit table of 50 regions and its three CSV files, what tracktool visits
// does) over a generated track of a million records, with 50 rectangles and with 50 polygons of 16
// corners, next to one plain read of the same file by the block reader with a consumer that only
// touches each record. The ratios are printed at the end of the run: the visit rule's cost over the
// read every pass stands on. The same pass with every analysis setting (entry rules, a calibration,
// one-minute bins, the windowed speed and immobility, and the two bin files) is timed beside it,
// with its own ratio.
//
// The entry-rule sensitivity of the same 50 regions (entries and time inside at 21 minimum visits
// and 9 margins, in one pass) is timed beside them too, with its ratio to the read.
//
// The track (about 1.8 GB) and the CSV files go into a temporary folder removed at exit.
#include "analysis/BinCsv.h"
#include "analysis/Sensitivity.h"
#include "analysis/SensitivityCsv.h"
#include "analysis/VisitCsv.h"
#include "analysis/VisitTable.h"
#include "base/CsvStream.h"
#include "base/OutputFile.h"
#include "outputs/OutputPass.h"
#include "outputs/VisitTablesOutput.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackGenerator.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

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

// 50 stars of 16 corners (8 points, concave between them), one in each cell of the same grid.
CRegionTable MakePolygonTable()
{
    constexpr int kCorners = 16;
    constexpr double kTurn = 2.0 * 3.14159265358979;
    CRegionTable table;
    for (std::int32_t k = 0; k < kRegions; ++k)
    {
        const double cx = 55 + (k % 10) * 60;
        const double cy = 60 + (k / 10) * 90;
        std::vector<Point> corners;
        for (int c = 0; c < kCorners; ++c)
        {
            const double radius = c % 2 == 0 ? 38.0 : 18.0;
            const double angle = kTurn * c / kCorners;
            corners.push_back(Point{static_cast<std::int32_t>(std::lround(cx + radius * std::cos(angle))),
                                    static_cast<std::int32_t>(std::lround(cy + radius * std::sin(angle)))});
        }
        table.SetShape(k, RegionShape::Polygon(std::move(corners)));
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

void RunVisits(benchmark::State& state, const CRegionTable& table)
{
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

// Every analysis setting, as a lab would set them for an open field.
AnalysisSettings MakeSettings()
{
    AnalysisSettings settings;
    settings.calibration.form = CalibrationForm::Arena;
    settings.calibration.arena = Rect{0, 0, 640, 480};
    settings.calibration.widthCm = 64.0;
    settings.calibration.heightCm = 48.0;
    settings.mergeGapSeconds = 0.5;
    settings.minVisitSeconds = 0.25;
    settings.binSeconds = 60.0;
    settings.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 2.0};
    return settings;
}

bool WriteBinFile(const VisitTable& table, BinCsvKind kind, const std::string& path)
{
    COutputFile file;
    if (!file.Create(path))
        return false;
    CCsvStream csv(file);
    return WriteBinCsvRows(table, "bench.qtf", kind, csv) && file.Commit();
}

// The visits the pass with every setting counted, for the sensitivity's figures under the same
// rules to be checked against.
std::size_t& VisitsWithSettings()
{
    static std::size_t visits = 0;
    return visits;
}

void BM_VisitsWithSettings(benchmark::State& state)
{
    const CRegionTable table = MakeTable();
    const AnalysisSettings settings = MakeSettings();
    std::size_t visits = 0;
    std::uint64_t bouts = 0;
    for (auto _ : state)
    {
        CVisitTablesOutput output(TrackOutputPlace{Folder().Path(), "bench.qtf", "bench.qtf"}, table,
                                  kDefaultRegionMargin, settings);
        ITrackOutput* outputs[] = {&output};
        COutputPass pass;
        const VisitTable& result = output.Table();
        if (pass.Open(Folder().TrackPath()) != 0 || pass.Prepare(outputs) != 0 || pass.Run() != 0 ||
            !WriteBinFile(result, BinCsvKind::Regions, Folder().Path() + "/bench.qtf_bins.csv") ||
            !WriteBinFile(result, BinCsvKind::Session, Folder().Path() + "/bench.qtf_session_bins.csv"))
            state.SkipWithError("visits with settings failed");
        visits = result.visits.size();
        bouts = result.session.immobilityBouts.value_or(0);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
    state.counters["visits"] = static_cast<double>(visits);
    state.counters["bouts"] = static_cast<double>(bouts);
    VisitsWithSettings() = visits;
}

void BM_Visits(benchmark::State& state)
{
    RunVisits(state, MakeTable());
}

void BM_VisitsPolygons(benchmark::State& state)
{
    const CRegionTable table = MakePolygonTable();
    for (std::int32_t k = 0; k < kRegions; ++k)
        if (FindShapeProblem(table.ShapeOf(k)))
            state.SkipWithError("a star is not a usable polygon");
    RunVisits(state, table);
}

// The sensitivity pass and its CSV text, under the lab's rules of MakeSettings.
void RunSensitivity(benchmark::State& state, const CRegionTable& table, std::size_t expectedEntries = 0)
{
    AnalysisSettings settings;
    settings.mergeGapSeconds = MakeSettings().mergeGapSeconds;
    settings.minVisitSeconds = MakeSettings().minVisitSeconds;
    std::uint64_t entries = 0;
    std::size_t bytes = 0;
    for (auto _ : state)
    {
        CBlockReader reader;
        if (reader.Open(Folder().TrackPath()) != 0)
            state.SkipWithError("open failed");
        CSensitivityBuilder builder(table, kDefaultRegionMargin, settings);
        IRecordConsumer* consumers[] = {&builder};
        if (reader.Run(consumers) != 0)
            state.SkipWithError("sensitivity failed");
        bytes = FormatSensitivityCsv(builder.Result(), "bench.qtf").size();
        entries = 0;
        for (const RegionSensitivity& region : builder.Result().regions)
            entries += region.current.entries;
    }
    // Its figures under the current rules are the visit table's.
    if (expectedEntries != 0 && entries != expectedEntries)
        state.SkipWithError("the sensitivity's current entries differ from the visit table's");
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kRecords);
    state.counters["entries"] = static_cast<double>(entries);
    state.counters["csv_bytes"] = static_cast<double>(bytes);
}

void BM_Sensitivity(benchmark::State& state)
{
    RunSensitivity(state, MakeTable(), VisitsWithSettings());
}

void BM_SensitivityPolygons(benchmark::State& state)
{
    RunSensitivity(state, MakePolygonTable());
}

BENCHMARK(BM_ReadOnce)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Visits)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_VisitsWithSettings)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_VisitsPolygons)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Sensitivity)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SensitivityPolygons)->Unit(benchmark::kMillisecond)->Iterations(3);
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
        const double settings = find("BM_VisitsWithSettings/iterations:3");
        if (read > 0 && settings > 0)
            std::printf("visits with bins, movement and rules: %.0f ms; %.2fx the read\n", settings * 1e3,
                        settings / read);
        const double polygons = find("BM_VisitsPolygons/iterations:3");
        if (read > 0 && polygons > 0)
            std::printf(
                "visits, %d polygons of 16 corners, %u records: %.0f ms; visits take %.2fx the read\n",
                kRegions, kRecords, polygons * 1e3, polygons / read);
        const double sensitivity = find("BM_Sensitivity/iterations:3");
        if (read > 0 && sensitivity > 0)
            std::printf("sensitivity, %d regions, 30 values, %u records: %.0f ms; %.2fx the read\n", kRegions,
                        kRecords, sensitivity * 1e3, sensitivity / read);
        const double sensitivityPolygons = find("BM_SensitivityPolygons/iterations:3");
        if (read > 0 && sensitivityPolygons > 0)
            std::printf("sensitivity, %d polygons of 16 corners: %.0f ms; %.2fx the read\n", kRegions,
                        sensitivityPolygons * 1e3, sensitivityPolygons / read);
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
