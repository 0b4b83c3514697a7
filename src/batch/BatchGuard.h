// What keeps a batch from harming what it reads or what another batch writes: every file it is
// about to write is checked against every input of the batch (the same file by any path, links
// followed), one batch at a time holds an output folder, and the temporary files of earlier runs
// that were killed are cleared away.
#pragma once

#include "base/File.h"
#include "base/Problem.h"

#include <optional>
#include <string>
#include <vector>

// The files a batch reads: its tracks and its layout, by identity.
class CBatchInputs
{
public:
    // Paths that do not exist (yet) are left out: nothing can be written over them.
    void Add(const std::string& path);
    // The first of files that is one of the inputs, by any path to it.
    [[nodiscard]] std::optional<std::string> FirstInput(const std::vector<std::string>& files) const;

private:
    std::vector<FileIdentity> m_identities;
};

// The message of a track whose output would replace an input of the batch.
[[nodiscard]] std::string OutputIsInputMessage(const std::string& file);

// The name of the lock file in an output folder.
inline constexpr std::string_view kBatchLockName = ".batch.lock";

// Holds an output folder for one batch: an advisory lock on its lock file, which the kernel
// releases when the process ends, however it ends. The file holds the holder's process id, so
// that a second batch can say who has the folder.
class CBatchLock
{
public:
    CBatchLock() = default;
    ~CBatchLock(); // removes the lock file and releases the lock
    CBatchLock(const CBatchLock&) = delete;
    CBatchLock& operator=(const CBatchLock&) = delete;

    // Takes the folder's lock. Nothing wrong; kErrOpen with a message naming the folder and the
    // process that holds it, or the reason the lock file cannot be made.
    [[nodiscard]] Problem Take(const std::string& outDir);

private:
    int m_fd = -1;
    std::string m_path;
};

// Removes the temporary files below outDir (".NAME.PID.N.tmp", the pattern of base/OutputFile.h)
// that processes no longer running left behind; the number removed.
std::size_t RemoveLeftTemporaries(const std::string& outDir);

// Whether a file name is that of an output's temporary file, and the process that made it.
[[nodiscard]] std::optional<long> TemporaryFileOwner(std::string_view name);
