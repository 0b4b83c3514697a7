// Where the outputs of a track go and what their files are called: one home for the names, so that
// the commands, the window, a batch and its resume agree on them. Every file of a track's outputs
// begins with the track file's name, extension included ("run7.qtf_visits.csv"); the event files
// are named by regions/EventFile.h.
#pragma once

#include "analysis/VisitCsv.h"

#include <string>
#include <string_view>

// Where the outputs of one track go and how they name it.
struct TrackOutputPlace
{
    std::string dir;      // the folder the files are written into
    std::string fileName; // the track file's name with its extension: every file's name begins with it
    std::string label;    // the CSV files' "file" column: the name, or a path relative to a study
};

inline constexpr std::string_view kVisitsFileSuffix = "_visits.csv";
inline constexpr std::string_view kRegionsFileSuffix = "_regions.csv";
inline constexpr std::string_view kSessionFileSuffix = "_session.csv";
inline constexpr std::string_view kBinsFileSuffix = "_bins.csv"; // the time bins' (analysis/BinCsv.h)
inline constexpr std::string_view kSessionBinsFileSuffix = "_session_bins.csv";
inline constexpr std::string_view kRecordsFileSuffix = "_track.csv";
inline constexpr std::string_view kQualityReportSuffix = "_quality.txt";
inline constexpr std::string_view kQualityTableSuffix = "_quality.csv"; // the window's name for the table
inline constexpr std::string_view kHeatmapPictureSuffix = "_heatmap.png";
inline constexpr std::string_view kHeatmapMatrixSuffix = "_occupancy.csv";
inline constexpr std::string_view kPlotPictureSuffix = "_plot.png";

// "<dir>/<fileName><suffix>".
[[nodiscard]] std::string TrackOutputPath(const TrackOutputPlace& place, std::string_view suffix);

// The suffix of one of the visit table's files.
[[nodiscard]] std::string_view VisitCsvSuffix(VisitCsvKind kind);

// "<dir>/<trackFileName>_visits.csv", "..._regions.csv" or "..._session.csv".
[[nodiscard]] std::string MakeVisitCsvPath(const std::string& dir, const std::string& trackFileName,
                                           VisitCsvKind kind);
