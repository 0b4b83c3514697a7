#include "outputs/QualityOutput.h"

#include "analysis/QualityCsv.h"
#include "base/ResultCodes.h"

CQualityOutput::CQualityOutput(QualityDestination destination, const QualityOptions& options)
    : m_destination(std::move(destination)),
      m_report(options, m_destination.tablePath.empty() ? nullptr : this)
{
    const std::string& report = m_destination.reportPath;
    if (!report.empty())
        m_reportFile = m_files.Add(
            report,
            OutputFileTexts{"Cannot create the quality report " + report + "; it was not written.",
                            "Cannot write to the quality report " + report + "; it was not written."});
    const std::string& table = m_destination.tablePath;
    if (!table.empty())
        m_tableFile = m_files.Add(
            table, OutputFileTexts{"Cannot create the quality table " + table + ".",
                                   "Cannot write the quality table " + table + "; nothing was written."});
}

Problem CQualityOutput::Prepare(const TrackSourceInfo& /*source*/)
{
    return m_files.Create();
}

Problem CQualityOutput::Begin(const TrackSourceInfo& source)
{
    if (m_tableFile)
    {
        m_table.emplace(m_files.File(*m_tableFile));
        m_table->Rows().HeaderRow(kQualityCsvHeader);
    }
    return Failure(m_report.Begin(source), {});
}

bool CQualityOutput::Add(const RecordQuality& quality)
{
    AddQualityCsvRow(m_table->Rows(), quality);
    return m_table->Pass();
}

Problem CQualityOutput::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    if (m_report.Consume(records, firstIndex) != kOk)
        return m_files.WriteFailed(*m_tableFile); // only the table's rows can refuse
    return {};
}

Problem CQualityOutput::End()
{
    m_report.End();
    if (m_reportFile)
        if (Problem problem = m_files.Write(*m_reportFile, FormatQualityText(m_report.Summary()));
            !problem.IsOk())
            return problem;
    if (m_table)
    {
        if (!m_table->Flush())
            return m_files.WriteFailed(*m_tableFile);
        m_table.reset();
    }
    return m_files.Commit();
}

std::vector<std::string> CQualityOutput::SummaryLines() const
{
    return FormatQualityFigures(m_report.Summary());
}

void CQualityOutput::Abandon()
{
    m_report.Abandon();
    m_table.reset();
    m_files.Discard();
}

std::string FormatQualityText(const QualitySummary& summary)
{
    std::string text;
    for (const std::string& line : FormatQualityFigures(summary))
        text += line + "\n";
    return text;
}

std::unique_ptr<ITrackOutput> MakeQualityAt(const OutputSettings& settings, const TrackOutputPlace& place)
{
    return std::make_unique<CQualityOutput>(
        QualityDestination{TrackOutputPath(place, kQualityReportSuffix), {}}, settings.quality);
}
