// CCsvStream: a CSV table streamed into an output file while its rows are built. The rows wait in a
// CCsvBuilder and go to the file in pieces of about a megabyte, so that a table of millions of rows
// never sits in memory; every table trackplay writes row by row goes through it.
#pragma once

#include "base/CsvBuilder.h"

#include <cstddef>

class COutputFile;

// Rows are handed to the file in pieces of about this size.
inline constexpr std::size_t kCsvPieceBytes = std::size_t{1} << 20;

class CCsvStream
{
public:
    // file: created by the caller, who commits it after the last Flush (borrowed).
    explicit CCsvStream(COutputFile& file, std::size_t pieceBytes = kCsvPieceBytes)
        : m_file(file), m_nPieceBytes(pieceBytes)
    {
    }

    // Where the next rows are built.
    [[nodiscard]] CCsvBuilder& Rows() { return m_csv; }
    // Hands the rows built so far to the file once they fill a piece. False when the write failed
    // (the file's GetProblem says why).
    [[nodiscard]] bool Pass();
    // Hands every row built so far to the file; false when the write failed.
    [[nodiscard]] bool Flush();
    // Forgets the rows not yet handed over.
    void Clear() { m_csv.Clear(); }

private:
    COutputFile& m_file;
    std::size_t m_nPieceBytes;
    CCsvBuilder m_csv;
};
