#include "base/OutputFile.h"

#include "base/SystemCalls.h"

#include <atomic>
#include <utility>
#include <vector>

namespace
{
// Links are followed at most this many times, as the system does for a path.
constexpr int kMaxLinkHops = 40;
// Names tried for the temporary file before giving up.
constexpr int kMaxTemporaryNames = 100;

std::atomic<std::uint64_t> g_nTemporaryCounter{0};

std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}
} // namespace

COutputFile::~COutputFile()
{
    Discard();
}

void COutputFile::ReleaseLock()
{
    // The descriptor only held the lock and read nothing: its close has nothing to report, so it
    // bypasses the file layer's calls.
    if (m_lockFd >= 0)
        (void)::close(std::exchange(m_lockFd, -1));
}

bool COutputFile::Refuse(int error)
{
    m_problem = FileProblem{};
    m_problem.error = error;
    return false;
}

bool COutputFile::ResolveTarget()
{
    std::string path = m_strDestination;
    for (int hop = 0; hop <= kMaxLinkHops; ++hop)
    {
        struct stat st = {};
        if (sys::Lstat(path.c_str(), &st) != 0)
        {
            if (errno != ENOENT)
                return Refuse(errno);
            m_strTarget = path; // a new name (or a link to one): created there
            return true;
        }
        if (!S_ISLNK(st.st_mode))
        {
            m_strTarget = path;
            return true;
        }
        std::vector<char> link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1);
        const ssize_t length = sys::ReadLink(path.c_str(), link.data(), link.size());
        if (length < 0)
            return Refuse(errno);
        if (static_cast<std::size_t>(length) >= link.size())
            return Refuse(ENAMETOOLONG); // the link changed while it was read
        const std::string target(link.data(), static_cast<std::size_t>(length));
        path = !target.empty() && target[0] == '/' ? target : FolderOf(path) + "/" + target;
    }
    return Refuse(ELOOP);
}

bool COutputFile::CheckTarget(ShareMode share)
{
    struct stat st = {};
    if (sys::Stat(m_strTarget.c_str(), &st) != 0)
        return errno == ENOENT ? true : Refuse(errno);
    if (!S_ISREG(st.st_mode))
    {
        Refuse(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
        m_problem.kind = sys::KindOfMode(st.st_mode);
        return false;
    }
    const FileIdentity identity{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
    if (IsOpenForReading(identity))
    {
        Refuse(EBUSY);
        m_problem.isOpenInput = true;
        return false;
    }
    if (share == ShareMode::Exclusive)
    {
        sys::CDescriptor fd(sys::Open(m_strTarget.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC, 0));
        if (!fd.IsValid())
            return Refuse(errno);
        if (sys::Flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
            return Refuse(errno);
        m_lockFd = fd.Release();
    }
    return true;
}

bool COutputFile::CreateTemporary(ShareMode share)
{
    const std::string folder = FolderOf(m_strTarget);
    const std::string base = FileNameOfPath(m_strTarget);
    for (int attempt = 0; attempt < kMaxTemporaryNames; ++attempt)
    {
        // Hidden, beside the destination (so the rename stays on one file system), and unique
        // within the process and between processes.
        const std::string name = folder + "/." + base + "." + std::to_string(::getpid()) + "." +
                                 std::to_string(g_nTemporaryCounter.fetch_add(1)) + ".tmp";
        if (m_file.Open(name, FileMode::CreateNew, share))
        {
            m_strTemporary = name;
            m_bTemporaryExists = true;
            return true;
        }
        if (m_file.GetLastError() != EEXIST)
            break;
    }
    m_problem = m_file.GetProblem();
    return false;
}

bool COutputFile::Create(const std::string& destination, ShareMode share)
{
    Discard();
    m_problem = FileProblem{};
    m_strDestination = destination;
    m_strTarget.clear();
    if (!ResolveTarget() || !CheckTarget(share) || !CreateTemporary(share))
    {
        Discard();
        return false;
    }
    return true;
}

bool COutputFile::Write(const void* buffer, std::size_t size)
{
    if (m_file.Write(buffer, size))
        return true;
    m_problem = m_file.GetProblem();
    return false;
}

bool COutputFile::Finish()
{
    if (!m_bTemporaryExists)
        return Refuse(EBADF);
    if (!m_file.IsOpen() || m_file.Close())
        return true;
    m_problem = m_file.GetProblem();
    Discard();
    return false;
}

bool COutputFile::Commit()
{
    if (!Finish())
        return false;
    if (sys::Rename(m_strTemporary.c_str(), m_strTarget.c_str()) != 0)
    {
        Refuse(errno);
        Discard();
        return false;
    }
    m_bTemporaryExists = false;
    ReleaseLock();
    return true;
}

void COutputFile::Discard()
{
    (void)m_file.Close();
    if (std::exchange(m_bTemporaryExists, false))
        (void)sys::Unlink(m_strTemporary.c_str());
    ReleaseLock();
}

bool CommitAll(const std::vector<COutputFile*>& outputs, std::size_t& failedIndex)
{
    const auto Fail = [&](std::size_t index)
    {
        failedIndex = index;
        for (COutputFile* output : outputs)
            output->Discard();
        return false;
    };
    for (std::size_t i = 0; i < outputs.size(); ++i)
        if (!outputs[i]->Finish())
            return Fail(i);

    // How each output put in place so far got there.
    enum class Placed
    {
        New,      // renamed to a name that did not exist: renamed back to undo
        Swapped,  // swapped with the old content: swapped again to undo
        Replaced, // renamed over the old content (a file system that cannot swap): kept
    };
    std::vector<Placed> placed;
    const auto Undo = [&]
    {
        for (std::size_t i = placed.size(); i-- > 0;)
        {
            const COutputFile& output = *outputs[i];
            const char* temporary = output.m_strTemporary.c_str();
            const char* target = output.m_strTarget.c_str();
            if (placed[i] == Placed::Swapped)
                (void)sys::Exchange(temporary, target);
            else if (placed[i] == Placed::New)
                (void)sys::Rename(target, temporary);
        }
    };
    for (std::size_t i = 0; i < outputs.size(); ++i)
    {
        COutputFile& output = *outputs[i];
        struct stat st = {};
        const bool exists = sys::Lstat(output.m_strTarget.c_str(), &st) == 0;
        if (!exists && errno != ENOENT)
        {
            output.Refuse(errno);
            Undo();
            return Fail(i);
        }
        const char* temporary = output.m_strTemporary.c_str();
        const char* target = output.m_strTarget.c_str();
        Placed how = exists ? Placed::Swapped : Placed::New;
        int result = exists ? sys::Exchange(temporary, target) : sys::Rename(temporary, target);
        if (result != 0 && exists && (errno == EINVAL || errno == ENOSYS))
        {
            how = Placed::Replaced;
            result = sys::Rename(temporary, target);
        }
        if (result != 0)
        {
            output.Refuse(errno);
            Undo();
            return Fail(i);
        }
        placed.push_back(how);
    }
    for (std::size_t i = 0; i < outputs.size(); ++i)
    {
        COutputFile& output = *outputs[i];
        if (placed[i] == Placed::Swapped)
            (void)sys::Unlink(output.m_strTemporary.c_str()); // the old content
        output.m_bTemporaryExists = false;
        output.ReleaseLock();
    }
    return true;
}
