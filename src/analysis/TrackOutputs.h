// The outputs of a track that need nothing but the numbers of this folder, as outputs of one pass
// (analysis/TrackPass.h), each named and written exactly as its single-file command writes it:
//   events   <track>_<region>_Enter.qsf and _Leave.qsf for every region (regions of one name
//            share their pair); none without regions
//   visits   <track>_visits.csv, <track>_regions.csv, <track>_session.csv
//   records  <track>_track.csv
//   quality  <track>_quality.txt: the lines tracktool quality prints
// <track> is the track file's name with its extension.
#pragma once

#include "analysis/TrackPass.h"
#include "analysis/TrackingQuality.h"
#include "regions/RegionTable.h"

#include <cstdint>
#include <memory>
#include <string>

// Where the outputs of one track go and how they name it.
struct TrackOutputPlace
{
    std::string dir;      // the folder the files are written into
    std::string fileName; // the track file's name with its extension: every file's name begins with it
    std::string label;    // the CSV files' "file" column: the name, or a path relative to a study
};

// "<dir>/<fileName><suffix>", the name of every output but the event files.
[[nodiscard]] std::string MakeTrackOutputPath(const TrackOutputPlace& place, std::string_view suffix);

// Regions 0 .. m_nRegionCount-1 of the table are copied; margin is the visit rule's.
[[nodiscard]] std::unique_ptr<ITrackOutput>
MakeEventFilesOutput(const TrackOutputPlace& place, const CRegionTable& table, std::int32_t margin);
[[nodiscard]] std::unique_ptr<ITrackOutput>
MakeVisitFilesOutput(const TrackOutputPlace& place, const CRegionTable& table, std::int32_t margin);
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeRecordsFileOutput(const TrackOutputPlace& place);
[[nodiscard]] std::unique_ptr<ITrackOutput> MakeQualityFileOutput(const TrackOutputPlace& place,
                                                                  const QualityOptions& options);

// The text of <track>_quality.txt: each line of FormatQualityFigures ended by "\n".
[[nodiscard]] std::string FormatQualityText(const QualitySummary& summary);
