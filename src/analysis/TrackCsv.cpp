#include "analysis/TrackCsv.h"

#include "base/File.h"
#include "base/ResultCodes.h"

void AppendTrackRow(CCsvBuilder& csv, std::uint64_t index, const TrackRecord& record)
{
    const std::int64_t timestamp = record.timestamp;
    const std::int32_t x = record.x;
    const std::int32_t y = record.y;
    const std::int32_t angle = record.angle;
    const std::uint32_t points = CountPoints(record);
    const std::uint32_t targets = CountTargets(record);
    csv.Field(index).Field(timestamp).Field(x).Field(y).Field(angle).Field(points).Field(targets).EndRow();
}

int CTrackCsvWriter::Begin(const TrackSourceInfo& /*source*/)
{
    m_csv.Clear();
    if (!m_file.Create(m_strPath))
    {
        ShowFileProblem("Cannot create the CSV file " + m_strPath + "; it was not written.", m_strPath,
                        m_file.GetProblem());
        return kErrOpen;
    }
    m_csv.HeaderRow(kTrackCsvHeader);
    return kOk;
}

int CTrackCsvWriter::Consume(std::span<const TrackRecord> records, std::uint64_t firstIndex)
{
    for (std::size_t k = 0; k < records.size(); ++k)
    {
        AppendTrackRow(m_csv, firstIndex + k, records[k]);
        if (m_csv.Text().size() >= m_nChunkBytes && !WritePending())
            return Fail("Cannot write to the CSV file " + m_strPath + "; it was not written.");
    }
    return kOk;
}

int CTrackCsvWriter::End()
{
    if (!WritePending())
        return Fail("Cannot write to the CSV file " + m_strPath + "; it was not written.");
    if (!m_file.Commit())
        return Fail("Cannot write to the CSV file " + m_strPath + "; it was not written.");
    return kOk;
}

void CTrackCsvWriter::Abandon()
{
    m_file.Discard();
    m_csv.Clear();
}

bool CTrackCsvWriter::WritePending()
{
    const bool written = m_file.Write(m_csv.Text().data(), m_csv.Text().size());
    m_csv.Clear();
    return written;
}

int CTrackCsvWriter::Fail(const std::string& text)
{
    ShowFileProblem(text, m_strPath, m_file.GetProblem());
    m_file.Discard();
    return kErrOpen;
}
