#include "OutputTestSupport.h"

#include "base/ResultCodes.h"
#include "outputs/OutputPass.h"
#include "support/FileChecks.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"

#include <algorithm>

int RunTelling(const std::string& track, std::initializer_list<ITrackOutput*> outputs,
               const StreamProgress& progress)
{
    COutputPass pass;
    const auto tellAll = [&pass]
    {
        for (const Problem& problem : pass.TakeTold())
            Tell(problem);
    };
    int result = pass.Open(track);
    if (result == kOk)
        result = pass.Prepare(std::vector<ITrackOutput*>(outputs));
    tellAll();
    if (result == kOk)
        result = pass.Run(progress);
    tellAll();
    return result;
}

Problem Feed(ITrackOutput& output, const std::vector<TrackRecord>& records, std::size_t blockRecords,
             const std::string& fileName)
{
    TrackSourceInfo source;
    source.path = fileName;
    source.fileName = fileName;
    source.hasHeader = true;
    source.records = records.size();
    if (Problem problem = output.Prepare(source); !problem.IsOk())
    {
        output.Abandon();
        return problem;
    }
    const auto abandoned = [&output](Problem problem)
    {
        output.Abandon();
        return problem;
    };
    if (Problem problem = output.Begin(source); !problem.IsOk())
        return abandoned(std::move(problem));
    const std::span<const TrackRecord> all(records);
    for (std::size_t at = 0; at < records.size(); at += blockRecords)
        if (Problem problem =
                output.Consume(all.subspan(at, std::min(blockRecords, records.size() - at)), at);
            !problem.IsOk())
            return abandoned(std::move(problem));
    return output.End();
}

std::vector<TrackRecord> RecordsOfFile(const std::string& path, std::size_t count)
{
    const std::string bytes = ReadWholeFile(path);
    std::vector<TrackRecord> records;
    for (std::size_t i = 0; i < count; ++i)
        records.push_back(RecordAt(bytes, true, i));
    return records;
}

CRegionTable NamedRegions(const std::vector<std::pair<Rect, std::string>>& regions)
{
    CRegionTable table;
    for (const auto& [rect, name] : regions)
    {
        const auto slot = static_cast<std::size_t>(table.m_nRegionCount++);
        table.m_regionRects[slot] = rect;
        table.m_regionNames[slot] = name;
    }
    return table;
}
