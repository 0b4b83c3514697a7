// Passes over positions, as RecordStream.h has them over records: a source (a position file, the
// positions kept in memory, or the track itself through CRecordsToPositions) hands the positions,
// in order and in blocks, to any number of consumers, which keep their own state between blocks.
#pragma once

#include "trackfile/RecordStream.h"
#include "trackfile/TrackPosition.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class IPositionConsumer
{
public:
    virtual ~IPositionConsumer() = default;
    // Before the first block. A non-zero result ends the pass at once with that result.
    virtual int Begin(const TrackSourceInfo& source) = 0;
    // The next positions, in file order: positions[k] is that of record firstIndex + k. Non-zero
    // ends the pass.
    virtual int Consume(std::span<const TrackPosition> positions, std::uint64_t firstIndex) = 0;
    // After the last block, only when every position was handed over. Non-zero fails the pass.
    virtual int End() = 0;
    // When the pass ends early, in place of End: drop whatever was prepared. A consumer may be
    // begun again afterwards (a position file found damaged part way is followed by a pass over
    // the track).
    virtual void Abandon() {}
};

// Hands each call on to a set of consumers by the block reader's rules: a consumer that refuses
// Begin or Consume ends the pass, and every consumer is then abandoned, once; End is called on
// every consumer and gives the first non-zero result.
class CPositionFanOut
{
public:
    explicit CPositionFanOut(std::span<IPositionConsumer* const> consumers) : m_consumers(consumers) {}

    int Begin(const TrackSourceInfo& source);
    int Consume(std::span<const TrackPosition> positions, std::uint64_t firstIndex);
    int End();
    // Abandons every consumer, unless the pass has already ended or been abandoned.
    void Abandon();

private:
    std::span<IPositionConsumer* const> m_consumers;
    bool m_bRunning = false;
};

// Serves positions held in memory to consumers, blockPositions at a time, with progress after each
// block (false cancels: kErrCancelled, every consumer abandoned). source.records must equal
// positions.size(). The result is as CBlockReader::Run gives it.
inline constexpr std::size_t kPositionBlockPositions = (std::size_t{1} << 20) / sizeof(TrackPosition) + 1;
int ServePositions(std::span<const TrackPosition> positions, const TrackSourceInfo& source,
                   std::span<IPositionConsumer* const> consumers, const StreamProgress& progress = {},
                   std::size_t blockPositions = kPositionBlockPositions);

// A record consumer that turns each block of records into positions for position consumers, so
// that the track itself can feed them (and a position store) in a pass of the block reader.
class CRecordsToPositions final : public IRecordConsumer
{
public:
    explicit CRecordsToPositions(std::span<IPositionConsumer* const> consumers) : m_fanOut(consumers) {}

    int Begin(const TrackSourceInfo& source) override { return m_fanOut.Begin(source); }
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    int End() override { return m_fanOut.End(); }
    void Abandon() override { m_fanOut.Abandon(); }

private:
    CPositionFanOut m_fanOut;
    std::vector<TrackPosition> m_block;
};

// CPositionList: the positions of one track kept in memory (22 bytes a record), filled by a pass
// like any consumer and served again by ServePositions as often as wanted.
class CPositionList final : public IPositionConsumer
{
public:
    int Begin(const TrackSourceInfo& source) override;
    int Consume(std::span<const TrackPosition> positions, std::uint64_t firstIndex) override;
    int End() override;
    void Abandon() override; // empties the list

    // Whether a pass filled the list to its end; the positions are all there only then.
    [[nodiscard]] bool IsComplete() const { return m_bComplete; }
    [[nodiscard]] const TrackSourceInfo& Info() const { return m_info; }
    [[nodiscard]] std::span<const TrackPosition> Positions() const { return m_positions; }
    // Serves the kept positions (see ServePositions); kErrNoInput when the list is not complete.
    int Serve(std::span<IPositionConsumer* const> consumers, const StreamProgress& progress = {}) const;

private:
    TrackSourceInfo m_info;
    std::vector<TrackPosition> m_positions;
    bool m_bComplete = false;
};
