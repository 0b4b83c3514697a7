// The system calls of the file layer, each passed through the fault seam first (base/FileFaults.h).
// Only the file layer's own sources use these; everything else goes through CFile and COutputFile.
#pragma once

#include "base/File.h"
#include "base/FileFaults.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace sys
{
// What a file's mode says it is.
inline FileKind KindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return FileKind::Regular;
    if (S_ISDIR(mode))
        return FileKind::Directory;
    if (S_ISFIFO(mode))
        return FileKind::Fifo;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileKind::Device;
    if (S_ISSOCK(mode))
        return FileKind::Socket;
    return FileKind::Other;
}

// Sets errno and gives true when the seam fails this call.
inline bool Faulted(FileOp op)
{
    const int error = file_faults::OnCall(op);
    if (error <= 0)
        return false;
    errno = error;
    return true;
}

inline int Open(const char* path, int flags, mode_t mode)
{
    return Faulted(FileOp::Open) ? -1 : ::open(path, flags, mode);
}

inline ssize_t Read(int fd, void* buffer, std::size_t size)
{
    return Faulted(FileOp::Read) ? -1 : ::read(fd, buffer, size);
}

// A short write from the seam puts half of the bytes into the file, as a disk that fills up does.
inline ssize_t Write(int fd, const void* buffer, std::size_t size)
{
    const int fault = file_faults::OnCall(FileOp::Write);
    if (fault == file_faults::kShortWrite)
        return size / 2 == 0 ? 0 : ::write(fd, buffer, size / 2);
    if (fault > 0)
    {
        errno = fault;
        return -1;
    }
    return ::write(fd, buffer, size);
}

inline off_t Seek(int fd, off_t offset, int whence)
{
    return Faulted(FileOp::Seek) ? -1 : ::lseek(fd, offset, whence);
}

// The descriptor is released even when the close reports an error, as the kernel does.
inline int Close(int fd)
{
    const int result = ::close(fd);
    return Faulted(FileOp::Close) ? -1 : result;
}

inline int Rename(const char* from, const char* to)
{
    return Faulted(FileOp::Rename) ? -1 : ::rename(from, to);
}

// Swaps the two names' files in one step (both must exist).
inline int Exchange(const char* a, const char* b)
{
    return Faulted(FileOp::Rename) ? -1 : ::renameat2(AT_FDCWD, a, AT_FDCWD, b, RENAME_EXCHANGE);
}

inline int Unlink(const char* path)
{
    return Faulted(FileOp::Unlink) ? -1 : ::unlink(path);
}

inline int Stat(const char* path, struct stat* st)
{
    return Faulted(FileOp::Stat) ? -1 : ::stat(path, st);
}

inline int Lstat(const char* path, struct stat* st)
{
    return Faulted(FileOp::Stat) ? -1 : ::lstat(path, st);
}

inline int Fstat(int fd, struct stat* st)
{
    return Faulted(FileOp::Stat) ? -1 : ::fstat(fd, st);
}

inline ssize_t ReadLink(const char* path, char* buffer, std::size_t size)
{
    return Faulted(FileOp::Stat) ? -1 : ::readlink(path, buffer, size);
}

inline int Ftruncate(int fd, off_t length)
{
    return Faulted(FileOp::Truncate) ? -1 : ::ftruncate(fd, length);
}

inline int Flock(int fd, int operation)
{
    return Faulted(FileOp::Lock) ? -1 : ::flock(fd, operation);
}

// Owns a descriptor until it is released; closes it otherwise, so that every early return of an
// open leaves nothing open.
class CDescriptor
{
public:
    CDescriptor() = default;
    explicit CDescriptor(int fd) : m_fd(fd) {}
    ~CDescriptor() { Reset(); }
    CDescriptor(const CDescriptor&) = delete;
    CDescriptor& operator=(const CDescriptor&) = delete;

    [[nodiscard]] bool IsValid() const { return m_fd >= 0; }
    [[nodiscard]] int Get() const { return m_fd; }
    // Gives up ownership.
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }
    // Closes the descriptor; an error of that close is of no interest to the caller.
    void Reset()
    {
        if (m_fd >= 0)
            (void)Close(Release());
    }

private:
    int m_fd = -1;
};
} // namespace sys
