// Movement beyond the path length: a speed averaged over a window of records, the records that are
// still, and immobility bouts, followed record by record during a pass without keeping them.
//
// The step into record i >= 1 is its straight distance from record i - 1 in pixels. The speed at
// record i >= 1 over a window of W records is
//     s_i = 60 x (sum of the steps into records max(1, i - W + 1) .. i) / (the number of them)
// in pixels a second, the sum taken in record order; times F in centimetres a second. Record i is
// still when s_i x scale < threshold (scale 1 for a threshold in pixels a second, F for one in
// centimetres a second); record 0 never is. An immobility bout is a maximal run of consecutive
// still records at least M records long.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// When a record is still: its speed in pixels a second, times scale, is below threshold.
struct StillnessRule
{
    double threshold = 0.0;
    double scale = 1.0;
};

// Records [from, to) of one immobility bout.
struct ImmobilityBout
{
    std::uint64_t from = 0;
    std::uint64_t to = 0;
    friend bool operator==(const ImmobilityBout&, const ImmobilityBout&) = default;
};

class CMovementTracker
{
public:
    // window: W, 1 or more. Without a rule no record is still and nothing is followed.
    CMovementTracker(std::int32_t window, std::optional<StillnessRule> rule, std::uint64_t minBoutRecords);

    // Back to before the first record.
    void Reset();
    // The step into record (1, 2, ... in order), in pixels. The bout that this record, not being
    // still, has ended; nothing otherwise.
    std::optional<ImmobilityBout> AddStep(std::uint64_t record, double stepPx);
    // After the last of records: the bout that runs to the end, if any.
    std::optional<ImmobilityBout> Finish(std::uint64_t records);

    [[nodiscard]] std::uint64_t ImmobileRecords() const { return m_nImmobileRecords; }
    [[nodiscard]] std::uint64_t Bouts() const { return m_nBouts; }

private:
    [[nodiscard]] bool IsStill(std::uint64_t record) const;
    // The window's sum afresh, in record order: the sum the definition means.
    [[nodiscard]] double WindowSum(std::uint64_t record) const;
    std::optional<ImmobilityBout> EndRun(std::uint64_t end);

    std::optional<StillnessRule> m_rule;
    double m_limitPerStep = 0.0; // the window sum at the threshold, per step in the window
    std::uint64_t m_nMinBout;
    std::vector<double> m_steps; // the last W steps; the step into record i sits at (i - 1) mod W
    std::size_t m_nNext = 0;     // where the next step goes
    // The window's sum kept by adding the new step and taking off the one that leaves. Rounding
    // makes it drift from the sum afresh, so it is taken afresh every W records, and a record
    // whose speed it puts within a hair of the threshold is judged on the sum afresh.
    double m_sum = 0.0;
    double m_peak = 0.0; // the largest running sum since it was last taken afresh
    std::size_t m_nSinceFresh = 0;
    bool m_bInRun = false;
    std::uint64_t m_nRunStart = 0;
    std::uint64_t m_nImmobileRecords = 0;
    std::uint64_t m_nBouts = 0;
};
