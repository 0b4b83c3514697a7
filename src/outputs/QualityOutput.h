// The tracking quality report (analysis/TrackingQuality.h) as an output, with two destinations,
// each when asked for: the figures as a text file (the lines tracktool quality prints) and the
// per-record table as CSV (analysis/QualityCsv.h), streamed as the records come. The figures stay
// with the output for the edge to show (Summary).
#pragma once

#include "analysis/TrackingQuality.h"
#include "base/CsvStream.h"
#include "base/OutputGroup.h"
#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"
#include "outputs/TrackOutput.h"

#include <memory>
#include <optional>
#include <string>

struct QualityDestination
{
    std::string reportPath; // the figures; empty: not written
    std::string tablePath;  // the per-record table; empty: not written
};

class CQualityOutput final : public ITrackOutput, private IQualityRows
{
public:
    CQualityOutput(QualityDestination destination, const QualityOptions& options);

    [[nodiscard]] std::vector<std::string> Files() const override { return m_files.Paths(); }
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::WholeRecords; }
    [[nodiscard]] Problem Prepare(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Begin(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    [[nodiscard]] Problem End() override;
    void Abandon() override;
    // The figures, one "name: value" line each (FormatQualityFigures).
    [[nodiscard]] std::vector<std::string> SummaryLines() const override;

    // Complete after End.
    [[nodiscard]] const QualitySummary& Summary() const { return m_report.Summary(); }

private:
    bool Add(const RecordQuality& quality) override;

    QualityDestination m_destination;
    CTrackingQualityReport m_report;
    COutputGroup m_files;
    std::optional<std::size_t> m_reportFile; // in m_files
    std::optional<std::size_t> m_tableFile;
    std::optional<CCsvStream> m_table; // while the table is written
};

// The text of the figures' file: each line of FormatQualityFigures ended by "\n".
[[nodiscard]] std::string FormatQualityText(const QualitySummary& summary);

// For the table of outputs (OutputKinds.h): the figures as <track>_quality.txt at place.
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeQualityAt(const OutputSettings& settings,
                                                          const TrackOutputPlace& place);
