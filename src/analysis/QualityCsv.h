// The per-record tracking quality table: one CSV row per record, written as the records come,
// through a temporary file that is renamed into place when the table is complete. The table never
// sits in memory; at most one block of rows does.
//
// record,timestamp,targets,case,x,y,angle,new_x,new_y,new_angle,distance_px,heading_diff_deg,step_px
// Integers in full; pixels and degrees with 6 decimals; step_px is empty for record 0.
#pragma once

#include "analysis/RecordQuality.h"
#include "base/CsvBuilder.h"
#include "base/OutputFile.h"

#include <string>
#include <utility>

inline constexpr const char* kQualityCsvHeader =
    "record,timestamp,targets,case,x,y,angle,new_x,new_y,new_angle,"
    "distance_px,heading_diff_deg,step_px";

// Appends the row of one record to csv.
void AddQualityCsvRow(CCsvBuilder& csv, const RecordQuality& quality);

class CQualityCsvWriter
{
public:
    explicit CQualityCsvWriter(std::string path) : m_strPath(std::move(path)) {}

    // Creates the temporary file and writes the header row. kOk, or kErrOpen when the table cannot
    // be created (told to the user).
    int Create();
    // Adds a record's row. kOk, or kErrNoInput when writing failed (told; the table is dropped).
    int Add(const RecordQuality& quality);
    // Writes what is left and puts the table in place. kOk, or kErrNoInput (told; nothing is left
    // behind and an earlier file of that name keeps what it had).
    int Commit();
    // Drops the table: the temporary file is removed, an earlier file keeps what it had.
    void Discard();

    [[nodiscard]] const std::string& Path() const { return m_strPath; }

private:
    int Flush();
    int FailWrite();

    std::string m_strPath;
    COutputFile m_file;
    CCsvBuilder m_csv;
};
