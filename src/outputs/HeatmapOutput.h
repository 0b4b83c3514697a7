// The occupancy heatmap (analysis/Occupancy.h) as an output: the picture for a paper as PNG
// (plot/HeatmapPicture.h) and, when asked, its matrix as CSV (analysis/OccupancyCsv.h), put in
// place together or not at all. Without a picture nothing is written and the grid stays with the
// output for the caller (the window draws it on the plot).
#pragma once

#include "analysis/Occupancy.h"
#include "base/OutputGroup.h"
#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"
#include "outputs/TrackOutput.h"
#include "plot/HeatmapPicture.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct HeatmapDestination
{
    std::string picturePath; // empty: nothing is written
    std::string matrixPath;  // empty: no matrix
};

class CHeatmapOutput final : public ITrackOutput
{
public:
    // regions: outlined and named on the picture.
    CHeatmapOutput(HeatmapDestination destination, const HeatmapSettings& settings,
                   std::vector<HeatmapRegion> regions = {});

    [[nodiscard]] std::vector<std::string> Files() const override { return m_files.Paths(); }
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::Positions; }
    [[nodiscard]] Problem Prepare(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Begin(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    [[nodiscard]] Problem End() override;
    void Abandon() override;
    // "<track>: <s> s binned, <n> records off the plot".
    [[nodiscard]] std::vector<std::string> SummaryLines() const override;

    // The time in each bin, complete after End.
    [[nodiscard]] const COccupancyGrid& Grid() const { return m_grid; }

private:
    HeatmapSettings m_settings;
    std::vector<HeatmapRegion> m_regions;
    COccupancyGrid m_grid;
    std::string m_strFileName; // the track's, for the title
    COutputGroup m_files;
    std::optional<std::size_t> m_picture; // in m_files
    std::optional<std::size_t> m_matrix;
};

// The messages of a matrix that cannot be created or written, for path.
[[nodiscard]] std::string MatrixCreateFailedMessage(std::string_view path);
[[nodiscard]] std::string MatrixWriteFailedMessage(std::string_view path);

// For the table of outputs (OutputKinds.h): <track>_heatmap.png and <track>_occupancy.csv at place.
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeHeatmapAt(const OutputSettings& settings,
                                                          const TrackOutputPlace& place);
