#include "analysis/QualityCsv.h"

#include "base/File.h"
#include "base/ResultCodes.h"

namespace
{
// Rows are handed to the file in pieces of about this size.
constexpr std::size_t kFlushBytes = std::size_t{1} << 18;
} // namespace

void AddQualityCsvRow(CCsvBuilder& csv, const RecordQuality& quality)
{
    csv.Field(quality.record)
        .Field(quality.timestamp)
        .Field(quality.targets)
        .Field(CenterCaseName(quality.centerCase))
        .Field(quality.x)
        .Field(quality.y)
        .Field(quality.angle)
        .Field(quality.newX)
        .Field(quality.newY)
        .Field(quality.newAngle)
        .Fixed6(quality.distancePx)
        .Fixed6(quality.headingDifferenceDeg)
        .OptionalFixed6(quality.stepPx)
        .EndRow();
}

int CQualityCsvWriter::Create()
{
    m_csv.Clear();
    if (!m_file.Create(m_strPath))
    {
        ShowFileProblem("Cannot create the quality table " + m_strPath + ".", m_strPath, m_file.GetProblem());
        return kErrOpen;
    }
    m_csv.HeaderRow(kQualityCsvHeader);
    return kOk;
}

int CQualityCsvWriter::Add(const RecordQuality& quality)
{
    AddQualityCsvRow(m_csv, quality);
    return m_csv.Text().size() >= kFlushBytes ? Flush() : kOk;
}

int CQualityCsvWriter::Flush()
{
    if (!m_file.Write(m_csv.Text().data(), m_csv.Text().size()))
        return FailWrite();
    m_csv.Clear();
    return kOk;
}

int CQualityCsvWriter::Commit()
{
    if (const int flushed = Flush(); flushed != kOk)
        return flushed;
    if (!m_file.Commit())
        return FailWrite();
    return kOk;
}

int CQualityCsvWriter::FailWrite()
{
    ShowFileProblem("Cannot write the quality table " + m_strPath + "; nothing was written.", m_strPath,
                    m_file.GetProblem());
    Discard();
    return kErrNoInput;
}

void CQualityCsvWriter::Discard()
{
    m_file.Discard();
    m_csv.Clear();
}
