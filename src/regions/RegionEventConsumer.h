// CRegionEventConsumer: writes the enter/leave timestamp files of a region table during one pass
// over a tracker file (trackfile/RecordStream.h), so that tracktool and batch runs make them beside
// their other outputs without reading the file again. The files are byte for byte those of
// CRegionEventGenerator::Run over the same track, as both are the generator's own run, handed its
// records in a different way; the window keeps calling Run with its reader.
#pragma once

#include "regions/RegionEventGenerator.h"
#include "trackfile/RecordStream.h"

class CRegionEventConsumer final : public IRecordConsumer
{
public:
    // generator: set up with Init, SetRegions and, where wanted, SetOutputDirectory (borrowed).
    // The pass gives it the track file's name. After the pass its GetVisitsWritten and
    // HadFileError tell what was written.
    explicit CRegionEventConsumer(CRegionEventGenerator& generator) : m_generator(generator) {}

    // -1 (nothing written, nothing told) when the track has no records or the generator is not set
    // up, as Run refuses them; -601 when an event file cannot be created (told).
    int Begin(const TrackSourceInfo& source) override;
    // -601 once an event file could not be written (told).
    int Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    // Puts every event file in place, or none: 0 or -601 (told).
    int End() override;
    // No event file changes; temporary files go.
    void Abandon() override;

private:
    CRegionEventGenerator& m_generator;
};
