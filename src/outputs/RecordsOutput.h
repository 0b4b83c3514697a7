// The per-record table (analysis/TrackCsv.h) as an output: one CSV file at an explicit path, its
// rows streamed to the file as the records come.
#pragma once

#include "base/CsvStream.h"
#include "base/OutputGroup.h"
#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"
#include "outputs/TrackOutput.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

class CRecordsOutput final : public ITrackOutput
{
public:
    explicit CRecordsOutput(std::string path, std::size_t pieceBytes = kCsvPieceBytes);

    [[nodiscard]] std::vector<std::string> Files() const override { return {m_strPath}; }
    [[nodiscard]] RecordNeeds Needs() const override { return RecordNeeds::Positions; }
    [[nodiscard]] Problem Prepare(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Begin(const TrackSourceInfo& source) override;
    [[nodiscard]] Problem Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex) override;
    [[nodiscard]] Problem End() override;
    void Abandon() override;

private:
    std::string m_strPath;
    std::size_t m_nPieceBytes;
    COutputGroup m_file;
    std::optional<CCsvStream> m_csv; // while the file is open
};

// For the table of outputs (OutputKinds.h): <place>/<track>_track.csv.
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeRecordsAt(const OutputSettings& settings,
                                                          const TrackOutputPlace& place);
