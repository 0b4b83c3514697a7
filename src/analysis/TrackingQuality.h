// The tracking quality report of a track: where tracking failed and how far the stored positions
// and headings are from what the targets give. One pass over the track measures every record
// (RecordQuality.h) and gathers the per-file figures; each record's measure can be handed on as it
// comes (the per-record table of outputs/QualityOutput.h). The window, tracktool and batch runs all
// come here, and the figures' text has its one home in FormatQualityFigures.
#pragma once

#include "analysis/QualityStatistics.h"
#include "analysis/RecordQuality.h"
#include "trackfile/RecordStream.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline constexpr int kDefaultMinTargetDistance = 10;
inline constexpr int kDefaultMaxTargetDistance = 100;
// 40 pixels from one record to the next is 2,400 pixels a second.
inline constexpr std::uint32_t kDefaultJumpPx = 40;

struct QualityOptions
{
    int minDistance = kDefaultMinTargetDistance; // the conversion's distance band
    int maxDistance = kDefaultMaxTargetDistance;
    std::uint32_t jumpPx = kDefaultJumpPx; // a step longer than this is a jump
};

// Median, 95th percentile and largest value of a list (Percentile's rule); each none when the
// list is empty.
struct QualityStatistic
{
    std::optional<double> median;
    std::optional<double> p95;
    std::optional<double> largest;
};

struct QualitySummary
{
    std::string fileName;
    QualityOptions options;
    std::uint64_t records = 0;
    std::array<std::uint64_t, kCenterCaseCount> cases{}; // records of each case, by CenterCase
    // Over "computed" records only: the others have no position of their own from the targets.
    QualityStatistic positionDistancePx;
    QualityStatistic headingDifferenceDeg;
    std::uint64_t jumps = 0;               // steps longer than options.jumpPx
    std::vector<QualityJump> largestJumps; // of those, the five largest, largest first
    std::optional<RecordRun> longestGap;   // records in a row without a computed center

    [[nodiscard]] std::uint64_t Count(CenterCase centerCase) const;
    // The count's share of the records, 0 to 1; none for a track without records.
    [[nodiscard]] std::optional<double> Share(CenterCase centerCase) const;
};

// Takes every record's measure, in file order, during the report's pass.
class IQualityRows
{
public:
    virtual ~IQualityRows() = default;
    // False stops the pass (the rows could not be kept).
    [[nodiscard]] virtual bool Add(const RecordQuality& quality) = 0;
};

// The report as a consumer of one pass. It can hand every record's measure to rows (not owned), so
// that a per-record table is written in the same pass.
class CTrackingQualityReport final : public IRecordConsumer
{
public:
    explicit CTrackingQualityReport(const QualityOptions& options, IQualityRows* rows = nullptr);

    int Begin(const TrackSourceInfo& source) override;
    // kErrWrite when the rows refused a record.
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    int End() override;
    void Abandon() override;

    // Complete after End; the figures so far before it; none after Abandon.
    [[nodiscard]] const QualitySummary& Summary() const { return m_summary; }
    // The memory the values of the percentiles hold now, in bytes (none after End).
    [[nodiscard]] std::size_t ValueBytes() const
    {
        return m_squaredDistances.Bytes() + m_headingDifferences.Bytes();
    }

private:
    void Add(const RecordMeasure& measure);
    void ReleaseValues();

    QualityOptions m_options;
    IQualityRows* m_pRows;
    CRecordQualityMeter m_meter;
    QualitySummary m_summary;
    // Of the computed records, for the percentiles: squared distances (distances below 64 pixels
    // only counted) and heading differences (0 to 180, all counted).
    CWholeValues m_squaredDistances;
    CWholeValues m_headingDifferences;
    CLargestJumps m_largestJumps;
    CLongestGap m_longestGap;
};

// The figures as "name: value" lines, the text tracktool quality prints and the window shows.
// Names are stable, for scripts; a value that does not exist (no computed record, no gap) reads
// "none"; pixels, degrees, shares and seconds have 6 decimals.
[[nodiscard]] std::vector<std::string> FormatQualityFigures(const QualitySummary& summary);
