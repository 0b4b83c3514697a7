// Occupancy: where on the plot a track spent its time. The 640 x 480 plot is cut into square bins
// of B pixels, ceil(640 / B) columns by ceil(480 / B) rows, the last column and row narrower when B
// does not divide the plot. Each record adds one record's time (1/60 s) to the bin of its position
// (column x / B, row y / B); positions off the plot are counted apart, never binned. Counts stay
// whole numbers of records, so sums are exact; seconds come at the end, with optional Gaussian
// smoothing that keeps the total time.
#pragma once

#include "trackfile/RecordStream.h"

#include <cassert>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::int32_t kDefaultBinPixels = 10;

// Seconds per bin of a grid, smoothed or not: what pictures and the CSV matrix show. A bin of 0
// seconds was never reached (with smoothing: by no record's spread either).
struct OccupancyMap
{
    std::int32_t binPixels = kDefaultBinPixels;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    std::vector<double> seconds; // rows x columns, top row first, each row left to right

    [[nodiscard]] double At(std::int32_t column, std::int32_t row) const
    {
        assert(column >= 0 && column < columns && row >= 0 && row < rows &&
               seconds.size() == static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows) &&
               "a bin of the map is asked for");
        return seconds[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                       static_cast<std::size_t>(column)];
    }
    [[nodiscard]] double Total() const;
    // The largest bin's seconds (0 for a map without time).
    [[nodiscard]] double Largest() const;
};

// Columns and rows of the grid for bins of binPixels (below 1 counts as 1).
[[nodiscard]] std::int32_t OccupancyColumns(std::int32_t binPixels);
[[nodiscard]] std::int32_t OccupancyRows(std::int32_t binPixels);

// The map smoothed with a Gaussian of sigma bins (0 or less: unchanged). The kernel is cut at four
// sigma and, for each source bin, scaled to sum to 1 over the bins inside the grid, so that time
// near the edges stays on the plot: the total is kept. Rows first, then columns; each pass keeps it.
[[nodiscard]] OccupancyMap SmoothOccupancy(const OccupancyMap& map, double sigmaBins);

class COccupancyGrid final : public IRecordConsumer
{
public:
    // An empty grid of bins binPixels wide (below 1 counts as 1).
    explicit COccupancyGrid(std::int32_t binPixels = kDefaultBinPixels);

    // Empties the grid: each pass counts its file alone.
    int Begin(const TrackSourceInfo& source) override;
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    int End() override;

    // One record at (x, y).
    void Add(std::int32_t x, std::int32_t y);
    void Clear();

    [[nodiscard]] std::int32_t BinPixels() const { return m_nBinPixels; }
    [[nodiscard]] std::int32_t Columns() const { return m_nColumns; }
    [[nodiscard]] std::int32_t Rows() const { return m_nRows; }
    // Records in a bin (0 for a bin that is not on the grid).
    [[nodiscard]] std::uint64_t Count(std::int32_t column, std::int32_t row) const;
    [[nodiscard]] std::uint64_t RecordsBinned() const { return m_nBinned; }
    [[nodiscard]] std::uint64_t RecordsOffPlot() const { return m_nOffPlot; }
    // The time binned: RecordsBinned at 60 records a second.
    [[nodiscard]] double SecondsBinned() const;

    // Seconds per bin, smoothed with a Gaussian of sigma bins (0: as counted).
    [[nodiscard]] OccupancyMap Map(double sigmaBins = 0.0) const;

private:
    std::int32_t m_nBinPixels;
    std::int32_t m_nColumns;
    std::int32_t m_nRows;
    std::vector<std::uint64_t> m_counts; // rows x columns, top row first
    std::uint64_t m_nBinned = 0;
    std::uint64_t m_nOffPlot = 0;
};
