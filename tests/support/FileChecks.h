// Checks on what a run leaves behind in the file system: the files of a folder with their bytes,
// the descriptors the process holds, and runs in a child process that must end in time.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>

// Every entry of a folder (not recursive): name to bytes for files (a length and a hash for files
// over 64 bytes), "<dir>" for folders, the target for links and "<other>" for anything else.
// Hidden names are included.
std::map<std::string, std::string> SnapshotFolder(const std::string& folder);

// The same without hidden names (those starting with '.').
std::map<std::string, std::string> VisibleEntries(const std::map<std::string, std::string>& snapshot);

// The number of descriptors the process has open.
std::size_t CountOpenDescriptors();

// Runs body in a forked child and gives its exit status, or nothing when it had not ended within
// the limit (it is killed then): a check that an operation never blocks, not a measure of speed.
// Files written by the child larger than fileSizeLimit fail with EFBIG instead of filling the disk.
std::optional<int> RunInChild(const std::function<int()>& body, std::chrono::seconds limit,
                              std::size_t fileSizeLimit = std::size_t{64} << 20);

// Makes a named pipe; false on failure.
bool MakeFifo(const std::string& path);
