// Helpers for the outputs' tests: a pass run as tracktool runs it (every problem told through the
// message sink, so that a recording sink sees it), and an output fed blocks built in code through
// its interface alone.
#pragma once

#include "outputs/TrackOutput.h"
#include "regions/RegionTable.h"

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Opens the track, prepares the outputs and runs the pass, telling what comes back after each
// step; the first failure's code.
int RunTelling(const std::string& track, std::initializer_list<ITrackOutput*> outputs,
               const StreamProgress& progress = {});

// Prepare, Begin, Consume in blocks of blockRecords, End, through the interface, as a pass of a
// track named fileName holding records; the first problem, after which the output is abandoned.
Problem Feed(ITrackOutput& output, const std::vector<TrackRecord>& records, std::size_t blockRecords,
             const std::string& fileName = "t.qtf");

// The first count records of the track file at path (with its header).
std::vector<TrackRecord> RecordsOfFile(const std::string& path, std::size_t count);

// A region table of named rectangles.
CRegionTable NamedRegions(const std::vector<std::pair<Rect, std::string>>& regions);
