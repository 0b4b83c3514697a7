// The enter/leave timestamp files of a region table (regions/RegionEventGenerator.h), byte for byte
// those of the window's Generate Timestamp Files, as an output of a pass:
//   <dir>/<track>_<region>_Enter.qsf and _Leave.qsf for every region (regions of one name share
//   their pair); nothing without regions.
// The generator tells its own failures (its texts are the window's); the output's problem then
// carries only the code.
#pragma once

#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"
#include "outputs/TrackOutput.h"
#include "regions/RegionEventConsumer.h"
#include "regions/RegionEventGenerator.h"
#include "regions/RegionTable.h"

#include <cstdint>
#include <memory>
#include <string>

struct EventFilesDestination
{
    std::string dir;           // the folder the files go into
    std::string trackFileName; // the track file's name, as the pass will read it: the files begin with it
};

class CEventFilesOutput final : public ITrackOutput
{
public:
    // Regions 0 .. m_nRegionCount-1 of the table are copied; margin is the visit rule's.
    CEventFilesOutput(EventFilesDestination destination, const CRegionTable& table, std::int32_t margin);

    [[nodiscard]] std::vector<std::string> Files() const override;
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::Positions; }
    [[nodiscard]] Problem Prepare(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Begin(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    [[nodiscard]] Problem End() override;
    void Abandon() override;
    // "<region>: <n> visits" for every region: the visits written to its files (0 after a failure).
    [[nodiscard]] std::vector<std::string> SummaryLines() const override;

private:
    [[nodiscard]] bool HasRegions() const { return m_table.m_nRegionCount > 0; }

    EventFilesDestination m_destination;
    CRegionTable m_table; // the generator borrows its rectangles and names
    CRegionEventGenerator m_generator;
    CRegionEventConsumer m_consumer;
    bool m_bPrepared = false;
};

// For the table of outputs (OutputKinds.h): the event files of the settings' regions in place.dir.
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeEventFilesAt(const OutputSettings& settings,
                                                             const TrackOutputPlace& place);
