// The file layer: a RAII file handle with 64-bit offsets and lengths, share modes, and errors
// reported as values. Every module that touches the disk goes through it.
#pragma once

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

// The identity of the file a path names (links followed), or nothing when it does not exist.
std::optional<FileIdentity> GetPathIdentity(const std::string& path);

// The last component of a path, extension included ("/a/b/run7.qtf" gives "run7.qtf").
std::string FileNameOfPath(std::string_view path);

class CFile
{
public:
    CFile() = default;
    ~CFile();
    CFile(CFile&& other) noexcept;
    CFile& operator=(CFile&& other) noexcept;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens path; closes a file already open first. False on failure (see GetLastError).
    bool Open(const std::string& path, FileMode mode, ShareMode share = ShareMode::DenyNone);
    bool IsOpen() const { return m_fd >= 0; }
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
    std::optional<std::uint64_t> GetLength() const;
    // Cuts the file to (or extends it with zeros to) length bytes; the position is unchanged.
    bool SetLength(std::uint64_t length);
    std::optional<FileIdentity> GetIdentity() const;

    const std::string& GetFilePath() const { return m_path; }
    std::string GetFileName() const { return FileNameOfPath(m_path); }
    // The system error number of the last failed operation, 0 if none failed.
    int GetLastError() const { return m_lastError; }

private:
    int m_fd = -1;
    int m_lastError = 0;
    std::string m_path;
};
