// The CSV files of a visit table, for pandas, R, MATLAB and spreadsheets (RFC 4180, UTF-8, header
// row, "\n" line ends, "." decimal point, an empty field for "none"; seconds and shares with six
// decimals):
//   <track>_visits.csv   one row per visit, in the order the visits started
//   <track>_regions.csv  one row per region, in table order
//   <track>_session.csv  one row for the whole track
// The "file" column holds a text the caller chooses: the track file's name for one file, a path
// relative to the study for a batch. The files' names and their writing belong to the outputs
// (outputs/VisitTablesOutput.h).
#pragma once

#include "analysis/VisitTable.h"
#include "base/CsvBuilder.h"

#include <string>
#include <string_view>

class CCsvStream;

inline constexpr std::string_view kVisitsCsvHeader =
    "file,region,name,visit,enter_record,leave_record,enter_timestamp,leave_timestamp,duration_records,"
    "duration_s,duration_timestamp,complete";
inline constexpr std::string_view kRegionsCsvHeader =
    "file,region,name,left,top,right,bottom,margin,entries,complete_visits,time_inside_records,time_inside_s,"
    "share_of_session,latency_records,latency_s,mean_visit_s,longest_visit_s";
inline constexpr std::string_view kSessionCsvHeader =
    "file,records,duration_s,first_timestamp,last_timestamp,time_outside_all_s,path_length_px,"
    "mean_speed_px_s,records_outside_plot";

enum class VisitCsvKind
{
    Visits,
    Regions,
    Session,
};

// One row of each file (the name is the region's).
void AppendVisitRow(CCsvBuilder& csv, std::string_view file, const VisitRow& visit, std::string_view name);
void AppendRegionRow(CCsvBuilder& csv, std::string_view file, const RegionSummary& region);
void AppendSessionRow(CCsvBuilder& csv, std::string_view file, const SessionSummary& session);

// The whole text of one file, header row first.
[[nodiscard]] std::string FormatVisitCsv(const VisitTable& table, std::string_view file, VisitCsvKind kind);

// The same text streamed into csv's file, as it is built. False when a write failed.
[[nodiscard]] bool WriteVisitCsvRows(const VisitTable& table, std::string_view file, VisitCsvKind kind,
                                     CCsvStream& csv);
