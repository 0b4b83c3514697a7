// Studies for the batch tests: generated tracks in a folder tree, a region layout, the files below
// a folder with their bytes, and a status file without the column that measures each run.
#pragma once

#include "support/TempDir.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct StudyTrack
{
    std::string path;          // below the study's folder
    std::uint32_t records = 0; // 0: a current-style file with its header and no record
    std::uint64_t seed = 1;
};

// Writes the tracks below root (folders made as needed), each dated an hour ago so that outputs
// made now are newer by far more than the file system's clock step.
void WriteStudy(const std::string& root, const std::vector<StudyTrack>& tracks);

// A layout of two overlapping regions, the second with a comma in its name.
std::string WriteArenaLayout(const CTempDir& dir);

// Sets a file's modification time this long before now.
void DateBack(const std::string& path, std::chrono::seconds age);

// Every file below root, by its path relative to root, with its bytes.
std::map<std::string, std::string> FilesBelow(const std::string& root);

// The status table without its last column (seconds).
std::string WithoutSeconds(const std::string& status);
