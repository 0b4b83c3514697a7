// The visit table of a region table (analysis/VisitTable.h) as its three CSV files
// (analysis/VisitCsv.h), put in place together or not at all:
//   <dir>/<track>_visits.csv, <track>_regions.csv and <track>_session.csv
#pragma once

#include "analysis/VisitTable.h"
#include "base/OutputGroup.h"
#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"
#include "outputs/TrackOutput.h"

#include <cstdint>
#include <memory>

class CVisitTablesOutput final : public ITrackOutput
{
public:
    // place: the folder, the track file's name that begins the files, and the "file" column's text.
    // Regions 0 .. m_nRegionCount-1 of the table are copied; margin is the visit rule's, settings
    // (accepted by FindSettingsProblem) what the table is counted by.
    CVisitTablesOutput(TrackOutputPlace place, const CRegionTable& table, std::int32_t margin,
                       const AnalysisSettings& settings = AnalysisSettings{});

    [[nodiscard]] std::vector<std::string> Files() const override;
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::Positions; }
    [[nodiscard]] Problem Prepare(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Begin(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    [[nodiscard]] Problem End() override;
    void Abandon() override;
    // "<region>: <n> entries, <s> s inside" for every region.
    [[nodiscard]] std::vector<std::string> SummaryLines() const override;

    // After End: the table the files hold.
    [[nodiscard]] const VisitTable& Table() const { return m_builder.Result(); }

private:
    TrackOutputPlace m_place;
    CVisitTableBuilder m_builder;
    COutputGroup m_files; // in the order of kVisitCsvKinds
};

// For the table of outputs (OutputKinds.h): the visit tables of the settings' regions at place.
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeVisitTablesAt(const OutputSettings& settings,
                                                              const TrackOutputPlace& place);
