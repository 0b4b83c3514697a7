#include "outputs/VisitTablesOutput.h"

#include "analysis/VisitCsv.h"
#include "base/CsvBuilder.h"
#include "base/CsvStream.h"
#include "base/ResultCodes.h"

#include <array>

namespace
{
constexpr std::array kKinds = {VisitCsvKind::Visits, VisitCsvKind::Regions, VisitCsvKind::Session};
constexpr std::string_view kNotWritten = "; no visit tables were written.";
} // namespace

CVisitTablesOutput::CVisitTablesOutput(TrackOutputPlace place, const CRegionTable& table, std::int32_t margin,
                                       const AnalysisSettings& settings)
    : m_place(std::move(place)), m_builder(table, margin, settings)
{
}

std::vector<std::string> CVisitTablesOutput::Files() const
{
    std::vector<std::string> files;
    for (const VisitCsvKind kind : kKinds)
        files.push_back(MakeVisitCsvPath(m_place.dir, m_place.fileName, kind));
    return files;
}

Problem CVisitTablesOutput::Prepare(const TrackSourceInfo& /*source*/)
{
    for (const std::string& path : Files())
        m_files.Add(path, OutputFileTexts{"Cannot create the CSV file " + path + std::string(kNotWritten),
                                          "Cannot write to the CSV file " + path + std::string(kNotWritten)});
    return m_files.Create();
}

Problem CVisitTablesOutput::Begin(const TrackSourceInfo& source)
{
    return Failure(m_builder.Begin(source), {});
}

Problem CVisitTablesOutput::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    return Failure(m_builder.Consume(records, firstIndex), {});
}

Problem CVisitTablesOutput::End()
{
    m_builder.End();
    const VisitTable& table = m_builder.Result();
    for (std::size_t k = 0; k < kKinds.size(); ++k)
    {
        CCsvStream csv(m_files.File(k));
        const bool written = WriteVisitCsvRows(table, m_place.label, kKinds[k], csv);
        if (!written)
            return m_files.WriteFailed(k);
    }
    return m_files.Commit();
}

std::vector<std::string> CVisitTablesOutput::SummaryLines() const
{
    std::vector<std::string> lines;
    for (const RegionSummary& region : Table().regions)
        lines.push_back(region.name + ": " + std::to_string(region.entries) + " entries, " +
                        FormatFixed6(region.timeInsideSeconds) + " s inside");
    if (Table().session.pathLengthCm)
        lines.push_back("Path length: " + FormatFixed6(*Table().session.pathLengthCm) + " cm");
    return lines;
}

void CVisitTablesOutput::Abandon()
{
    m_builder.Abandon();
    m_files.Discard();
}

std::unique_ptr<ITrackOutput> MakeVisitTablesAt(const OutputSettings& settings, const TrackOutputPlace& place)
{
    return std::make_unique<CVisitTablesOutput>(place, settings.regions, settings.margin, settings.analysis);
}
