// The entry-rule sensitivity of a track's regions (analysis/Sensitivity.h) as an output: its table
// as CSV (analysis/SensitivityCsv.h) and its small-multiples picture as PNG
// (plot/SensitivityPicture.h), put in place together or not at all:
//   <dir>/<track>_sensitivity.csv and <track>_sensitivity.png
#pragma once

#include "analysis/Sensitivity.h"
#include "base/OutputGroup.h"
#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"
#include "outputs/TrackOutput.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSensitivityOutput final : public ITrackOutput
{
public:
    // place: the folder, the track file's name that begins the files, and the "file" column's text.
    // Regions 0 .. m_nRegionCount-1 of table are copied; margin and settings (accepted by
    // FindSettingsProblem) are the current rules the grids vary from; scale is the picture's
    // (kMinSensitivityScale to kMaxSensitivityScale).
    CSensitivityOutput(TrackOutputPlace place, const CRegionTable& table, std::int32_t margin,
                       const AnalysisSettings& settings, std::int32_t scale);

    [[nodiscard]] std::vector<std::string> Files() const override { return m_files.Paths(); }
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::Positions; }
    [[nodiscard]] Problem Prepare(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Begin(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    [[nodiscard]] Problem End() override;
    void Abandon() override;
    // "<region>: <n> entries; <a> to <b> over minimum visits 0 to 2 s, <c> to <d> over margins 0
    // to 16" for every region.
    [[nodiscard]] std::vector<std::string> SummaryLines() const override;

    // After End: what the files hold.
    [[nodiscard]] const SensitivityResult& Result() const { return m_builder.Result(); }

private:
    TrackOutputPlace m_place;
    std::int32_t m_nScale;
    std::string m_strFileName; // the track's, for the picture's title
    CSensitivityBuilder m_builder;
    COutputGroup m_files;
    std::size_t m_nTable = 0;
    std::size_t m_nPicture = 0;
};

// For the table of outputs (OutputKinds.h): the sensitivity of the settings' regions at place.
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeSensitivityAt(const OutputSettings& settings,
                                                              const TrackOutputPlace& place);
