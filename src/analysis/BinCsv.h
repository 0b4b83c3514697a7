// The CSV files of a visit table's time bins (analysis/TimeBins.h), as the visit tables' files are
// written (analysis/VisitCsv.h), and only for a table with bins:
//   <track>_bins.csv          one row per bin and region: bins in order, regions in table order
//                             within each bin
//   <track>_session_bins.csv  one row per bin
// Bins count from 0; start_s and end_s are start_record and end_record / 60, so a short last bin
// ends where the track does. share_of_bin is time_inside_records over the bin's records, with six
// decimals like every share. path_length_cm is empty without a calibration, immobile_s without an
// immobility threshold.
#pragma once

#include "analysis/VisitTable.h"

#include <string>
#include <string_view>

class CCsvStream;

inline constexpr std::string_view kBinsCsvHeader =
    "file,bin,start_record,end_record,start_s,end_s,region,name,"
    "entries,time_inside_records,time_inside_s,share_of_bin";
inline constexpr std::string_view kSessionBinsCsvHeader =
    "file,bin,start_record,end_record,start_s,end_s,time_outside_all_s,path_length_px,path_length_cm,"
    "immobile_s";

enum class BinCsvKind
{
    Regions, // <track>_bins.csv
    Session, // <track>_session_bins.csv
};

// Streams the file's text, header first, into csv's file as it is built (base/CsvStream.h), so that
// a long table never sits whole in memory. False when a write failed. Nothing is written for a
// table without bins: it has no such files.
[[nodiscard]] bool WriteBinCsvRows(const VisitTable& table, std::string_view file, BinCsvKind kind,
                                   CCsvStream& csv);

// The whole text of one file; empty for a table without bins.
[[nodiscard]] std::string FormatBinCsv(const VisitTable& table, std::string_view file, BinCsvKind kind);
