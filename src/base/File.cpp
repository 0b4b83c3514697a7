#include "base/File.h"

#include "base/MessageSink.h"
#include "base/SystemCalls.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

namespace
{
// A new file may be read and written by everyone, less what the user's umask takes away, as any
// program's new files.
constexpr mode_t kNewFileMode = 0666;

// The identities of the files open for reading in this process, once per CFile that holds one.
std::mutex g_inputsMutex;
std::vector<FileIdentity> g_inputs;

void AddInput(const FileIdentity& identity)
{
    const std::lock_guard lock(g_inputsMutex);
    g_inputs.push_back(identity);
}

void RemoveInput(const FileIdentity& identity)
{
    const std::lock_guard lock(g_inputsMutex);
    const auto it = std::find(g_inputs.begin(), g_inputs.end(), identity);
    if (it != g_inputs.end())
        g_inputs.erase(it);
}

FileIdentity IdentityOf(const struct stat& st)
{
    return FileIdentity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

// The error number a refusal of a kind of file reports.
int ErrorForKind(FileKind kind)
{
    return kind == FileKind::Directory ? EISDIR : EINVAL;
}

int OpenFlags(FileMode mode)
{
    switch (mode)
    {
    case FileMode::Read:
        return O_RDONLY;
    case FileMode::CreateWrite:
        return O_WRONLY | O_CREAT | O_TRUNC;
    case FileMode::CreateReadWrite:
        return O_RDWR | O_CREAT | O_TRUNC;
    case FileMode::WriteExisting:
        return O_WRONLY;
    case FileMode::CreateNew:
        return O_WRONLY | O_CREAT | O_EXCL;
    }
    return O_RDONLY;
}
} // namespace

std::optional<FileIdentity> GetPathIdentity(const std::string& path)
{
    int error = 0;
    return GetPathIdentity(path, error);
}

std::optional<FileIdentity> GetPathIdentity(const std::string& path, int& error)
{
    struct stat st = {};
    error = 0;
    if (sys::Stat(path.c_str(), &st) != 0)
    {
        error = errno;
        return std::nullopt;
    }
    return IdentityOf(st);
}

bool IsOpenForReading(const FileIdentity& identity)
{
    const std::lock_guard lock(g_inputsMutex);
    return std::find(g_inputs.begin(), g_inputs.end(), identity) != g_inputs.end();
}

std::string FileNameOfPath(std::string_view path)
{
    const auto slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DescribeNotAFile(std::string_view path, FileKind kind)
{
    std::string text(path);
    switch (kind)
    {
    case FileKind::Directory:
        return text + " is a directory, not a file.";
    case FileKind::Fifo:
        return text + " is a named pipe (FIFO), not a file.";
    case FileKind::Device:
        return text + " is a device, not a file.";
    case FileKind::Socket:
        return text + " is a socket, not a file.";
    case FileKind::Regular:
    case FileKind::Other:
        break;
    }
    return text + " is not a regular file.";
}

std::string JoinPath(std::string_view dir, std::string_view name)
{
    const bool hasSeparator = !dir.empty() && dir.back() == '/';
    return std::string(dir) + (hasSeparator ? "" : "/") + std::string(name);
}

Problem FileProblemOf(int code, std::string_view text, std::string_view path, const FileProblem& problem)
{
    if (problem.isOpenInput)
        return Failure(code, std::string(text) + "\n" + std::string(path) +
                                 " is a file this program is reading; it is left as it is.");
    if (problem.IsNotAFile())
        return Failure(code, std::string(text) + "\n" + DescribeNotAFile(path, problem.kind));
    return Failure(code, std::string(text), std::generic_category().message(problem.error));
}

void ShowFileProblem(std::string_view text, std::string_view path, const FileProblem& problem)
{
    Tell(FileProblemOf(kErrOpen, text, path, problem));
}

CFile::~CFile()
{
    Close();
}

CFile::CFile(CFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_problem(other.m_problem), m_path(std::move(other.m_path)),
      m_identity(other.m_identity), m_bCountedAsInput(std::exchange(other.m_bCountedAsInput, false))
{
}

CFile& CFile::operator=(CFile&& other) noexcept
{
    if (this != &other)
    {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_problem = other.m_problem;
        m_path = std::move(other.m_path);
        m_identity = other.m_identity;
        m_bCountedAsInput = std::exchange(other.m_bCountedAsInput, false);
    }
    return *this;
}

void CFile::Fail(int error)
{
    m_problem = FileProblem{};
    m_problem.error = error;
}

bool CFile::Open(const std::string& path, FileMode mode, ShareMode share)
{
    Close();
    m_path.clear();
    // O_NONBLOCK: opening a named pipe must not wait for its other end; the pipe is refused below.
    int flags = O_CLOEXEC | O_NONBLOCK | OpenFlags(mode);
    // An exclusive open must not empty a file that another handle holds, and nothing but a
    // regular file may be emptied: truncate only once both are known.
    const bool truncate = (flags & O_TRUNC) != 0;
    flags &= ~O_TRUNC;
    int raw = -1;
    do
        raw = sys::Open(path.c_str(), flags, kNewFileMode);
    while (raw < 0 && errno == EINTR);
    sys::CDescriptor fd(raw);
    // A file that this open made new is removed again when the open fails after all.
    struct CCreatedFile
    {
        const std::string* pPath = nullptr;
        ~CCreatedFile()
        {
            if (pPath != nullptr)
                (void)sys::Unlink(pPath->c_str());
        }
    } created;
    if (fd.IsValid() && mode == FileMode::CreateNew)
        created.pPath = &path;
    if (!fd.IsValid())
    {
        Fail(errno);
        // A pipe without a reader (ENXIO) or a directory opened for writing (EISDIR): say what it is.
        struct stat st = {};
        if ((errno == ENXIO || errno == EISDIR) && ::stat(path.c_str(), &st) == 0)
            m_problem.kind = sys::KindOfMode(st.st_mode);
        return false;
    }
    struct stat st = {};
    if (sys::Fstat(fd.Get(), &st) != 0)
    {
        Fail(errno);
        return false;
    }
    if (const FileKind kind = sys::KindOfMode(st.st_mode); kind != FileKind::Regular)
    {
        Fail(ErrorForKind(kind));
        m_problem.kind = kind;
        return false;
    }
    if (share == ShareMode::Exclusive && sys::Flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
    {
        Fail(errno);
        return false;
    }
    if (truncate && sys::Ftruncate(fd.Get(), 0) != 0)
    {
        Fail(errno);
        return false;
    }
    // Reads and writes of the regular file wait as usual.
    (void)::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    created.pPath = nullptr;
    m_fd = fd.Release();
    m_path = path;
    m_problem = FileProblem{};
    m_identity = IdentityOf(st);
    if (mode == FileMode::Read)
    {
        AddInput(*m_identity);
        m_bCountedAsInput = true;
    }
    return true;
}

bool CFile::Close()
{
    if (m_fd < 0)
        return true;
    if (std::exchange(m_bCountedAsInput, false) && m_identity)
        RemoveInput(*m_identity);
    m_identity.reset();
    // The descriptor is gone after close whatever it reports; EINTR is not a failure to retry.
    if (sys::Close(std::exchange(m_fd, -1)) != 0 && errno != EINTR)
    {
        Fail(errno);
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
        const ssize_t got = sys::Read(m_fd, out + total, size - total);
        if (got < 0)
        {
            if (errno == EINTR)
                continue;
            Fail(errno);
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
        const ssize_t put = sys::Write(m_fd, in + total, size - total);
        if (put < 0)
        {
            if (errno == EINTR)
                continue;
            Fail(errno);
            return false;
        }
        if (put == 0)
        {
            Fail(EIO);
            return false;
        }
        total += static_cast<std::size_t>(put);
    }
    return true;
}

bool CFile::Seek(std::uint64_t offset)
{
    if (offset > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
    {
        Fail(EINVAL);
        return false;
    }
    if (sys::Seek(m_fd, static_cast<off_t>(offset), SEEK_SET) < 0)
    {
        Fail(errno);
        return false;
    }
    return true;
}

bool CFile::SeekToEnd()
{
    if (sys::Seek(m_fd, 0, SEEK_END) < 0)
    {
        Fail(errno);
        return false;
    }
    return true;
}

bool CFile::SetLength(std::uint64_t length)
{
    if (length > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
    {
        Fail(EFBIG);
        return false;
    }
    while (sys::Ftruncate(m_fd, static_cast<off_t>(length)) != 0)
    {
        if (errno == EINTR)
            continue;
        Fail(errno);
        return false;
    }
    return true;
}

std::optional<std::uint64_t> CFile::GetLength()
{
    const std::optional<FileStatus> status = GetStatus();
    if (!status)
        return std::nullopt;
    return status->size;
}

std::optional<FileIdentity> CFile::GetIdentity() const
{
    return m_fd >= 0 ? m_identity : std::nullopt;
}

std::optional<FileStatus> CFile::GetStatus()
{
    struct stat st = {};
    if (m_fd < 0)
        return std::nullopt;
    if (sys::Fstat(m_fd, &st) != 0)
    {
        Fail(errno);
        return std::nullopt;
    }
    FileStatus status;
    status.identity = IdentityOf(st);
    status.size = static_cast<std::uint64_t>(st.st_size);
    status.modified = FileTime{st.st_mtim.tv_sec, static_cast<std::uint32_t>(st.st_mtim.tv_nsec)};
    status.changed = FileTime{st.st_ctim.tv_sec, static_cast<std::uint32_t>(st.st_ctim.tv_nsec)};
    return status;
}
