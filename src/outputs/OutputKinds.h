// The outputs a track can have, one row each, in the order a pass ends them: what --outputs names,
// what the help texts list, what a batch makes for every track and what the window offers read this
// table. Adding an output is one class behind ITrackOutput with its Make...At (its own pair of
// files) and one row here.
#pragma once

#include "outputs/EventFilesOutput.h"
#include "outputs/HeatmapOutput.h"
#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"
#include "outputs/QualityOutput.h"
#include "outputs/RecordsOutput.h"
#include "outputs/SensitivityOutput.h"
#include "outputs/TrackOutput.h"
#include "outputs/TrackPlotOutput.h"
#include "outputs/VisitTablesOutput.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Makes the output of a row for a track at place, named as the single-file commands name it.
using MakeTrackOutput = std::unique_ptr<ITrackOutput> (*)(const OutputSettings& settings,
                                                          const TrackOutputPlace& place);

struct OutputKind
{
    std::string_view name; // as --outputs spells it
    MakeTrackOutput make;
};

inline constexpr std::array kOutputKinds = {
    OutputKind{"events", &MakeEventFilesAt},       // <track>_<region>_Enter.qsf and _Leave.qsf
    OutputKind{"visits", &MakeVisitTablesAt},      // <track>_visits.csv, _regions.csv, _session.csv
    OutputKind{"records", &MakeRecordsAt},         // <track>_track.csv
    OutputKind{"heatmap", &MakeHeatmapAt},         // <track>_heatmap.png and _occupancy.csv
    OutputKind{"plot", &MakeTrackPlotAt},          // <track>_plot.png
    OutputKind{"sensitivity", &MakeSensitivityAt}, // <track>_sensitivity.csv and _sensitivity.png
    OutputKind{"quality", &MakeQualityAt},         // <track>_quality.txt
};
inline constexpr std::string_view kDefaultOutputList = "events,visits,heatmap,quality";

// The row of an output by its name; nothing for a name not in the table.
[[nodiscard]] std::optional<std::size_t> FindOutputKind(std::string_view name);

// The names of the table joined by separator ("events, visits, ..."), for help texts.
[[nodiscard]] std::string OutputKindNames(std::string_view separator);

// A choice of rows of the table.
class COutputSet
{
public:
    void Add(std::size_t kind);
    [[nodiscard]] bool Has(std::size_t kind) const;
    [[nodiscard]] bool Has(std::string_view name) const;
    [[nodiscard]] bool IsEmpty() const { return m_kinds.none(); }

private:
    std::bitset<kOutputKinds.size()> m_kinds;
};

// Names separated by commas, each once or more; nothing when a name is unknown or empty.
[[nodiscard]] std::optional<COutputSet> ParseOutputList(std::string_view text);

// The outputs of the set for a track at place, in the table's order.
[[nodiscard]] std::vector<std::unique_ptr<ITrackOutput>>
MakeTrackOutputs(const COutputSet& set, const OutputSettings& settings, const TrackOutputPlace& place);
