// The tracking quality report over a generated track of a million records, next to the conversion
// of the same file and one read of it through the block reader, in the same run; the ratios are
// printed at the end. The report does the conversion's work on every record but writes no track,
// so it should take a little less than the conversion; with its table it writes a CSV instead.
//
// The track (about 1.8 GB) and the outputs go into a temporary folder removed at exit.
// TRACKPLAY_BENCH_RECORDS sets another number of records (for a quick run).
#include "analysis/TrackingQuality.h"
#include "base/ResultCodes.h"
#include "outputs/OutputPass.h"
#include "outputs/QualityOutput.h"
#include "recalc/TrackConverter.h"
#include "support/RecordingMessageSink.h"
#include "trackfile/BlockReader.h"
#include "trackfile/TrackGenerator.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kDefaultRecords = 1'000'000;

std::uint32_t BenchRecords()
{
    const char* text = std::getenv("TRACKPLAY_BENCH_RECORDS");
    const unsigned long value = text != nullptr ? std::strtoul(text, nullptr, 10) : 0;
    return value > 0 ? static_cast<std::uint32_t>(value) : kDefaultRecords;
}

class CBenchFolder
{
public:
    CBenchFolder() : m_nRecords(BenchRecords())
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "trackplay-quality-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
        {
            std::perror("mkdtemp");
            std::exit(1);
        }
        m_path = pattern;
        TrackGeneratorOptions options;
        options.records = m_nRecords;
        options.seed = 7;
        if (WriteGeneratedTrack(TrackPath(), options) != kOk)
        {
            std::fprintf(stderr, "cannot write %s\n", TrackPath().c_str());
            std::exit(1);
        }
    }
    ~CBenchFolder() { std::filesystem::remove_all(m_path); }
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    [[nodiscard]] std::string TrackPath() const { return m_path + "/bench.qtf"; }
    [[nodiscard]] std::string File(const char* name) const { return m_path + "/" + name; }
    [[nodiscard]] std::uint32_t Records() const { return m_nRecords; }

private:
    std::uint32_t m_nRecords;
    std::string m_path;
};

const CBenchFolder& Folder()
{
    static const CBenchFolder folder;
    return folder;
}

// Takes the records and does nothing with them: the cost of the pass itself.
class CNullConsumer final : public IRecordConsumer
{
public:
    int Begin(const TrackSourceInfo& /*source*/) override { return kOk; }
    int Consume(std::span<const TrackRecord> records, std::uint64_t /*firstIndex*/) override
    {
        benchmark::DoNotOptimize(records.data());
        return kOk;
    }
    int End() override { return kOk; }
};

void BM_ReadTrackOnce(benchmark::State& state)
{
    const CBenchFolder& folder = Folder();
    for (auto _ : state)
    {
        CBlockReader reader;
        CNullConsumer consumer;
        IRecordConsumer* const consumers[] = {&consumer};
        if (reader.Open(folder.TrackPath()) != kOk || reader.Run(consumers) != kOk)
            state.SkipWithError("the read failed");
    }
    state.SetItemsProcessed(state.iterations() * folder.Records());
}

void BM_QualityReport(benchmark::State& state)
{
    const CBenchFolder& folder = Folder();
    const bool withTable = state.range(0) != 0;
    for (auto _ : state)
    {
        CQualityOutput quality(QualityDestination{{}, withTable ? folder.File("quality.csv") : std::string()},
                               QualityOptions{});
        ITrackOutput* outputs[] = {&quality};
        COutputPass pass;
        if (pass.Open(folder.TrackPath()) != kOk || pass.Prepare(outputs) != kOk || pass.Run() != kOk)
            state.SkipWithError("the report failed");
        benchmark::DoNotOptimize(quality.Summary().records);
    }
    state.SetItemsProcessed(state.iterations() * folder.Records());
}

void BM_ConvertFile(benchmark::State& state)
{
    const CBenchFolder& folder = Folder();
    CRecordingMessageSink sink; // "Conversion Completed" is not for the console
    CScopedMessageSink scoped(sink);
    CTrackConverter converter;
    for (auto _ : state)
    {
        if (converter.ConvertFile(folder.TrackPath(), folder.File("converted.qtf"), kDefaultMinTargetDistance,
                                  kDefaultMaxTargetDistance) != kOk)
            state.SkipWithError("the conversion failed");
    }
    state.SetItemsProcessed(state.iterations() * folder.Records());
}

// The report as a consumer that notes the memory its percentiles' values hold at the end of the
// pass, when it is largest, before the report lets it go.
class CMeasuredReport final : public IRecordConsumer
{
public:
    int Begin(const TrackSourceInfo& source) override { return m_report.Begin(source); }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override
    {
        return m_report.Consume(records, firstIndex);
    }
    int End() override
    {
        m_nBytes = m_report.ValueBytes();
        return m_report.End();
    }
    void Abandon() override { m_report.Abandon(); }
    [[nodiscard]] std::size_t Bytes() const { return m_nBytes; }

private:
    CTrackingQualityReport m_report{QualityOptions{}, nullptr};
    std::size_t m_nBytes = 0;
};

// Bytes of the percentiles' values a record, over one pass of the whole track; negative when the
// pass failed.
double QualityBytesPerRecord()
{
    CBlockReader reader;
    CMeasuredReport report;
    IRecordConsumer* const consumers[] = {&report};
    if (reader.Open(Folder().TrackPath()) != kOk || reader.Run(consumers) != kOk)
        return -1.0;
    return static_cast<double>(report.Bytes()) / Folder().Records();
}

BENCHMARK(BM_ReadTrackOnce)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QualityReport)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ConvertFile)->Unit(benchmark::kMillisecond)->UseRealTime();

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
        const double read = Time("BM_ReadTrackOnce/real_time");
        const double report = Time("BM_QualityReport/0/real_time");
        const double table = Time("BM_QualityReport/1/real_time");
        const double convert = Time("BM_ConvertFile/real_time");
        const double records = Folder().Records();
        if (report > 0 && convert > 0)
            std::printf("quality report: %.0f records/s; conversion: %.0f records/s (the report takes %.2fx "
                        "the conversion)\n",
                        records / report, records / convert, report / convert);
        if (table > 0 && convert > 0)
            std::printf("quality report with its table: %.2fx the conversion\n", table / convert);
        if (report > 0 && read > 0)
            std::printf("quality report: %.2fx one read of the file\n", report / read);
        std::printf("quality report: %.3f bytes a record held for the percentiles\n",
                    QualityBytesPerRecord());
    }

private:
    [[nodiscard]] double Time(const std::string& name) const
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
