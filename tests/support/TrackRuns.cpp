#include "support/TrackRuns.h"

#include "base/ResultCodes.h"
#include "outputs/OutputPass.h"
#include "outputs/QualityOutput.h"
#include "outputs/RecordsOutput.h"
#include "trackfile/BlockReader.h"

#include <vector>

int RunConsumers(const std::string& path, std::initializer_list<IRecordConsumer*> consumers)
{
    CBlockReader reader;
    if (const int opened = reader.Open(path); opened != kOk)
        return opened;
    const std::vector<IRecordConsumer*> list(consumers);
    return reader.Run(list);
}

int RunOutputs(const std::string& path, std::initializer_list<ITrackOutput*> outputs)
{
    COutputPass pass;
    if (const int opened = pass.Open(path); opened != kOk)
        return opened;
    const std::vector<ITrackOutput*> list(outputs);
    if (const int prepared = pass.Prepare(list); prepared != kOk)
        return prepared;
    return pass.Run();
}

int BuildVisitTable(const std::string& path, const CRegionTable& regions, std::int32_t margin,
                    VisitTable& table)
{
    CVisitTableBuilder builder(regions, margin);
    const int result = RunConsumers(path, {&builder});
    if (result == kOk)
        table = builder.Result();
    return result;
}

int RunQualityReport(const std::string& path, const QualityOptions& options, QualitySummary& summary)
{
    CTrackingQualityReport report(options);
    const int result = RunConsumers(path, {&report});
    if (result == kOk)
        summary = report.Summary();
    return result;
}

int WriteQualityCsv(const std::string& path, const QualityOptions& options, const std::string& csvPath)
{
    CQualityOutput table(QualityDestination{{}, csvPath}, options);
    return RunOutputs(path, {&table});
}

int WriteTrackCsv(const std::string& path, const std::string& csvPath)
{
    CRecordsOutput records(csvPath);
    return RunOutputs(path, {&records});
}
