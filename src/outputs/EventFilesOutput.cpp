#include "outputs/EventFilesOutput.h"

#include "base/Regions.h"
#include "base/ResultCodes.h"
#include "regions/EventFile.h"

#include <algorithm>

namespace
{
// The generator has told what went wrong; only the code comes back.
Problem Told(int code)
{
    return code == kOk ? Problem{} : Failure(code, {});
}
} // namespace

CEventFilesOutput::CEventFilesOutput(EventFilesDestination destination, const CRegionTable& table,
                                     std::int32_t margin)
    : m_destination(std::move(destination)), m_table(table), m_consumer(m_generator)
{
    m_table.m_nRegionCount = std::clamp(m_table.m_nRegionCount, 0, kMaxRegions);
    m_generator.Init(margin);
    m_generator.SetOutputDirectory(m_destination.dir);
    if (HasRegions())
        m_generator.SetRegions(m_table);
}

std::vector<std::string> CEventFilesOutput::Files() const
{
    std::vector<std::string> files;
    for (std::int32_t j = 0; j < m_table.m_nRegionCount; ++j)
        for (const EventKind kind : {EventKind::Enter, EventKind::Leave})
        {
            std::string path = MakeEventFilePath(m_destination.dir, m_destination.trackFileName,
                                                 m_table.m_regionNames[static_cast<std::size_t>(j)], kind);
            if (std::find(files.begin(), files.end(), path) == files.end()) // one pair per name
                files.push_back(std::move(path));
        }
    return files;
}

// The files are started here, before the first record: without regions there is nothing to write,
// and nothing fails.
Problem CEventFilesOutput::Prepare(const TrackSourceInfo& source)
{
    if (!HasRegions())
        return {};
    m_bPrepared = true;
    return Told(m_consumer.Begin(source));
}

Problem CEventFilesOutput::Begin(const TrackSourceInfo& /*source*/)
{
    return {};
}

Problem CEventFilesOutput::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    return HasRegions() ? Told(m_consumer.Consume(records, firstIndex)) : Problem{};
}

Problem CEventFilesOutput::End()
{
    m_bPrepared = false;
    return HasRegions() ? Told(m_consumer.End()) : Problem{};
}

std::vector<std::string> CEventFilesOutput::SummaryLines() const
{
    std::vector<std::string> lines;
    for (std::int32_t j = 0; j < m_table.m_nRegionCount; ++j)
        lines.push_back(m_table.m_regionNames[static_cast<std::size_t>(j)] + ": " +
                        std::to_string(m_generator.GetVisitsWritten(j)) + " visits");
    return lines;
}

void CEventFilesOutput::Abandon()
{
    if (m_bPrepared)
        m_consumer.Abandon();
    m_bPrepared = false;
}

std::unique_ptr<ITrackOutput> MakeEventFilesAt(const OutputSettings& settings, const TrackOutputPlace& place)
{
    return std::make_unique<CEventFilesOutput>(EventFilesDestination{place.dir, place.fileName},
                                               settings.regions, settings.margin);
}
