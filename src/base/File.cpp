#include "base/File.h"

#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

std::optional<FileIdentity> GetPathIdentity(const std::string& path)
{
    struct stat st = {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

std::string FileNameOfPath(std::string_view path)
{
    const auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

CFile::~CFile()
{
    Close();
}

CFile::CFile(CFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_lastError(other.m_lastError), m_path(std::move(other.m_path))
{
}

CFile& CFile::operator=(CFile&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_lastError = other.m_lastError;
        m_path = std::move(other.m_path);
    }
    return *this;
}

bool CFile::Open(const std::string& path, FileMode mode, ShareMode share)
{
    Close();
    int flags = O_CLOEXEC;
    switch (mode)
    {
    case FileMode::Read:
        flags |= O_RDONLY;
        break;
    case FileMode::CreateWrite:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    case FileMode::CreateReadWrite:
        flags |= O_RDWR | O_CREAT | O_TRUNC;
        break;
    case FileMode::WriteExisting:
        flags |= O_WRONLY;
        break;
    }
    // An exclusive open must not empty a file that another handle holds: truncate only once the
    // lock is taken.
    const bool truncate = (flags & O_TRUNC) != 0;
    if (share == ShareMode::Exclusive)
        flags &= ~O_TRUNC;
    int fd = -1;
    do
        fd = ::open(path.c_str(), flags, 0666);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
    {
        m_lastError = errno;
        m_path.clear();
        return false;
    }
    if (share == ShareMode::Exclusive && ::flock(fd, LOCK_EX | LOCK_NB) != 0)
    {
        m_lastError = errno;
        ::close(fd);
        m_path.clear();
        return false;
    }
    struct stat st = {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode); // devices ignore truncation
    if (share == ShareMode::Exclusive && truncate && regular && ::ftruncate(fd, 0) != 0)
    {
        m_lastError = errno;
        ::close(fd);
        m_path.clear();
        return false;
    }
    m_fd = fd;
    m_path = path;
    m_lastError = 0;
    return true;
}

bool CFile::Close()
{
    if (m_fd < 0)
        return true;
    const int result = ::close(std::exchange(m_fd, -1));
    if (result != 0 && errno != EINTR)
    {
        m_lastError = errno;
        return false;
    }
    return true;
}

std::int64_t CFile::Read(void* buffer, std::size_t size)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t total = 0;
    while (total < size)
    {
        const ssize_t got = ::read(m_fd, out + total, size - total);
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            m_lastError = errno;
            return -1;
        }
        if (got == 0)
            break;
        total += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(total);
}

bool CFile::Write(const void* buffer, std::size_t size)
{
    const auto* in = static_cast<const char*>(buffer);
    std::size_t total = 0;
    while (total < size)
    {
        const ssize_t put = ::write(m_fd, in + total, size - total);
        if (put < 0)
        {
            if (errno == EINTR)
                continue;
            m_lastError = errno;
            return false;
        }
        if (put == 0)
        {
            m_lastError = EIO;
            return false;
        }
        total += static_cast<std::size_t>(put);
    }
    return true;
}

bool CFile::Seek(std::uint64_t offset)
{
    if (::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0)
    {
        m_lastError = errno;
        return false;
    }
    return true;
}

bool CFile::SeekToEnd()
{
    if (::lseek(m_fd, 0, SEEK_END) < 0)
    {
        m_lastError = errno;
        return false;
    }
    return true;
}

bool CFile::SetLength(std::uint64_t length)
{
    if (length > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
    {
        m_lastError = EFBIG;
        return false;
    }
    while (::ftruncate(m_fd, static_cast<off_t>(length)) != 0)
    {
        if (errno == EINTR)
            continue;
        m_lastError = errno;
        return false;
    }
    return true;
}

std::optional<std::uint64_t> CFile::GetLength() const
{
    struct stat st = {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<FileIdentity> CFile::GetIdentity() const
{
    struct stat st = {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}
