// The core's numbers and files for a whole track, made the plain way (one block reader, one
// consumer or one output), for tests to compare what a command, the window or a batch made.
#pragma once

#include "analysis/TrackingQuality.h"
#include "analysis/VisitTable.h"
#include "outputs/TrackOutput.h"
#include "trackfile/RecordStream.h"

#include <initializer_list>
#include <string>

// Hands every record of the track at path to the consumers in one pass: the pass's result.
int RunConsumers(const std::string& path, std::initializer_list<IRecordConsumer*> consumers);

// Runs the outputs over the track at path in one pass (nothing shown: problems are dropped): the
// pass's result.
int RunOutputs(const std::string& path, std::initializer_list<ITrackOutput*> outputs);

// The visit table of the track at path; the pass's result.
int BuildVisitTable(const std::string& path, const CRegionTable& regions, std::int32_t margin,
                    VisitTable& table);

// The quality figures of the track at path; the pass's result.
int RunQualityReport(const std::string& path, const QualityOptions& options, QualitySummary& summary);

// Writes the per-record quality table of the track at path to csvPath; the pass's result.
int WriteQualityCsv(const std::string& path, const QualityOptions& options, const std::string& csvPath);

// Writes the per-record table of the track at path to csvPath; the pass's result.
int WriteTrackCsv(const std::string& path, const std::string& csvPath);
