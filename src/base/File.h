// The file layer: a RAII file handle with 64-bit offsets and lengths, share modes, and errors
// reported as values. Every module that touches the disk goes through it (new files through
// COutputFile, base/OutputFile.h).
//
// Only regular files are opened: a directory, a named pipe, a device or a socket is refused at once
// (the open never waits for a pipe's other end) and the refusal says what stood there. The layer
// also knows which files the process has open for reading, so that no output can replace one.
#pragma once

#include "base/Problem.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class FileMode
{
    Read,            // existing file, reading only
    CreateWrite,     // create, or truncate an existing file; writing only
    CreateReadWrite, // create, or truncate an existing file; reading and writing
    WriteExisting,   // existing file only, not truncated; writing only
    CreateNew,       // a new file only (fails when the name exists); writing only
};

enum class ShareMode
{
    DenyNone,  // other programs may read and write the file meanwhile
    Exclusive, // the open fails if another handle holds the file exclusively (advisory lock)
};

// Which file on which device: two paths name the same file exactly when these are equal.
struct FileIdentity
{
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// A time as the file system keeps it: seconds since 1970-01-01 UTC and the nanoseconds within.
struct FileTime
{
    std::int64_t seconds = 0;
    std::uint32_t nanoseconds = 0;
    friend auto operator<=>(const FileTime&, const FileTime&) = default;
};

// What the system says of an open file (fstat).
struct FileStatus
{
    FileIdentity identity;
    std::uint64_t size = 0;
    FileTime modified; // may be set to any value by the file's owner
    FileTime changed;  // the inode's change time: set by the system on every write, rename or change
                       // of the modification time, and never set back by a user
    friend bool operator==(const FileStatus&, const FileStatus&) = default;
};

// What stands at a path.
enum class FileKind
{
    Regular,
    Directory,
    Fifo,
    Device,
    Socket,
    Other,
};

// Why a file could not be opened or created.
struct FileProblem
{
    int error = 0;                     // the system's error number; 0 when none
    FileKind kind = FileKind::Regular; // what stood at the path when it was refused as not a file
    bool isOpenInput = false;          // the path names a file this process has open for reading

    [[nodiscard]] bool IsNotAFile() const { return kind != FileKind::Regular; }
};

// The identity of the file a path names (links followed), or nothing when it does not exist or
// cannot be examined; error then tells which (ENOENT when it does not exist).
std::optional<FileIdentity> GetPathIdentity(const std::string& path);
std::optional<FileIdentity> GetPathIdentity(const std::string& path, int& error);

// True while some CFile of this process has the file open for reading.
[[nodiscard]] bool IsOpenForReading(const FileIdentity& identity);

// The last component of a path, extension included ("/a/b/run7.qtf" gives "run7.qtf").
std::string FileNameOfPath(std::string_view path);

// A name in a folder: "<dir>/<name>", with one '/' between them whether or not dir ends in one.
std::string JoinPath(std::string_view dir, std::string_view name);

// "<path> is a directory, not a file." and the like for the other kinds.
[[nodiscard]] std::string DescribeNotAFile(std::string_view path, FileKind kind);

// The problem of a file that could not be opened, created or written, with text as its message. A
// path that is not a regular file, or is an input of this process, gets a second line saying so
// (the window shows it too); any other failure carries the system's reason (shown by tracktool on
// the next line).
[[nodiscard]] Problem FileProblemOf(int code, std::string_view text, std::string_view path,
                                    const FileProblem& problem);

// Shows FileProblemOf's text and reason through the message sink.
void ShowFileProblem(std::string_view text, std::string_view path, const FileProblem& problem);

class CFile
{
public:
    CFile() = default;
    ~CFile();
    CFile(CFile&& other) noexcept;
    CFile& operator=(CFile&& other) noexcept;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path; closes a file already open first. False on failure (see GetProblem); a path that
    // is not a regular file is refused.
    bool Open(const std::string& path, FileMode mode, ShareMode share = ShareMode::DenyNone);
    [[nodiscard]] bool IsOpen() const { return m_fd >= 0; }
    // Closes the file; false when the close itself reported an error. Closing a closed file is fine.
    bool Close();

    // Reads up to size bytes; fewer only at the end of the file. The count read, or -1 on error.
    std::int64_t Read(void* buffer, std::size_t size);
    // Writes all size bytes; false on any error (a full disk included).
    bool Write(const void* buffer, std::size_t size);
    // Moves to offset bytes from the start of the file.
    bool Seek(std::uint64_t offset);
    bool SeekToEnd();
    // The file's length in bytes, or nothing on error.
    [[nodiscard]] std::optional<std::uint64_t> GetLength();
    // Cuts the file to (or extends it with zeros to) length bytes; the position is unchanged.
    bool SetLength(std::uint64_t length);
    // The identity of the open file, or nothing when none is open.
    [[nodiscard]] std::optional<FileIdentity> GetIdentity() const;
    // The open file's identity, length and times as they are now, or nothing on error.
    [[nodiscard]] std::optional<FileStatus> GetStatus();

    [[nodiscard]] const std::string& GetFilePath() const { return m_path; }
    [[nodiscard]] std::string GetFileName() const { return FileNameOfPath(m_path); }
    // The system error number of the last failed operation, 0 if none failed.
    [[nodiscard]] int GetLastError() const { return m_problem.error; }
    // Why the last failed operation failed.
    [[nodiscard]] const FileProblem& GetProblem() const { return m_problem; }

private:
    void Fail(int error);

    int m_fd = -1;
    FileProblem m_problem;
    std::string m_path;
    std::optional<FileIdentity> m_identity;
    bool m_bCountedAsInput = false; // m_identity is in the process's set of files open for reading
};
