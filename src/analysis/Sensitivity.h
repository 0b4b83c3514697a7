// How much a region's figures depend on the entry rules that count them: each region's entries and
// time inside at minimum visits of 0, 0.1, ..., 2 s (at the current margin and merge gap) and at
// margins of 0, 2, ..., 16 (at the current merge gap and minimum visit), beside its figures under the
// current settings, which are the visit table's.
//
// One pass over the track: each region has a visit state per margin, the raw visits are kept per
// margin (never the records), and the entry rules (analysis/EntryRules.h) are applied to them at
// the end, once per value. The visit rule and the rules are those of the visit table, so every
// figure here is the one a visit table counted with that margin and minimum visit would give.
#pragma once

#include "analysis/VisitTable.h"
#include "regions/AnalysisSettings.h"
#include "regions/RegionTable.h"
#include "regions/VisitRule.h"
#include "trackfile/RecordStream.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The two rules varied, each over a grid of values.
enum class SensitivityParameter
{
    MinVisit, // rules.min_visit_s: 0, 0.1, ..., 2 seconds
    Margin,   // the visit rule's margin: 0, 2, ..., 16 pixels
};

inline constexpr std::size_t kSensitivityMinVisitCount = 21;
inline constexpr std::size_t kSensitivityMarginCount = 9;
inline constexpr std::int32_t kSensitivityMarginStep = 2;

// Values on the grid of parameter.
[[nodiscard]] std::size_t SensitivityValueCount(SensitivityParameter parameter);
// Value k of parameter's grid: k / 10 seconds, or 2k pixels.
[[nodiscard]] double SensitivityValue(SensitivityParameter parameter, std::size_t k);
// The same value as every table and picture writes it: the fewest digits, no trailing zeros ("0",
// "0.1", "1", "1.5", "2"; "0", "2", "16").
[[nodiscard]] std::string FormatSensitivityValue(SensitivityParameter parameter, std::size_t k);
// "min_visit_s" or "margin": the parameter as the table names it.
[[nodiscard]] std::string_view SensitivityParameterName(SensitivityParameter parameter);

// A region's figures under one set of rules.
struct SensitivityFigures
{
    std::uint64_t entries = 0;       // visits, the open one at the end included
    std::uint64_t insideRecords = 0; // the records of those visits
    friend bool operator==(const SensitivityFigures&, const SensitivityFigures&) = default;
};

struct RegionSensitivity
{
    std::int32_t region = 0; // table slot, from 0
    std::string name;
    std::array<SensitivityFigures, kSensitivityMinVisitCount> byMinVisit; // at the current margin
    std::array<SensitivityFigures, kSensitivityMarginCount> byMargin;     // at the current minimum visit
    SensitivityFigures current; // under the current settings: the visit table's figures

    // The figures over parameter's grid, value by value.
    [[nodiscard]] std::span<const SensitivityFigures> Series(SensitivityParameter parameter) const;
};

struct SensitivityResult
{
    // The current settings the grids vary from.
    std::int32_t margin = 0;
    double minVisitSeconds = 0.0;
    double mergeGapSeconds = 0.0;
    // The grid values counted exactly as the current settings are (the same margin, or a minimum
    // visit of the same number of records): where a picture or a dialog marks the current value on
    // the grid. None when the current value lies between grid values or beyond them.
    std::optional<std::size_t> currentMinVisitIndex;
    std::optional<std::size_t> currentMarginIndex;
    std::uint64_t records = 0;
    std::vector<RegionSensitivity> regions; // table order

    // The current value of parameter, in its unit (seconds or pixels).
    [[nodiscard]] double CurrentValue(SensitivityParameter parameter) const;
    [[nodiscard]] std::optional<std::size_t> CurrentIndex(SensitivityParameter parameter) const;
};

// Works out the sensitivity during one pass over a track, beside or instead of a visit table.
class CSensitivityBuilder final : public IRecordConsumer
{
public:
    // Regions 0 .. m_nRegionCount-1 of table (copied), judged by their shapes; margin and settings
    // (which FindSettingsProblem accepts) are the current ones.
    CSensitivityBuilder(const CRegionTable& table, std::int32_t margin,
                        const AnalysisSettings& settings = AnalysisSettings{});

    int Begin(const TrackSourceInfo& source) override;                                    // 0
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override; // 0
    int End() override; // 0: the result is complete
    void Abandon() override;

    // After End: the result. Before, or after an abandoned pass, one without regions.
    [[nodiscard]] const SensitivityResult& Result() const { return m_result; }

private:
    // Every region outside at every margin, no visit and no result yet: as a pass begins.
    void Restart();
    void StepRecord(const TrackRecord& record, std::uint64_t index);
    void Finish();
    [[nodiscard]] std::vector<SensitivityFigures> Count(std::size_t slot,
                                                        std::uint64_t minVisitRecords) const;

    std::vector<std::string> m_names;
    std::size_t m_nRegions = 0;
    // The margins followed: the grid's, then the current one when it is not on the grid.
    std::vector<std::int32_t> m_margins;
    std::size_t m_nCurrentSlot = 0; // the current margin's place in m_margins
    // Region by region, one entry per margin (region j, margin slot s at j * margins + s).
    std::vector<RegionZones> m_zones;
    std::vector<RegionVisitState> m_states;
    // Per region: every one of its states has the position outside, as the last record left it.
    std::vector<std::uint8_t> m_allOutside;
    std::vector<std::vector<VisitRow>> m_visits; // per margin slot, as they end
    std::uint64_t m_nRecords = 0;
    std::uint64_t m_nMergeGapRecords = 0;
    std::uint64_t m_nMinVisitRecords = 0;
    SensitivityResult m_settings; // the result's settings and marks, filled in at construction
    SensitivityResult m_result;
};

// Opens the track at path and works out its sensitivity in one pass of the block reader. kOk; the
// reader's result otherwise (the user has been told, result untouched).
int BuildSensitivity(const std::string& path, const CRegionTable& regions, std::int32_t margin,
                     const AnalysisSettings& settings, SensitivityResult& result,
                     const StreamProgress& progress = {});
