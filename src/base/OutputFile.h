// COutputFile: the one way a new or replaced file is written. The bytes go to a temporary file in
// the destination's folder, which Commit renames into place; until then the destination keeps
// what it had, and a failure or a destructor before Commit removes the temporary file. So an
// output either appears whole or not at all, and a full disk never leaves a truncated file behind.
//
// Before anything is created the destination is checked: a destination that is a file this
// process has open for reading (by any path: a symbolic or a hard link to it) is refused, and so
// is one that is not a regular file (a directory, a named pipe, a device). A destination that is a
// symbolic link is followed: the link stays, and its target receives the new content.
#pragma once

#include "base/File.h"

#include <cstddef>
#include <string>
#include <vector>

class COutputFile
{
public:
    COutputFile() = default;
    ~COutputFile(); // removes the temporary file unless committed
    COutputFile(const COutputFile&) = delete;
    COutputFile& operator=(const COutputFile&) = delete;

    // Checks the destination and creates the temporary file. False, with GetProblem saying why and
    // nothing created, when the destination is refused or the temporary file cannot be made. With
    // ShareMode::Exclusive an existing destination held exclusively elsewhere is refused, and the
    // destination stays locked until Commit.
    [[nodiscard]] bool Create(const std::string& destination, ShareMode share = ShareMode::DenyNone);
    // Appends bytes to the temporary file; false on any error (see GetProblem).
    [[nodiscard]] bool Write(const void* buffer, std::size_t size);
    // Closes the temporary file, checking the close, and renames it to the destination. False on
    // failure: the temporary file is removed and the destination keeps what it had.
    [[nodiscard]] bool Commit();
    // Removes the temporary file; the destination keeps what it had.
    void Discard();

    [[nodiscard]] bool IsCreated() const { return m_file.IsOpen(); }
    [[nodiscard]] const FileProblem& GetProblem() const { return m_problem; }
    // The destination as given, and the file that Commit replaces (symbolic links followed).
    [[nodiscard]] const std::string& GetDestination() const { return m_strDestination; }
    [[nodiscard]] const std::string& GetTargetPath() const { return m_strTarget; }
    [[nodiscard]] const std::string& GetTemporaryPath() const { return m_strTemporary; }

private:
    friend bool CommitAll(const std::vector<COutputFile*>& outputs, std::size_t& failedIndex);

    // Closes the temporary file, checking the close; false (with the temporary removed) on failure.
    bool Finish();
    bool Refuse(int error);
    void ReleaseLock();
    bool ResolveTarget();
    bool CheckTarget(ShareMode share);
    bool CreateTemporary(ShareMode share);

    CFile m_file;
    int m_lockFd = -1; // the existing destination, held locked for an exclusive output
    FileProblem m_problem;
    std::string m_strDestination;
    std::string m_strTarget;
    std::string m_strTemporary;
    bool m_bTemporaryExists = false;
};

// Commits a set of outputs (distinct destinations) all together or not at all: every file is
// closed first, then each is put in place; when one fails, those already in place are given their
// earlier content back (an existing destination is swapped with its temporary file, so the old
// content waits under the temporary name until the end). On failure every temporary file is
// removed, the destinations keep what they had, and failedIndex names the output that failed. On
// success a swapped-out old content that cannot be removed stays behind under its hidden
// temporary name; the outputs are complete either way.
[[nodiscard]] bool CommitAll(const std::vector<COutputFile*>& outputs, std::size_t& failedIndex);
