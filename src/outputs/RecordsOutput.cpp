#include "outputs/RecordsOutput.h"

#include "analysis/TrackCsv.h"

CRecordsOutput::CRecordsOutput(std::string path, std::size_t pieceBytes)
    : m_strPath(std::move(path)), m_nPieceBytes(pieceBytes)
{
    m_file.Add(m_strPath,
               OutputFileTexts{"Cannot create the CSV file " + m_strPath + "; it was not written.",
                               "Cannot write to the CSV file " + m_strPath + "; it was not written."});
}

Problem CRecordsOutput::Prepare(const TrackSourceInfo& /*source*/)
{
    return m_file.Create();
}

Problem CRecordsOutput::Begin(const TrackSourceInfo& /*source*/)
{
    m_csv.emplace(m_file.File(0), m_nPieceBytes);
    m_csv->Rows().HeaderRow(kTrackCsvHeader);
    return {};
}

Problem CRecordsOutput::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    for (std::size_t k = 0; k < records.size(); ++k)
    {
        AppendTrackRow(m_csv->Rows(), firstIndex + k, records[k]);
        if (!m_csv->Pass())
            return m_file.WriteFailed(0);
    }
    return {};
}

Problem CRecordsOutput::End()
{
    if (!m_csv->Flush())
        return m_file.WriteFailed(0);
    m_csv.reset();
    return m_file.Commit();
}

void CRecordsOutput::Abandon()
{
    m_csv.reset();
    m_file.Discard();
}

std::unique_ptr<ITrackOutput> MakeRecordsAt(const OutputSettings& /*settings*/, const TrackOutputPlace& place)
{
    return std::make_unique<CRecordsOutput>(TrackOutputPath(place, kRecordsFileSuffix));
}
