// Figures per time bin: bin k holds records kB to min((k + 1)B, N) - 1, so there are ceil(N / B)
// bins and the last may be shorter. Summed over the bins, entries, time inside, time outside every
// region, path length and immobile time are the whole track's figures.
//   - A visit's entry counts in the bin of its enter record; the records of a visit count in the
//     bins they fall in.
//   - The step from record i - 1 to record i counts in the bin of record i.
//   - An immobile record counts in its own bin.
// The session's figures per bin are added up during the pass (CTimeBinAccumulator); the regions'
// come from the visit table bin by bin when they are written (CRegionBinWalker), so that neither
// keeps records nor a figure for every bin and region at once.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct VisitRow;

// The session's figures in one bin.
struct SessionBin
{
    std::uint64_t outsideAllRecords = 0; // records of the bin in no visit of any region
    double pathLengthPx = 0.0;           // the steps into the bin's records
    std::uint64_t immobileRecords = 0;   // records of the bin in an immobility bout
};

struct TimeBins
{
    std::uint64_t binRecords = 1;  // B
    std::uint64_t records = 0;     // N
    std::vector<SessionBin> bins;  // ceil(N / B)
    std::optional<double> cmPerPx; // F for the path in centimetres; none without a calibration
    bool immobility = false;       // whether immobile records are judged (a threshold was given)

    [[nodiscard]] std::uint64_t StartRecord(std::size_t bin) const { return bin * binRecords; }
    // One past the bin's last record.
    [[nodiscard]] std::uint64_t EndRecord(std::size_t bin) const;
};

// The session's figures per bin, added up record by record during a pass.
class CTimeBinAccumulator
{
public:
    explicit CTimeBinAccumulator(std::uint64_t binRecords);

    void Reset();
    // The step into record (1, 2, ... in order), in pixels.
    void AddStep(std::uint64_t record, double stepPx);
    // Records [from, to) of an immobility bout.
    void AddImmobile(std::uint64_t from, std::uint64_t to);
    // The bins of a track of records, with the time outside every region from its visits (in the
    // order they started).
    [[nodiscard]] TimeBins Finish(std::uint64_t records, const std::vector<VisitRow>& startOrder,
                                  std::optional<double> cmPerPx, bool immobility) const;

private:
    // The bins up to the one holding record, made as records reach them.
    SessionBin& BinOf(std::uint64_t record);

    std::uint64_t m_nBinRecords;
    std::vector<SessionBin> m_bins;
    std::uint64_t m_nNextBinStart = 0; // the first record past the bins made so far
};

// One region's figures in one bin.
struct RegionBin
{
    std::uint64_t entries = 0;       // visits whose enter record is in the bin
    std::uint64_t insideRecords = 0; // records of the bin in a visit of the region
};

// The regions' figures of each bin in turn, from a visit table's visits.
class CRegionBinWalker
{
public:
    // startOrder: the table's visits, in the order they started, of regions 0 .. regions - 1.
    CRegionBinWalker(const std::vector<VisitRow>& startOrder, std::size_t regions, const TimeBins& bins);

    // The figures of every region in the next bin, in table order: bin 0 first.
    const std::vector<RegionBin>& Next();

private:
    const std::vector<VisitRow>& m_visits;
    const TimeBins& m_bins;
    std::vector<std::vector<std::size_t>> m_regionVisits; // indices into m_visits, per region
    std::vector<std::size_t> m_cursors; // per region: the first visit that may reach the next bin
    std::vector<RegionBin> m_figures;
    std::size_t m_nBin = 0;
};
