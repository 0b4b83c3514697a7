#include "analysis/TrackingQuality.h"

#include "analysis/Clock.h"
#include "base/CsvBuilder.h"
#include "base/ResultCodes.h"

#include <algorithm>

namespace
{
constexpr double kMedian = 0.5;
constexpr double kPercentile95 = 0.95;

constexpr CenterCase kCasesInOrder[] = {CenterCase::Computed, CenterCase::Held, CenterCase::Few,
                                        CenterCase::Unterminated};
static_assert(std::size(kCasesInOrder) == kCenterCaseCount);

std::size_t CaseIndex(CenterCase centerCase)
{
    return static_cast<std::size_t>(centerCase);
}

QualityStatistic Summarize(std::vector<double>& values)
{
    QualityStatistic statistic;
    statistic.median = Percentile(values, kMedian);
    statistic.p95 = Percentile(values, kPercentile95);
    if (!values.empty())
        statistic.largest = *std::max_element(values.begin(), values.end());
    return statistic;
}

std::string Number(const std::optional<double>& value)
{
    return value ? FormatFixed6(*value) : std::string("none");
}
} // namespace

std::uint64_t QualitySummary::Count(CenterCase centerCase) const
{
    return cases[CaseIndex(centerCase)];
}

std::optional<double> QualitySummary::Share(CenterCase centerCase) const
{
    if (records == 0)
        return std::nullopt;
    return static_cast<double>(Count(centerCase)) / static_cast<double>(records);
}

CTrackingQualityReport::CTrackingQualityReport(const QualityOptions& options, IQualityRows* rows)
    : m_options(options), m_pRows(rows), m_meter(options.minDistance, options.maxDistance)
{
}

int CTrackingQualityReport::Begin(const TrackSourceInfo& source)
{
    m_meter.Restart();
    m_summary = QualitySummary{};
    m_summary.fileName = source.fileName;
    m_summary.options = m_options;
    m_distances.clear();
    m_headingDifferences.clear();
    m_largestJumps.Clear();
    m_longestGap.Clear();
    return kOk;
}

int CTrackingQualityReport::Consume(std::span<const TrackRecord> records, std::uint64_t /*firstIndex*/)
{
    for (const TrackRecord& record : records)
    {
        const RecordQuality quality = m_meter.Measure(record);
        Add(quality);
        if (m_pRows != nullptr && !m_pRows->Add(quality))
            return kErrWrite;
    }
    return kOk;
}

void CTrackingQualityReport::Add(const RecordQuality& quality)
{
    ++m_summary.records;
    ++m_summary.cases[CaseIndex(quality.centerCase)];
    const bool computed = quality.centerCase == CenterCase::Computed;
    if (computed)
    {
        m_distances.push_back(quality.distancePx);
        m_headingDifferences.push_back(quality.headingDifferenceDeg);
    }
    if (quality.stepPx && *quality.stepPx > m_options.jumpPx)
    {
        ++m_summary.jumps;
        m_largestJumps.Offer(quality.record, *quality.stepPx);
    }
    m_longestGap.Add(quality.record, computed);
}

int CTrackingQualityReport::End()
{
    m_summary.positionDistancePx = Summarize(m_distances);
    m_summary.headingDifferenceDeg = Summarize(m_headingDifferences);
    m_summary.largestJumps = m_largestJumps.Jumps();
    m_summary.longestGap = m_longestGap.Longest();
    // The lists are only needed for the percentiles.
    std::vector<double>().swap(m_distances);
    std::vector<double>().swap(m_headingDifferences);
    return kOk;
}

void CTrackingQualityReport::Abandon()
{
    m_summary = QualitySummary{}; // an abandoned pass has no figures
    std::vector<double>().swap(m_distances);
    std::vector<double>().swap(m_headingDifferences);
}

std::vector<std::string> FormatQualityFigures(const QualitySummary& summary)
{
    std::vector<std::string> lines;
    const auto Line = [&lines](const std::string& name, const std::string& value)
    { lines.push_back(name + ": " + value); };

    Line("file", summary.fileName);
    Line("records", std::to_string(summary.records));
    Line("min target distance", std::to_string(summary.options.minDistance));
    Line("max target distance", std::to_string(summary.options.maxDistance));
    for (const CenterCase centerCase : kCasesInOrder)
        Line(std::string(CenterCaseName(centerCase)),
             std::to_string(summary.Count(centerCase)) + " (" + Number(summary.Share(centerCase)) + ")");
    const auto Statistic =
        [&Line](const std::string& what, const std::string& unit, const QualityStatistic& s)
    {
        Line(what + " median " + unit, Number(s.median));
        Line(what + " p95 " + unit, Number(s.p95));
        Line(what + " max " + unit, Number(s.largest));
    };
    Statistic("position distance", "px", summary.positionDistancePx);
    Statistic("heading difference", "deg", summary.headingDifferenceDeg);
    Line("jump threshold px", std::to_string(summary.options.jumpPx));
    Line("jumps", std::to_string(summary.jumps));
    for (std::size_t j = 0; j < summary.largestJumps.size(); ++j)
    {
        const QualityJump& jump = summary.largestJumps[j];
        Line("largest jump " + std::to_string(j + 1),
             "record " + std::to_string(jump.record) + ", " + FormatFixed6(jump.stepPx) + " px");
    }
    const std::uint64_t gap = summary.longestGap ? summary.longestGap->length : 0;
    Line("longest gap records", std::to_string(gap));
    Line("longest gap s", FormatFixed6(RecordsToSeconds(gap)));
    Line("longest gap start record",
         summary.longestGap ? std::to_string(summary.longestGap->start) : std::string("none"));
    return lines;
}
