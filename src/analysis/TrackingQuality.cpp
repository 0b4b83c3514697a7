#include "analysis/TrackingQuality.h"

#include "analysis/Clock.h"
#include "base/CsvBuilder.h"
#include "base/ResultCodes.h"
#include "recalc/SquaredLength.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kMedian = 0.5;
constexpr double kPercentile95 = 0.95;
// Squared distances below 64 pixels squared are counted, not kept; headings differ by 0 to 180.
constexpr std::size_t kCountedSquaredDistances = 4096;
constexpr std::size_t kHeadingDifferences = 181;

constexpr CenterCase kCasesInOrder[] = {CenterCase::Computed, CenterCase::Held, CenterCase::Few,
                                        CenterCase::Unterminated};
static_assert(std::size(kCasesInOrder) == kCenterCaseCount);

std::size_t CaseIndex(CenterCase centerCase)
{
    return static_cast<std::size_t>(centerCase);
}

// The statistic of shape(value) over the values, for a shape that never decreases.
template <class Shape> QualityStatistic Summarize(CWholeValues& values, const Shape& shape)
{
    QualityStatistic statistic;
    statistic.median = values.Percentile(kMedian, shape);
    statistic.p95 = values.Percentile(kPercentile95, shape);
    if (!values.Empty())
        statistic.largest = shape(values.Largest());
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
    : m_options(options), m_pRows(rows), m_meter(options.minDistance, options.maxDistance),
      m_squaredDistances(kCountedSquaredDistances), m_headingDifferences(kHeadingDifferences)
{
}

int CTrackingQualityReport::Begin(const TrackSourceInfo& source)
{
    m_meter.Restart();
    m_summary = QualitySummary{};
    m_summary.fileName = source.fileName;
    m_summary.options = m_options;
    ReleaseValues();
    m_largestJumps.Clear();
    m_longestGap.Clear();
    return kOk;
}

int CTrackingQualityReport::Consume(std::span<const TrackRecord> records, std::uint64_t /*firstIndex*/)
{
    for (const TrackRecord& record : records)
    {
        const RecordMeasure measure = m_meter.MeasureSquared(record);
        Add(measure);
        if (m_pRows != nullptr && !m_pRows->Add(DescribeRecord(measure)))
            return kErrWrite;
    }
    return kOk;
}

void CTrackingQualityReport::Add(const RecordMeasure& measure)
{
    ++m_summary.records;
    ++m_summary.cases[CaseIndex(measure.recalculated.centerCase)];
    const bool computed = measure.recalculated.centerCase == CenterCase::Computed;
    if (computed)
    {
        m_squaredDistances.Add(measure.squaredDistance);
        m_headingDifferences.Add(measure.headingDifference);
    }
    // A jump is a step longer than the threshold, told on the square; only a jump's length is
    // taken as a root.
    if (measure.squaredStep && CompareRoot(*measure.squaredStep, m_options.jumpPx) > 0)
    {
        ++m_summary.jumps;
        m_largestJumps.Offer(measure.record, std::sqrt(*measure.squaredStep));
    }
    m_longestGap.Add(measure.record, computed);
}

int CTrackingQualityReport::End()
{
    const auto root = [](double squared) { return std::sqrt(squared); };
    const auto same = [](double value) { return value; };
    m_summary.positionDistancePx = Summarize(m_squaredDistances, root);
    m_summary.headingDifferenceDeg = Summarize(m_headingDifferences, same);
    m_summary.largestJumps = m_largestJumps.Jumps();
    m_summary.longestGap = m_longestGap.Longest();
    // The values are only needed for the percentiles.
    ReleaseValues();
    return kOk;
}

void CTrackingQualityReport::Abandon()
{
    m_summary = QualitySummary{}; // an abandoned pass has no figures
    ReleaseValues();
}

void CTrackingQualityReport::ReleaseValues()
{
    m_squaredDistances.Clear();
    m_headingDifferences.Clear();
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
