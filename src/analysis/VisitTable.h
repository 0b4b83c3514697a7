// The visit table of a track: every visit of every region, by the one visit rule of
// regions/VisitRule.h (the event files' rule), with the open visit at the end kept, and the
// figures per region and per session that the CSV exports, the window and batch runs show alike.
// Analysis settings (regions/AnalysisSettings.h) add the entry rules (analysis/EntryRules.h), the
// movement figures (analysis/Movement.h) and time bins (analysis/TimeBins.h); by default they
// change nothing.
//
// A visit covers the records enterRecord <= record < leaveRecord. Seconds are records / 60 (the
// program's own clock); the raw timestamps are given beside them as they stand.
#pragma once

#include "analysis/Movement.h"
#include "analysis/TimeBins.h"
#include "base/Geometry.h"
#include "regions/AnalysisSettings.h"
#include "regions/RegionTable.h"
#include "regions/VisitRule.h"
#include "trackfile/RecordStream.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One visit of one region (a row of <track>_visits.csv).
struct VisitRow
{
    std::int32_t region = 0;                    // table slot, from 0
    std::uint64_t visit = 0;                    // from 1 within its region, in the order they started
    std::uint64_t enterRecord = 0;              // first record inside the rectangle on the way in
    std::uint64_t leaveRecord = 0;              // first record outside afterwards; the record count when open
    std::int64_t enterTimestamp = 0;            // of the enter record
    std::optional<std::int64_t> leaveTimestamp; // of the leave record; none when open
    bool complete = true;                       // false: still inside when the records end

    [[nodiscard]] std::uint64_t DurationRecords() const { return leaveRecord - enterRecord; }
    // Inside from the first record on.
    [[nodiscard]] bool Initial() const { return enterRecord == 0; }
    [[nodiscard]] double DurationSeconds() const;
    // Leave timestamp - enter timestamp (wrapping like the tracker's own counter would); none when open.
    [[nodiscard]] std::optional<std::int64_t> DurationTimestamp() const;
};

// The figures of one region (a row of <track>_regions.csv).
struct RegionSummary
{
    std::int32_t region = 0;
    std::string name;
    Rect rect; // corners as drawn; a circle's or polygon's box
    ShapeKind shape = ShapeKind::Rectangle;
    std::int32_t margin = 0;   // the visit rule's margin
    std::uint64_t entries = 0; // every visit, the open one included
    std::uint64_t completeVisits = 0;
    std::uint64_t timeInsideRecords = 0; // the records of every visit, the open one included
    double timeInsideSeconds = 0.0;
    std::optional<double> shareOfSession; // timeInsideRecords / records; none without records
    std::optional<std::uint64_t>
        latencyRecords; // record 0 to the first visit's enter; none when never entered
    std::optional<double> latencySeconds;
    std::optional<double> meanVisitSeconds;    // complete visits only; none without one
    std::optional<double> longestVisitSeconds; // complete visits only; none without one
};

// The figures of the whole track (the row of <track>_session.csv).
struct SessionSummary
{
    std::uint64_t records = 0;
    double durationSeconds = 0.0;
    std::optional<std::int64_t> firstTimestamp; // none without records
    std::optional<std::int64_t> lastTimestamp;
    std::uint64_t recordsOutsideAll = 0; // records that belong to no visit of any region
    double timeOutsideAllSeconds = 0.0;
    double pathLengthPx = 0.0;                  // straight steps between consecutive positions
    std::optional<double> meanSpeedPxPerSecond; // path / ((records - 1) / 60); none below 2 records
    std::uint64_t recordsOutsidePlot = 0;       // x < 0, x >= 640, y < 0 or y >= 480
    // With a calibration: the path in centimetres (pixels x F) and it over (records - 1) / 60
    // (none below 2 records). None without one.
    std::optional<double> pathLengthCm;
    std::optional<double> meanSpeedCmPerSecond;
    // With an immobility threshold: the records of the immobility bouts, in seconds, and the
    // number of bouts. None without one.
    std::optional<std::uint64_t> immobileRecords;
    std::optional<double> immobileSeconds;
    std::optional<std::uint64_t> immobilityBouts;
};

struct VisitTable
{
    // In the order the visits started; regions in table order when two start at the same record.
    std::vector<VisitRow> visits;
    std::vector<RegionSummary> regions; // table order
    SessionSummary session;
    std::optional<TimeBins> bins; // the session's figures per time bin; none without bins
};

// Builds the visit table during one pass over a track. It keeps the visits found, never the
// records, so its memory does not grow with the file.
class CVisitTableBuilder final : public IRecordConsumer
{
public:
    // Regions 0 .. m_nRegionCount-1 of table (copied), each judged by its shape with the given
    // margin, and counted by settings that FindSettingsProblem accepts.
    CVisitTableBuilder(const CRegionTable& table, std::int32_t margin,
                       const AnalysisSettings& settings = AnalysisSettings{});

    int Begin(const TrackSourceInfo& source) override;                                    // 0
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override; // 0
    int End() override; // 0: the table is complete
    void Abandon() override;

    // After End: the table. Before, or after an abandoned pass, an empty table.
    [[nodiscard]] const VisitTable& Result() const { return m_result; }

private:
    void StepRecord(const TrackRecord& record, std::uint64_t index);
    void AddStep(std::uint64_t record, double stepPx);
    void Finish();
    void FinishMovement();

    std::vector<RegionShape> m_shapes;
    std::vector<RegionZones> m_zones; // of m_shapes, worked out once
    std::vector<std::string> m_names;
    std::int32_t m_nMargin;
    std::vector<RegionVisitState> m_states; // one per region
    std::vector<VisitRow> m_visits;         // as they end; open ones added at the end
    std::uint64_t m_nRecords = 0;
    std::int64_t m_nFirstTimestamp = 0;
    std::int64_t m_nLastTimestamp = 0;
    std::int64_t m_nLastX = 0;
    std::int64_t m_nLastY = 0;
    double m_pathLength = 0.0;
    std::uint64_t m_nOutsidePlot = 0;
    VisitTable m_result;
    // What the analysis settings add.
    std::uint64_t m_nMergeGapRecords = 0;
    std::uint64_t m_nMinVisitRecords = 0;
    std::optional<double> m_cmPerPx;
    bool m_bImmobility = false;
    CMovementTracker m_movement;
    std::optional<CTimeBinAccumulator> m_bins;
};
