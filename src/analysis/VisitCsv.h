// The CSV files of a visit table, for pandas, R, MATLAB and spreadsheets (RFC 4180, UTF-8, header
// row, "\n" line ends, "." decimal point, an empty field for "none"; seconds and shares with six
// decimals):
//   <track>_visits.csv   one row per visit, in the order the visits started
//   <track>_regions.csv  one row per region, in table order
//   <track>_session.csv  one row for the whole track
// With the analysis settings the visits file gains a last column, "initial" (1 when the visit
// began at record 0), and the session file four ("path_length_cm,mean_speed_cm_s,immobile_s,
// immobility_bouts"; empty without a calibration or a threshold). The columns before them stay as
// they are. The "file" column holds a text the caller chooses: the track file's name for one file,
// a path relative to the study for a batch. The files' names and their writing belong to the
// outputs (outputs/VisitTablesOutput.h).
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
    "share_of_session,latency_records,latency_s,mean_visit_s,longest_visit_s,shape";
inline constexpr std::string_view kSessionCsvHeader =
    "file,records,duration_s,first_timestamp,last_timestamp,time_outside_all_s,path_length_px,"
    "mean_speed_px_s,records_outside_plot";

inline constexpr std::string_view kVisitsCsvSettingsColumns = "initial";
inline constexpr std::string_view kSessionCsvSettingsColumns =
    "path_length_cm,mean_speed_cm_s,immobile_s,immobility_bouts";

enum class VisitCsvKind
{
    Visits,
    Regions,
    Session,
};

// Which columns a file carries: those from before the analysis settings, or those with the
// settings' columns at the end.
enum class VisitCsvColumns
{
    Base,
    WithSettings,
};

// The header row of a file, without its line end.
[[nodiscard]] std::string VisitCsvHeader(VisitCsvKind kind, VisitCsvColumns columns);

// One row of each file (the name is the region's).
void AppendVisitRow(CCsvBuilder& csv, std::string_view file, const VisitRow& visit, std::string_view name,
                    VisitCsvColumns columns = VisitCsvColumns::Base);
void AppendRegionRow(CCsvBuilder& csv, std::string_view file, const RegionSummary& region);
void AppendSessionRow(CCsvBuilder& csv, std::string_view file, const SessionSummary& session,
                      VisitCsvColumns columns = VisitCsvColumns::Base);

// The whole text of one file, header row first.
[[nodiscard]] std::string FormatVisitCsv(const VisitTable& table, std::string_view file, VisitCsvKind kind,
                                         VisitCsvColumns columns = VisitCsvColumns::Base);

// The same text streamed into csv's file, as it is built. False when a write failed.
[[nodiscard]] bool WriteVisitCsvRows(const VisitTable& table, std::string_view file, VisitCsvKind kind,
                                     CCsvStream& csv, VisitCsvColumns columns = VisitCsvColumns::Base);
