#include "support/FileChecks.h"

#include "support/TempDir.h"

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
// Short contents as they are; longer ones by length and a hash, so that a difference prints small.
std::string DigestOf(const std::string& bytes)
{
    constexpr std::size_t kShown = 64;
    if (bytes.size() <= kShown)
        return bytes;
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return "<" + std::to_string(bytes.size()) + " bytes, hash " + std::to_string(hash) + ">";
}
} // namespace

std::map<std::string, std::string> SnapshotFolder(const std::string& folder)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        const std::string name = entry.path().filename().string();
        if (entry.is_symlink())
            entries[name] = "<link to " + std::filesystem::read_symlink(entry.path()).string() + ">";
        else if (entry.is_regular_file())
            entries[name] = DigestOf(ReadWholeFile(entry.path().string()));
        else if (entry.is_directory())
            entries[name] = "<dir>";
        else
            entries[name] = "<other>";
    }
    return entries;
}

std::map<std::string, std::string> VisibleEntries(const std::map<std::string, std::string>& snapshot)
{
    std::map<std::string, std::string> visible;
    for (const auto& [name, bytes] : snapshot)
        if (name.empty() || name[0] != '.')
            visible.emplace(name, bytes);
    return visible;
}

std::size_t CountOpenDescriptors()
{
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

std::optional<int> RunInChild(const std::function<int()>& body, std::chrono::seconds limit,
                              std::size_t fileSizeLimit)
{
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0)
    {
        const rlimit fileSize{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &fileSize);
        std::signal(SIGXFSZ, SIG_IGN);
        ::_exit(body());
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0)
    {
        if (std::chrono::steady_clock::now() > deadline)
        {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) ? std::optional<int>(WEXITSTATUS(status)) : std::optional<int>(-1);
}

bool MakeFifo(const std::string& path)
{
    return ::mkfifo(path.c_str(), 0600) == 0;
}
