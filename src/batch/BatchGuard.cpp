#include "batch/BatchGuard.h"

#include "base/ResultCodes.h"
#include "base/SystemCalls.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

void CBatchInputs::Add(const std::string& path)
{
    if (const std::optional<FileIdentity> identity = GetPathIdentity(path))
        m_identities.push_back(*identity);
}

std::optional<std::string> CBatchInputs::FirstInput(const std::vector<std::string>& files) const
{
    for (const std::string& file : files)
    {
        const std::optional<FileIdentity> identity = GetPathIdentity(file);
        if (identity && std::find(m_identities.begin(), m_identities.end(), *identity) != m_identities.end())
            return file;
    }
    return std::nullopt;
}

std::string OutputIsInputMessage(const std::string& file)
{
    return "The output " + file + " is one of the batch's inputs; no outputs were written.";
}

namespace
{
constexpr mode_t kLockFileMode = 0644; // readable by anyone who wants to know who holds the folder

// The process id a lock file holds, or 0.
long ReadHolder(int fd)
{
    char text[32] = {};
    const ssize_t length = ::pread(fd, text, sizeof text - 1, 0);
    long pid = 0;
    if (length > 0)
        std::from_chars(text, text + length, pid);
    return pid;
}
} // namespace

Problem CBatchLock::Take(const std::string& outDir)
{
    m_path = outDir + "/" + std::string(kBatchLockName);
    // The holder removes the file when it is done; a lock taken on a file already removed is taken
    // again on the new one.
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        sys::CDescriptor fd(sys::Open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kLockFileMode));
        if (!fd.IsValid())
            return Failure(kErrOpen, "Cannot lock the output folder " + outDir + "; nothing was written.",
                           std::strerror(errno));
        if (sys::Flock(fd.Get(), LOCK_EX | LOCK_NB) != 0)
        {
            if (errno != EWOULDBLOCK)
                return Failure(kErrOpen, "Cannot lock the output folder " + outDir + "; nothing was written.",
                               std::strerror(errno));
            const long holder = ReadHolder(fd.Get());
            return Failure(kErrOpen, "The output folder " + outDir + " is in use by another batch (process " +
                                         (holder > 0 ? std::to_string(holder) : std::string("unknown")) +
                                         "); nothing was written.");
        }
        struct stat held = {};
        struct stat named = {};
        if (sys::Fstat(fd.Get(), &held) != 0 || sys::Stat(m_path.c_str(), &named) != 0 ||
            held.st_ino != named.st_ino || held.st_dev != named.st_dev)
            continue;
        const std::string pid = std::to_string(::getpid()) + "\n";
        if (sys::Ftruncate(fd.Get(), 0) != 0 || ::pwrite(fd.Get(), pid.data(), pid.size(), 0) < 0)
            return Failure(kErrOpen, "Cannot lock the output folder " + outDir + "; nothing was written.",
                           std::strerror(errno));
        m_fd = fd.Release();
        return {};
    }
    return Failure(kErrOpen, "Cannot lock the output folder " + outDir + "; nothing was written.");
}

CBatchLock::~CBatchLock()
{
    if (m_fd < 0)
        return;
    ::unlink(m_path.c_str()); // while still held: a waiting batch then locks a new file
    ::close(m_fd);
}

std::optional<long> TemporaryFileOwner(std::string_view name)
{
    // ".NAME.PID.N.tmp" with NAME not empty.
    constexpr std::string_view kEnd = ".tmp";
    if (name.size() < 2 || name.front() != '.' || !name.ends_with(kEnd))
        return std::nullopt;
    std::string_view rest = name.substr(1, name.size() - 1 - kEnd.size());
    const auto takeNumber = [&rest]() -> std::optional<long>
    {
        const std::size_t dot = rest.rfind('.');
        if (dot == std::string_view::npos || dot + 1 == rest.size())
            return std::nullopt;
        const std::string_view digits = rest.substr(dot + 1);
        long value = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (error != std::errc() || end != digits.data() + digits.size() || value < 0)
            return std::nullopt;
        rest = rest.substr(0, dot);
        return value;
    };
    if (!takeNumber())
        return std::nullopt;
    const std::optional<long> pid = takeNumber();
    if (!pid || *pid == 0 || rest.empty())
        return std::nullopt;
    return pid;
}

std::size_t RemoveLeftTemporaries(const std::string& outDir)
{
    std::size_t removed = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(outDir, error), end; !error && it != end; it.increment(error))
    {
        const std::optional<long> owner = TemporaryFileOwner(it->path().filename().string());
        if (!owner || !it->is_regular_file(error))
            continue;
        // A process still running may be writing it (a single command given the same folder).
        if (*owner == ::getpid() || ::kill(static_cast<pid_t>(*owner), 0) == 0 || errno != ESRCH)
            continue;
        std::error_code gone;
        if (fs::remove(it->path(), gone))
            ++removed;
    }
    return removed;
}
