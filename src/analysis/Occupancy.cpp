#include "analysis/Occupancy.h"

#include "analysis/Clock.h"
#include "base/ResultCodes.h"
#include "trackfile/Arena.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{
// The kernel reaches this many sigma each way; what lies beyond is under 0.04 % of the peak.
constexpr double kKernelReachSigmas = 4.0;

std::int32_t BinsOver(std::int32_t pixels, std::int32_t binPixels)
{
    const std::int32_t b = std::max(binPixels, 1);
    return pixels / b + (pixels % b != 0 ? 1 : 0);
}

// Weights of the Gaussian at distances 0 .. reach, for lines of length bins.
std::vector<double> KernelWeights(double sigma, std::int32_t length)
{
    const double wanted = std::ceil(kKernelReachSigmas * sigma);
    const double longest = static_cast<double>(std::max(length - 1, 0));
    const auto reach = static_cast<std::int32_t>(std::min(wanted, longest)); // also for an infinite sigma
    std::vector<double> weights(static_cast<std::size_t>(reach) + 1);
    for (std::int32_t d = 0; d <= reach; ++d)
    {
        const double z = d / sigma;
        weights[static_cast<std::size_t>(d)] = std::exp(-0.5 * z * z);
    }
    return weights;
}

// One smoothing pass over `lines` lines of `length` bins: line i, bin k is at
// i * lineStep + k * binStep. Each source bin hands its time out over the kernel's bins inside the
// line, scaled so that they take all of it.
void SmoothLines(const std::vector<double>& in, std::vector<double>& out, std::int32_t length,
                 std::int32_t lines, std::size_t binStep, std::size_t lineStep, double sigma)
{
    const std::vector<double> weights = KernelWeights(sigma, length);
    const auto reach = static_cast<std::int32_t>(weights.size()) - 1;
    // The kernel's sum over the bins inside the line, for a source at each place of the line.
    std::vector<double> inside(static_cast<std::size_t>(length));
    for (std::int32_t s = 0; s < length; ++s)
    {
        double sum = 0.0;
        for (std::int32_t t = std::max(0, s - reach); t <= std::min(length - 1, s + reach); ++t)
            sum += weights[static_cast<std::size_t>(std::abs(t - s))];
        inside[static_cast<std::size_t>(s)] = sum;
    }
    std::fill(out.begin(), out.end(), 0.0);
    for (std::int32_t line = 0; line < lines; ++line)
    {
        const std::size_t base = static_cast<std::size_t>(line) * lineStep;
        for (std::int32_t s = 0; s < length; ++s)
        {
            const double value = in[base + static_cast<std::size_t>(s) * binStep];
            if (value == 0.0)
                continue;
            const double share = value / inside[static_cast<std::size_t>(s)];
            for (std::int32_t t = std::max(0, s - reach); t <= std::min(length - 1, s + reach); ++t)
                out[base + static_cast<std::size_t>(t) * binStep] +=
                    share * weights[static_cast<std::size_t>(std::abs(t - s))];
        }
    }
}
} // namespace

double OccupancyMap::Total() const
{
    return std::accumulate(seconds.begin(), seconds.end(), 0.0);
}

double OccupancyMap::Largest() const
{
    return seconds.empty() ? 0.0 : *std::max_element(seconds.begin(), seconds.end());
}

std::int32_t OccupancyColumns(std::int32_t binPixels)
{
    return BinsOver(kArenaWidth, binPixels);
}

std::int32_t OccupancyRows(std::int32_t binPixels)
{
    return BinsOver(kArenaHeight, binPixels);
}

OccupancyMap SmoothOccupancy(const OccupancyMap& map, double sigmaBins)
{
    const bool wellFormed =
        map.columns > 0 && map.rows > 0 &&
        map.seconds.size() == static_cast<std::size_t>(map.columns) * static_cast<std::size_t>(map.rows);
    if (!(sigmaBins > 0.0) || !wellFormed)
        return map;
    OccupancyMap smoothed = map;
    std::vector<double> across(map.seconds.size());
    const auto columns = static_cast<std::size_t>(map.columns);
    SmoothLines(map.seconds, across, map.columns, map.rows, 1, columns, sigmaBins);
    SmoothLines(across, smoothed.seconds, map.rows, map.columns, columns, 1, sigmaBins);
    return smoothed;
}

COccupancyGrid::COccupancyGrid(std::int32_t binPixels)
    : m_nBinPixels(std::max(binPixels, 1)), m_nColumns(OccupancyColumns(m_nBinPixels)),
      m_nRows(OccupancyRows(m_nBinPixels)),
      m_counts(static_cast<std::size_t>(m_nColumns) * static_cast<std::size_t>(m_nRows), 0)
{
}

int COccupancyGrid::Begin(const TrackSourceInfo& /*source*/)
{
    Clear();
    return kOk;
}

int COccupancyGrid::Consume(std::span<const TrackRecord> records, std::uint64_t /*firstIndex*/)
{
    for (const TrackRecord& record : records)
        Add(record.x, record.y);
    return kOk;
}

int COccupancyGrid::End()
{
    return kOk;
}

void COccupancyGrid::Add(std::int32_t x, std::int32_t y)
{
    if (x < 0 || y < 0 || x >= kArenaWidth || y >= kArenaHeight)
    {
        ++m_nOffPlot;
        return;
    }
    const std::size_t column = static_cast<std::size_t>(x / m_nBinPixels);
    const std::size_t row = static_cast<std::size_t>(y / m_nBinPixels);
    ++m_counts[row * static_cast<std::size_t>(m_nColumns) + column];
    ++m_nBinned;
}

void COccupancyGrid::Clear()
{
    std::fill(m_counts.begin(), m_counts.end(), 0);
    m_nBinned = 0;
    m_nOffPlot = 0;
}

std::uint64_t COccupancyGrid::Count(std::int32_t column, std::int32_t row) const
{
    if (column < 0 || row < 0 || column >= m_nColumns || row >= m_nRows)
        return 0;
    return m_counts[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nColumns) +
                    static_cast<std::size_t>(column)];
}

double COccupancyGrid::SecondsBinned() const
{
    return RecordsToSeconds(m_nBinned);
}

OccupancyMap COccupancyGrid::Map(double sigmaBins) const
{
    OccupancyMap map;
    map.binPixels = m_nBinPixels;
    map.columns = m_nColumns;
    map.rows = m_nRows;
    map.seconds.resize(m_counts.size());
    std::transform(m_counts.begin(), m_counts.end(), map.seconds.begin(),
                   [](std::uint64_t count) { return RecordsToSeconds(count); });
    return SmoothOccupancy(map, sigmaBins);
}
