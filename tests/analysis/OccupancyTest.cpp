// The occupancy grid: its size for bins that do and do not divide the plot, the bin of a position
// at the bins' edges, positions off the plot in every direction, a pass over a crafted file, and
// smoothing that keeps the total time, and the CSV matrix.
#include "analysis/Occupancy.h"

#include "analysis/OccupancyCsv.h"
#include "base/ResultCodes.h"
#include "support/TempDir.h"
#include "support/TrackFileBuilder.h"
#include "trackfile/BlockReader.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <random>

namespace
{
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

struct Bin
{
    std::int32_t column;
    std::int32_t row;
};

// The single bin that holds a time in the grid, or nothing.
std::optional<Bin> OnlyBinCounted(const COccupancyGrid& grid)
{
    std::optional<Bin> found;
    for (std::int32_t row = 0; row < grid.Rows(); ++row)
        for (std::int32_t column = 0; column < grid.Columns(); ++column)
            if (grid.Count(column, row) != 0)
            {
                if (found)
                    return std::nullopt;
                found = Bin{column, row};
            }
    return found;
}

OccupancyMap MapWithTime(std::int32_t binPixels, const std::vector<std::pair<Bin, double>>& bins)
{
    COccupancyGrid grid(binPixels);
    OccupancyMap map = grid.Map();
    for (const auto& [bin, seconds] : bins)
        map.seconds[static_cast<std::size_t>(bin.row) * static_cast<std::size_t>(map.columns) +
                    static_cast<std::size_t>(bin.column)] += seconds;
    return map;
}
} // namespace

TEST(Occupancy, GridCoversThePlotWithTheLastBinsNarrower)
{
    struct Case
    {
        std::int32_t bin;
        std::int32_t binUsed;
        std::int32_t columns;
        std::int32_t rows;
    };
    const Case cases[] = {
        {10, 10, 64, 48}, {1, 1, 640, 480}, {7, 7, 92, 69},         {3, 3, 214, 160}, {480, 480, 2, 1},
        {640, 640, 1, 1}, {641, 641, 1, 1}, {kMax32, kMax32, 1, 1}, {0, 1, 640, 480}, {-5, 1, 640, 480},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bin);
        const COccupancyGrid grid(c.bin);
        EXPECT_EQ(grid.BinPixels(), c.binUsed);
        EXPECT_EQ(grid.Columns(), c.columns);
        EXPECT_EQ(grid.Rows(), c.rows);
        EXPECT_EQ(OccupancyColumns(c.bin), c.columns);
        EXPECT_EQ(OccupancyRows(c.bin), c.rows);
        const OccupancyMap map = grid.Map();
        EXPECT_EQ(map.seconds.size(), static_cast<std::size_t>(c.columns) * static_cast<std::size_t>(c.rows));
        EXPECT_EQ(map.Total(), 0.0);
    }
}

// Test that a position lands in column x / B, row y / B, on both sides of every kind of edge, and
// that anything off the 640 x 480 plot is counted apart.
TEST(Occupancy, PositionFallsInItsBinOrOffThePlot)
{
    struct Case
    {
        std::int32_t bin;
        std::int32_t x;
        std::int32_t y;
        std::optional<Bin> expected; // nothing: off the plot
    };
    const Case cases[] = {
        {10, 0, 0, Bin{0, 0}},         {10, 9, 9, Bin{0, 0}},         {10, 10, 9, Bin{1, 0}},
        {10, 9, 10, Bin{0, 1}},        {10, 639, 479, Bin{63, 47}},   {10, 320, 240, Bin{32, 24}},
        {7, 6, 6, Bin{0, 0}},          {7, 7, 7, Bin{1, 1}},          {7, 636, 475, Bin{90, 67}},
        {7, 637, 476, Bin{91, 68}},    {7, 639, 479, Bin{91, 68}},    {1, 639, 0, Bin{639, 0}},
        {640, 639, 479, Bin{0, 0}},    {480, 480, 0, Bin{1, 0}},      {480, 479, 0, Bin{0, 0}},
        {10, -1, 0, std::nullopt},     {10, 0, -1, std::nullopt},     {10, 640, 0, std::nullopt},
        {10, 0, 480, std::nullopt},    {10, 640, 480, std::nullopt},  {10, -1, -1, std::nullopt},
        {10, kMin32, 5, std::nullopt}, {10, 5, kMax32, std::nullopt}, {1, kMax32, kMin32, std::nullopt},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.bin) + ": " + std::to_string(c.x) + "," + std::to_string(c.y));
        COccupancyGrid grid(c.bin);
        grid.Add(c.x, c.y);
        grid.Add(c.x, c.y);
        const std::optional<Bin> bin = OnlyBinCounted(grid);
        ASSERT_EQ(bin.has_value(), c.expected.has_value());
        EXPECT_EQ(grid.RecordsBinned(), c.expected ? 2u : 0u);
        EXPECT_EQ(grid.RecordsOffPlot(), c.expected ? 0u : 2u);
        if (bin)
        {
            EXPECT_EQ(bin->column, c.expected->column);
            EXPECT_EQ(bin->row, c.expected->row);
            EXPECT_EQ(grid.Count(bin->column, bin->row), 2u);
            EXPECT_EQ(grid.Map().At(bin->column, bin->row), 2.0 / 60.0);
        }
    }
}

// Test that one pass of the block reader fills the grid from a file: a minute across two bins, a
// second in the last narrow bin, and one record off the plot in each direction.
TEST(Occupancy, PassOverAFileCountsEveryRecordOnce)
{
    CTempDir dir;
    CTrackFileBuilder builder;
    std::int64_t timestamp = 0;
    for (int i = 0; i < 3600; ++i)
        builder.Add(MakeRecord(timestamp++, 12 + i % 5, 25));
    for (int i = 0; i < 60; ++i)
        builder.Add(MakeRecord(timestamp++, 639, 479));
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{-1, 100}, {640, 100}, {100, -3}, {100, 480}})
        builder.Add(MakeRecord(timestamp++, x, y));
    const std::string path = builder.Write(dir.File("t.qtf"));

    COccupancyGrid grid(7);
    for (int pass = 0; pass < 2; ++pass) // a second pass counts the file afresh
    {
        SCOPED_TRACE(pass);
        CBlockReader reader(1000);
        ASSERT_EQ(reader.Open(path), kOk);
        IRecordConsumer* consumers[] = {&grid};
        ASSERT_EQ(reader.Run(consumers), kOk);
        EXPECT_EQ(grid.RecordsBinned(), 3660u);
        EXPECT_EQ(grid.RecordsOffPlot(), 4u);
        EXPECT_EQ(grid.SecondsBinned(), 61.0);
        EXPECT_EQ(grid.Count(1, 3), 1440u); // x 12 and 13 of 12 .. 16, with B = 7: column 1 (7 .. 13)
        EXPECT_EQ(grid.Count(2, 3), 2160u); // x 14, 15 and 16: column 2
        EXPECT_EQ(grid.Count(91, 68), 60u);
        const OccupancyMap map = grid.Map();
        EXPECT_EQ(map.At(1, 3), 24.0);
        EXPECT_EQ(map.At(2, 3), 36.0);
        EXPECT_EQ(map.At(91, 68), 1.0);
        EXPECT_EQ(map.Largest(), 36.0);
        EXPECT_EQ(map.Total(), 61.0);
    }
}

// Test that smoothing spreads a bin's time and keeps the total to 1e-9 at the corners, at the edges,
// in the middle and for bins that do not divide the plot, for narrow and very wide kernels.
TEST(Occupancy, SmoothingKeepsTheTotalTime)
{
    struct Case
    {
        const char* what;
        std::int32_t bin;
        std::vector<std::pair<Bin, double>> bins;
    };
    std::vector<std::pair<Bin, double>> scattered;
    std::mt19937 random(7);
    for (int i = 0; i < 200; ++i)
        scattered.push_back(
            {Bin{static_cast<std::int32_t>(random() % 92), static_cast<std::int32_t>(random() % 69)},
             static_cast<double>(random() % 1000) / 60.0});
    const Case cases[] = {
        {"top-left corner", 10, {{Bin{0, 0}, 100.0}}},
        {"bottom-right corner", 10, {{Bin{63, 47}, 3.5}}},
        {"an edge", 10, {{Bin{0, 20}, 1.0 / 60.0}}},
        {"the middle", 10, {{Bin{32, 24}, 600.0}}},
        {"narrow last bins", 7, {{Bin{91, 68}, 2.0}, {Bin{91, 0}, 1.0}}},
        {"one-pixel bins", 1, {{Bin{639, 479}, 1.0}, {Bin{0, 0}, 1.0}}},
        {"scattered", 7, scattered},
        {"a single bin", 640, {{Bin{0, 0}, 5.0}}},
    };
    const double sigmas[] = {0.3, 1.0, 2.5, 10.0, 1000.0, std::numeric_limits<double>::infinity()};
    for (const Case& c : cases)
        for (const double sigma : sigmas)
        {
            SCOPED_TRACE(std::string(c.what) + ", sigma " + std::to_string(sigma));
            const OccupancyMap raw = MapWithTime(c.bin, c.bins);
            const OccupancyMap smoothed = SmoothOccupancy(raw, sigma);
            ASSERT_EQ(smoothed.seconds.size(), raw.seconds.size());
            EXPECT_NEAR(smoothed.Total(), raw.Total(), raw.Total() * 1e-9);
            for (const double seconds : smoothed.seconds)
                ASSERT_GE(seconds, 0.0);
            // The time is spread, not kept in place (a grid of one bin has nowhere to spread it).
            EXPECT_EQ(smoothed.Largest() < raw.Largest(), raw.seconds.size() > 1);
        }
}

// Test the kernel's shape: symmetric about the source, falling with distance, cut after four sigma,
// and no smoothing at all for sigma 0 or below.
TEST(Occupancy, SmoothingIsAGaussianCutAtFourSigma)
{
    const OccupancyMap raw = MapWithTime(10, {{Bin{32, 24}, 60.0}});
    for (const double sigma : {0.0, -1.0, std::nan("")})
        EXPECT_EQ(SmoothOccupancy(raw, sigma).seconds, raw.seconds) << sigma;

    const OccupancyMap smoothed = SmoothOccupancy(raw, 1.0);
    for (int d = 1; d <= 4; ++d)
    {
        SCOPED_TRACE(d);
        EXPECT_DOUBLE_EQ(smoothed.At(32 - d, 24), smoothed.At(32 + d, 24));
        EXPECT_DOUBLE_EQ(smoothed.At(32, 24 - d), smoothed.At(32, 24 + d));
        EXPECT_DOUBLE_EQ(smoothed.At(32 + d, 24), smoothed.At(32, 24 + d));
        EXPECT_LT(smoothed.At(32 + d, 24), smoothed.At(32 + d - 1, 24));
        // The ratio to the peak is the Gaussian's along each axis.
        EXPECT_NEAR(smoothed.At(32 + d, 24) / smoothed.At(32, 24), std::exp(-0.5 * d * d), 1e-12);
    }
    EXPECT_GT(smoothed.At(36, 28), 0.0);
    EXPECT_EQ(smoothed.At(37, 24), 0.0);
    EXPECT_EQ(smoothed.At(32, 19), 0.0);
}

// Test that near an edge the kernel is scaled over the bins inside the grid: the source's own bin
// keeps more than it would in the middle, and nothing is lost.
TEST(Occupancy, SmoothingAtTheEdgeKeepsTheTimeOnThePlot)
{
    const OccupancyMap middle = SmoothOccupancy(MapWithTime(10, {{Bin{32, 24}, 1.0}}), 2.0);
    const OccupancyMap corner = SmoothOccupancy(MapWithTime(10, {{Bin{0, 0}, 1.0}}), 2.0);
    EXPECT_GT(corner.At(0, 0), middle.At(32, 24));
    EXPECT_NEAR(corner.Total(), 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(corner.At(1, 0) / corner.At(0, 0), middle.At(33, 24) / middle.At(32, 24));
}

// Test that the CSV matrix has one line per bin row from the top, one field per column, seconds with
// six decimals and nothing else.
TEST(Occupancy, CsvMatrixIsOneLinePerBinRowFromTheTop)
{
    struct Case
    {
        std::int32_t bin;
        std::string firstField; // bin (0, 0): one record
        std::string lastField;  // the bottom-right bin: 90 records
    };
    const Case cases[] = {{10, "0.016667", "1.500000"},
                          {7, "0.016667", "1.500000"},
                          {640, "1.516667", "1.516667"},
                          {1, "0.016667", "1.500000"}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.bin);
        COccupancyGrid grid(c.bin);
        grid.Add(0, 0);
        for (int i = 0; i < 90; ++i)
            grid.Add(639, 479);
        const OccupancyMap map = grid.Map();
        std::vector<std::string> lines;
        for (std::int32_t row = 0; row < map.rows; ++row)
            lines.push_back(OccupancyCsvRow(map, row));
        ASSERT_EQ(static_cast<std::int32_t>(lines.size()), grid.Rows());
        for (const std::string& line : lines)
        {
            ASSERT_EQ(line.back(), '\n');
            EXPECT_EQ(std::count(line.begin(), line.end(), ','), grid.Columns() - 1);
            EXPECT_EQ(line.find_first_not_of("0123456789.,\n"), std::string::npos) << line;
        }
        EXPECT_EQ(lines.front().substr(0, c.firstField.size()), c.firstField);
        const std::string& last = lines.back();
        EXPECT_EQ(last.substr(last.size() - c.lastField.size() - 1), c.lastField + "\n");
    }
}
