#include "analysis/VisitTable.h"

#include "analysis/Clock.h"
#include "analysis/EntryRules.h"
#include "analysis/RawVisits.h"
#include "base/ResultCodes.h"
#include "trackfile/Arena.h"

#include <algorithm>
#include <cassert>
#include <cmath>

double VisitRow::DurationSeconds() const
{
    return RecordsToSeconds(DurationRecords());
}

std::optional<std::int64_t> VisitRow::DurationTimestamp() const
{
    if (!leaveTimestamp)
        return std::nullopt;
    // Taken unsigned so that timestamps at opposite ends of the range do not overflow.
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(*leaveTimestamp) -
                                     static_cast<std::uint64_t>(enterTimestamp));
}

namespace
{
bool IsOffPlot(std::int64_t x, std::int64_t y)
{
    return x < 0 || x >= kArenaWidth || y < 0 || y >= kArenaHeight;
}

// The records that belong to at least one visit: the union of every visit's [enter, leave).
std::uint64_t CountRecordsInVisits(const std::vector<VisitRow>& startOrder)
{
    std::uint64_t covered = 0;
    std::uint64_t reach = 0; // every record below this is counted already
    for (const VisitRow& visit : startOrder)
    {
        const std::uint64_t from = std::max(visit.enterRecord, reach);
        if (visit.leaveRecord > from)
        {
            covered += visit.leaveRecord - from;
            reach = visit.leaveRecord;
        }
    }
    return covered;
}

RegionSummary SummariseRegion(std::int32_t region, const std::string& name, const RegionShape& shape,
                              std::int32_t margin, const std::vector<VisitRow>& startOrder,
                              std::uint64_t records)
{
    RegionSummary summary;
    summary.region = region;
    summary.name = name;
    summary.rect = ShapeBox(shape);
    summary.shape = shape.kind;
    summary.margin = margin;
    std::uint64_t completeRecords = 0;
    std::uint64_t longest = 0;
    for (const VisitRow& visit : startOrder)
    {
        if (visit.region != region)
            continue;
        if (!summary.latencyRecords)
            summary.latencyRecords = visit.enterRecord; // the first visit to start
        ++summary.entries;
        summary.timeInsideRecords += visit.DurationRecords();
        if (visit.complete)
        {
            ++summary.completeVisits;
            completeRecords += visit.DurationRecords();
            longest = std::max(longest, visit.DurationRecords());
        }
    }
    summary.timeInsideSeconds = RecordsToSeconds(summary.timeInsideRecords);
    if (records > 0)
        summary.shareOfSession =
            static_cast<double>(summary.timeInsideRecords) / static_cast<double>(records);
    if (summary.latencyRecords)
        summary.latencySeconds = RecordsToSeconds(*summary.latencyRecords);
    if (summary.completeVisits > 0)
    {
        summary.meanVisitSeconds =
            RecordsToSeconds(completeRecords) / static_cast<double>(summary.completeVisits);
        summary.longestVisitSeconds = RecordsToSeconds(longest);
    }
    return summary;
}
} // namespace

namespace
{
std::optional<StillnessRule> StillnessOf(const AnalysisSettings& settings)
{
    if (!settings.immobileBelow)
        return std::nullopt;
    const bool inCm = settings.immobileBelow->unit == SpeedUnit::CmPerSecond;
    return StillnessRule{settings.immobileBelow->value,
                         inCm ? CalibrationFactor(settings.calibration).value_or(1.0) : 1.0};
}
} // namespace

CVisitTableBuilder::CVisitTableBuilder(const CRegionTable& table, std::int32_t margin,
                                       const AnalysisSettings& settings)
    : m_nMargin(margin), m_nMergeGapRecords(settings.MergeGapRecords()),
      m_nMinVisitRecords(settings.MinVisitRecords()), m_cmPerPx(CalibrationFactor(settings.calibration)),
      m_bImmobility(settings.immobileBelow.has_value()),
      m_movement(settings.speedWindow, StillnessOf(settings), settings.MinImmobileRecords())
{
    assert(!FindSettingsProblem(settings) && "the analysis settings are checked before a pass");
    if (const auto binRecords = settings.BinRecords())
        m_bins.emplace(*binRecords);
    const std::int32_t count = std::clamp(table.m_nRegionCount, 0, kMaxRegions);
    for (std::int32_t j = 0; j < count; ++j)
    {
        m_shapes.push_back(table.ShapeOf(j));
        m_zones.push_back(MakeRegionZones(m_shapes.back(), margin));
        m_names.push_back(table.m_regionNames[static_cast<std::size_t>(j)]);
    }
}

int CVisitTableBuilder::Begin(const TrackSourceInfo& /*source*/)
{
    m_states.assign(m_shapes.size(), RegionVisitState{});
    m_visits.clear();
    m_nRecords = 0;
    m_pathLength = 0.0;
    m_nOutsidePlot = 0;
    m_result = VisitTable{};
    m_movement.Reset();
    if (m_bins)
        m_bins->Reset();
    return kOk;
}

int CVisitTableBuilder::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    for (std::size_t k = 0; k < records.size(); ++k)
        StepRecord(records[k], firstIndex + k);
    return kOk;
}

void CVisitTableBuilder::StepRecord(const TrackRecord& record, std::uint64_t index)
{
    const std::int64_t x = record.x;
    const std::int64_t y = record.y;
    const std::int64_t t = record.timestamp;
    for (std::size_t j = 0; j < m_shapes.size(); ++j)
    {
        FollowVisit(m_states[j], static_cast<std::int32_t>(j), ClassifyPosition(x, y, m_zones[j]), index, t,
                    m_visits);
    }
    if (m_nRecords == 0)
        m_nFirstTimestamp = t;
    else
    {
        const auto dx = static_cast<double>(x - m_nLastX);
        const auto dy = static_cast<double>(y - m_nLastY);
        const double step = std::sqrt(dx * dx + dy * dy);
        m_pathLength += step;
        AddStep(m_nRecords, step);
    }
    m_nLastTimestamp = t;
    m_nLastX = x;
    m_nLastY = y;
    if (IsOffPlot(x, y))
        ++m_nOutsidePlot;
    ++m_nRecords;
}

void CVisitTableBuilder::AddStep(std::uint64_t record, double stepPx)
{
    if (m_bins)
        m_bins->AddStep(record, stepPx);
    if (const auto bout = m_movement.AddStep(record, stepPx); bout && m_bins)
        m_bins->AddImmobile(bout->from, bout->to);
}

int CVisitTableBuilder::End()
{
    Finish();
    return kOk;
}

void CVisitTableBuilder::Abandon()
{
    m_states.clear();
    m_visits.clear();
    m_result = VisitTable{};
}

void CVisitTableBuilder::Finish()
{
    // A visit still inside when the records end is kept, open, up to the record count.
    for (std::size_t j = 0; j < m_states.size(); ++j)
        KeepOpenVisit(m_states[j], static_cast<std::int32_t>(j), m_nRecords, m_visits);
    m_states.clear();
    ApplyEntryRules(m_visits, EntryRules{m_nMergeGapRecords, m_nMinVisitRecords});

    VisitTable& result = m_result;
    result.visits = std::move(m_visits);
    m_visits.clear();
    std::sort(result.visits.begin(), result.visits.end(),
              [](const VisitRow& a, const VisitRow& b) {
                  return a.enterRecord != b.enterRecord ? a.enterRecord < b.enterRecord : a.region < b.region;
              });
    std::vector<std::uint64_t> numbers(m_shapes.size(), 0);
    for (VisitRow& visit : result.visits)
        visit.visit = ++numbers[static_cast<std::size_t>(visit.region)];

    result.regions.clear();
    for (std::size_t j = 0; j < m_shapes.size(); ++j)
        result.regions.push_back(SummariseRegion(static_cast<std::int32_t>(j), m_names[j], m_shapes[j],
                                                 m_nMargin, result.visits, m_nRecords));

    SessionSummary& session = result.session;
    session.records = m_nRecords;
    session.durationSeconds = RecordsToSeconds(m_nRecords);
    if (m_nRecords > 0)
    {
        session.firstTimestamp = m_nFirstTimestamp;
        session.lastTimestamp = m_nLastTimestamp;
    }
    session.recordsOutsideAll = m_nRecords - CountRecordsInVisits(result.visits);
    session.timeOutsideAllSeconds = RecordsToSeconds(session.recordsOutsideAll);
    session.pathLengthPx = m_pathLength;
    if (m_nRecords >= 2)
        session.meanSpeedPxPerSecond = m_pathLength / RecordsToSeconds(m_nRecords - 1);
    session.recordsOutsidePlot = m_nOutsidePlot;
    FinishMovement();
}

void CVisitTableBuilder::FinishMovement()
{
    SessionSummary& session = m_result.session;
    if (m_cmPerPx)
    {
        session.pathLengthCm = m_pathLength * *m_cmPerPx;
        if (m_nRecords >= 2)
            session.meanSpeedCmPerSecond = *session.pathLengthCm / RecordsToSeconds(m_nRecords - 1);
    }
    const auto bout = m_movement.Finish(m_nRecords);
    if (bout && m_bins)
        m_bins->AddImmobile(bout->from, bout->to);
    if (m_bImmobility)
    {
        session.immobileRecords = m_movement.ImmobileRecords();
        session.immobileSeconds = RecordsToSeconds(m_movement.ImmobileRecords());
        session.immobilityBouts = m_movement.Bouts();
    }
    if (m_bins)
        m_result.bins = m_bins->Finish(m_nRecords, m_result.visits, m_cmPerPx, m_bImmobility);
}
