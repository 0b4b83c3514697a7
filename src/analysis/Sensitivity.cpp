#include "analysis/Sensitivity.h"

#include "analysis/EntryRules.h"
#include "analysis/RawVisits.h"
#include "base/ResultCodes.h"
#include "trackfile/BlockReader.h"

#include <algorithm>
#include <cassert>

namespace
{
constexpr std::size_t kTenthsPerSecond = 10;

// Minimum visit k of the grid in records, converted as every setting in seconds is.
std::uint64_t GridMinVisitRecords(std::size_t k)
{
    return SecondsToRecords(SensitivityValue(SensitivityParameter::MinVisit, k));
}
} // namespace

std::size_t SensitivityValueCount(SensitivityParameter parameter)
{
    return parameter == SensitivityParameter::MinVisit ? kSensitivityMinVisitCount : kSensitivityMarginCount;
}

double SensitivityValue(SensitivityParameter parameter, std::size_t k)
{
    assert(k < SensitivityValueCount(parameter) && "a value on the grid");
    if (parameter == SensitivityParameter::MinVisit)
        return static_cast<double>(k) / static_cast<double>(kTenthsPerSecond);
    return static_cast<double>(k) * kSensitivityMarginStep;
}

std::string FormatSensitivityValue(SensitivityParameter parameter, std::size_t k)
{
    assert(k < SensitivityValueCount(parameter) && "a value on the grid");
    if (parameter == SensitivityParameter::Margin)
        return std::to_string(k * kSensitivityMarginStep);
    // Written from the whole tenths, so that no rounding of k / 10 can show.
    std::string text = std::to_string(k / kTenthsPerSecond);
    if (k % kTenthsPerSecond != 0)
        text += "." + std::to_string(k % kTenthsPerSecond);
    return text;
}

std::string_view SensitivityParameterName(SensitivityParameter parameter)
{
    return parameter == SensitivityParameter::MinVisit ? "min_visit_s" : "margin";
}

std::span<const SensitivityFigures> RegionSensitivity::Series(SensitivityParameter parameter) const
{
    if (parameter == SensitivityParameter::MinVisit)
        return byMinVisit;
    return byMargin;
}

double SensitivityResult::CurrentValue(SensitivityParameter parameter) const
{
    return parameter == SensitivityParameter::MinVisit ? minVisitSeconds : static_cast<double>(margin);
}

std::optional<std::size_t> SensitivityResult::CurrentIndex(SensitivityParameter parameter) const
{
    return parameter == SensitivityParameter::MinVisit ? currentMinVisitIndex : currentMarginIndex;
}

CSensitivityBuilder::CSensitivityBuilder(const CRegionTable& table, std::int32_t margin,
                                         const AnalysisSettings& settings)
    : m_nMergeGapRecords(settings.MergeGapRecords()), m_nMinVisitRecords(settings.MinVisitRecords())
{
    assert(!FindSettingsProblem(settings) && "the analysis settings are checked before a pass");
    m_settings.margin = margin;
    m_settings.minVisitSeconds = settings.minVisitSeconds;
    m_settings.mergeGapSeconds = settings.mergeGapSeconds;
    for (std::size_t k = 0; k < kSensitivityMarginCount; ++k)
    {
        const auto gridMargin = static_cast<std::int32_t>(SensitivityValue(SensitivityParameter::Margin, k));
        m_margins.push_back(gridMargin);
        if (gridMargin == margin)
        {
            m_settings.currentMarginIndex = k;
            m_nCurrentSlot = k;
        }
    }
    if (!m_settings.currentMarginIndex)
    {
        m_nCurrentSlot = m_margins.size();
        m_margins.push_back(margin);
    }
    for (std::size_t k = 0; k < kSensitivityMinVisitCount; ++k)
        if (GridMinVisitRecords(k) == m_nMinVisitRecords)
            m_settings.currentMinVisitIndex = k;
    assert(m_margins.front() == 0 && "the pass judges every region at margin 0 first");

    const std::int32_t count = std::clamp(table.m_nRegionCount, 0, kMaxRegions);
    m_nRegions = static_cast<std::size_t>(count);
    for (std::int32_t j = 0; j < count; ++j)
    {
        const RegionShape shape = table.ShapeOf(j);
        for (const std::int32_t followed : m_margins)
            m_zones.push_back(MakeRegionZones(shape, followed));
        m_names.push_back(table.m_regionNames[static_cast<std::size_t>(j)]);
    }
    Restart();
}

void CSensitivityBuilder::Restart()
{
    m_states.assign(m_zones.size(), RegionVisitState{});
    m_allOutside.assign(m_nRegions, 1);
    m_visits.assign(m_margins.size(), {});
    m_nRecords = 0;
    m_result = SensitivityResult{};
}

int CSensitivityBuilder::Begin(const TrackSourceInfo& /*source*/)
{
    Restart();
    return kOk;
}

int CSensitivityBuilder::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    for (std::size_t k = 0; k < records.size(); ++k)
        StepRecord(records[k], firstIndex + k);
    return kOk;
}

void CSensitivityBuilder::StepRecord(const TrackRecord& record, std::uint64_t index)
{
    const std::int64_t x = record.x;
    const std::int64_t y = record.y;
    const std::int64_t t = record.timestamp;
    const std::size_t margins = m_margins.size();
    for (std::size_t j = 0; j < m_nRegions; ++j)
    {
        // The margin only sizes the core: a position outside a region at margin 0 (slot 0) is
        // outside at every margin. Stepping a state that is outside with a position outside changes
        // nothing, so a region whose states are all outside is passed over until the position
        // comes inside.
        const std::size_t first = j * margins;
        const std::int32_t outer = ClassifyPosition(x, y, m_zones[first]);
        if (outer == kZoneOutside && m_allOutside[j] != 0)
            continue;
        const auto region = static_cast<std::int32_t>(j);
        for (std::size_t slot = 0; slot < margins; ++slot)
        {
            const std::int32_t zone =
                slot == 0 || outer == kZoneOutside ? outer : ClassifyPosition(x, y, m_zones[first + slot]);
            FollowVisit(m_states[first + slot], region, zone, index, t, m_visits[slot]);
        }
        m_allOutside[j] = outer == kZoneOutside ? 1 : 0;
    }
    ++m_nRecords;
}

int CSensitivityBuilder::End()
{
    Finish();
    return kOk;
}

void CSensitivityBuilder::Abandon()
{
    Restart();
}

std::vector<SensitivityFigures> CSensitivityBuilder::Count(std::size_t slot,
                                                           std::uint64_t minVisitRecords) const
{
    std::vector<VisitRow> visits = m_visits[slot];
    ApplyEntryRules(visits, EntryRules{m_nMergeGapRecords, minVisitRecords});
    std::vector<SensitivityFigures> figures(m_nRegions);
    for (const VisitRow& visit : visits)
    {
        SensitivityFigures& region = figures[static_cast<std::size_t>(visit.region)];
        ++region.entries;
        region.insideRecords += visit.DurationRecords();
    }
    return figures;
}

void CSensitivityBuilder::Finish()
{
    const std::size_t margins = m_margins.size();
    for (std::size_t j = 0; j < m_nRegions; ++j)
        for (std::size_t slot = 0; slot < margins; ++slot)
            KeepOpenVisit(m_states[j * margins + slot], static_cast<std::int32_t>(j), m_nRecords,
                          m_visits[slot]);

    SensitivityResult result = m_settings;
    result.records = m_nRecords;
    result.regions.resize(m_nRegions);
    for (std::size_t j = 0; j < m_nRegions; ++j)
    {
        result.regions[j].region = static_cast<std::int32_t>(j);
        result.regions[j].name = m_names[j];
    }
    for (std::size_t k = 0; k < kSensitivityMarginCount; ++k)
    {
        const std::vector<SensitivityFigures> figures = Count(k, m_nMinVisitRecords);
        for (std::size_t j = 0; j < m_nRegions; ++j)
            result.regions[j].byMargin[k] = figures[j];
    }
    for (std::size_t k = 0; k < kSensitivityMinVisitCount; ++k)
    {
        const std::vector<SensitivityFigures> figures = Count(m_nCurrentSlot, GridMinVisitRecords(k));
        for (std::size_t j = 0; j < m_nRegions; ++j)
            result.regions[j].byMinVisit[k] = figures[j];
    }
    const std::vector<SensitivityFigures> current = Count(m_nCurrentSlot, m_nMinVisitRecords);
    for (std::size_t j = 0; j < m_nRegions; ++j)
        result.regions[j].current = current[j];
    Restart(); // the visits counted are let go; a new pass may follow
    m_result = std::move(result);
}

int BuildSensitivity(const std::string& path, const CRegionTable& regions, std::int32_t margin,
                     const AnalysisSettings& settings, SensitivityResult& result,
                     const StreamProgress& progress)
{
    CBlockReader reader;
    if (const int opened = reader.Open(path); opened != kOk)
        return opened;
    CSensitivityBuilder builder(regions, margin, settings);
    IRecordConsumer* consumers[] = {&builder};
    if (const int ran = reader.Run(consumers, progress); ran != kOk)
        return ran;
    result = builder.Result();
    return kOk;
}
