// The tracks a batch runs over: the files named, the tracker files found in the folders named
// (searched through every subfolder for names ending in .qtf or .dat, in any case), and the paths
// of a list file, one a line. The list is made absolute, cleared of the same file named twice and
// sorted, so that every run over the same inputs numbers the tracks alike (shards depend on it).
//
// Each track is labelled with its path relative to the inputs' common folder ("day1/VT1.qtf"):
// the label is its CSV files' "file" column and the place of its outputs below the output folder,
// so that day1/VT1.qtf and day2/VT1.qtf never overwrite each other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct BatchTrack
{
    std::string path;    // absolute
    std::string label;   // relative to the inputs' common folder, '/' between its parts
    std::string problem; // why it cannot be run, when known before it is opened (an unreadable folder)
};

// The paths of a list file: one a line; blank lines and lines whose first character other than a
// space or tab is '#' are skipped, and a carriage return before the line end is dropped (lists
// written on Windows). A path is otherwise taken exactly as its line reads.
[[nodiscard]] std::vector<std::string> ParseInputList(std::string_view text);

// Whether a file found in a folder is a tracker file: its name ends in ".qtf" or ".dat" in any
// case, after at least one other character.
[[nodiscard]] bool IsTrackFileName(std::string_view name);

// The tracks of the inputs, sorted by path, with their labels. A relative input is taken from
// currentDir. A file input is taken whatever its name, and one that does not exist too (it fails
// when it is run, naming what is wrong); a folder that cannot be read becomes a track whose
// problem says so. Two inputs that are the same file (by path, or by a link to it) count once.
[[nodiscard]] std::vector<BatchTrack> CollectBatchTracks(const std::vector<std::string>& inputs,
                                                         const std::string& currentDir);

// The folder every one of the folders is in (given absolute, normalised): their longest common
// leading run of path components; "/" when they share none.
[[nodiscard]] std::string CommonFolder(const std::vector<std::string>& folders);
