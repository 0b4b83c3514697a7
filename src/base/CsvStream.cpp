#include "base/CsvStream.h"

#include "base/OutputFile.h"

bool CCsvStream::Pass()
{
    return m_csv.Text().size() < m_nPieceBytes || Flush();
}

bool CCsvStream::Flush()
{
    const bool written = m_file.Write(m_csv.Text().data(), m_csv.Text().size());
    m_csv.Clear();
    return written;
}
