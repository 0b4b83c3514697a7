// What a batch writes for each track, and with which settings: the set of outputs asked for
// ("--outputs events,visits"), and the outputs of one track made for one pass, each named and
// written as its single-file command writes it.
#pragma once

#include "analysis/TrackOutputs.h"
#include "analysis/TrackingQuality.h"
#include "cli/BatchPictures.h"
#include "regions/RegionTable.h"
#include "regions/VisitRule.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class BatchOutput
{
    Events,
    Visits,
    Records,
    Heatmap,
    Plot,
    Quality,
};
inline constexpr std::size_t kBatchOutputKinds = 6;

// The name of each output in an --outputs list, in the order of BatchOutput.
inline constexpr std::array<std::string_view, kBatchOutputKinds> kBatchOutputNames = {
    "events", "visits", "records", "heatmap", "plot", "quality"};
inline constexpr std::string_view kDefaultBatchOutputs = "events,visits,heatmap,quality";

class CBatchOutputSet
{
public:
    void Add(BatchOutput output) { m_bits.set(static_cast<std::size_t>(output)); }
    [[nodiscard]] bool Has(BatchOutput output) const { return m_bits.test(static_cast<std::size_t>(output)); }
    [[nodiscard]] bool IsEmpty() const { return m_bits.none(); }

private:
    std::bitset<kBatchOutputKinds> m_bits;
};

// Names separated by commas, each once or more; nothing when a name is unknown or empty.
[[nodiscard]] std::optional<CBatchOutputSet> ParseBatchOutputs(std::string_view text);

struct BatchSettings
{
    std::string outDir; // absolute; each track's outputs go below it in the folder of its label
    CBatchOutputSet outputs;
    CRegionTable regions; // none without a layout
    std::int32_t margin = kDefaultRegionMargin;
    std::string layoutPath; // empty without a layout; outputs older than it are made again
    QualityOptions quality;
    HeatmapSettings heatmap;
    PlotSettings plot;
    bool force = false; // make every track's outputs again, even when they are up to date
};

// Where the outputs of the track with this label go: the folder of the label below the output
// folder, named after the label's last part.
[[nodiscard]] TrackOutputPlace MakeBatchPlace(const std::string& outDir, const std::string& label);

// The outputs of one track, in the order of BatchOutput.
[[nodiscard]] std::vector<std::unique_ptr<ITrackOutput>> MakeBatchOutputs(const BatchSettings& settings,
                                                                          const TrackOutputPlace& place);
