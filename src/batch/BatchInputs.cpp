#include "batch/BatchInputs.h"

#include "base/File.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace
{
constexpr std::string_view kTrackExtensions[] = {".qtf", ".dat"};

// Absolute, without "." and ".." parts, and without a final separator (but for the root).
std::string NormalPath(const std::string& path, const std::string& currentDir)
{
    std::string normal = (fs::path(currentDir) / fs::path(path)).lexically_normal().generic_string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    return normal;
}

std::string ParentOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::string UnreadableFolder(const std::string& folder, const std::error_code& error)
{
    return "Cannot read the folder " + folder + " (" + error.message() + ").";
}

// Adds the tracker files below folder, through every subfolder (links to folders are not
// followed, so that a link back up cannot make the search endless).
void SearchFolder(const std::string& folder, std::vector<BatchTrack>& tracks)
{
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    if (error)
    {
        tracks.push_back(BatchTrack{folder, {}, UnreadableFolder(folder, error)});
        return;
    }
    for (; entry != fs::directory_iterator(); entry.increment(error))
    {
        const std::string path = entry->path().generic_string();
        std::error_code kindError;
        if (entry->is_directory(kindError) && !entry->is_symlink(kindError))
            SearchFolder(path, tracks);
        else if (entry->is_regular_file(kindError) && IsTrackFileName(entry->path().filename().string()))
            tracks.push_back(BatchTrack{path, {}, {}});
    }
    if (error)
        tracks.push_back(BatchTrack{folder, {}, UnreadableFolder(folder, error)});
}

std::vector<std::string> Components(const std::string& path)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < path.size())
    {
        const std::size_t slash = std::min(path.find('/', start), path.size());
        if (slash > start)
            parts.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

std::string LabelOf(const std::string& path, const std::string& common)
{
    if (path == common)
        return FileNameOfPath(path);
    const std::size_t skip = common == "/" ? 1 : common.size() + 1;
    return path.substr(skip);
}
} // namespace

std::vector<std::string> ParseInputList(std::string_view text)
{
    std::vector<std::string> paths;
    std::size_t start = 0;
    while (start < text.size())
    {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        // Windows line ends, doubled too by a list converted twice: no listed path ends in a
        // carriage return.
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#')
            continue;
        paths.emplace_back(line);
    }
    return paths;
}

bool IsTrackFileName(std::string_view name)
{
    for (const std::string_view extension : kTrackExtensions)
    {
        if (name.size() <= extension.size())
            continue;
        const std::string_view tail = name.substr(name.size() - extension.size());
        if (std::equal(tail.begin(), tail.end(), extension.begin(),
                       [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; }))
            return true;
    }
    return false;
}

std::string CommonFolder(const std::vector<std::string>& folders)
{
    if (folders.empty())
        return "/";
    std::vector<std::string> common = Components(folders.front());
    for (const std::string& folder : folders)
    {
        const std::vector<std::string> parts = Components(folder);
        const auto [stop, unused] = std::mismatch(common.begin(), common.end(), parts.begin(), parts.end());
        common.erase(stop, common.end());
    }
    std::string path;
    for (const std::string& part : common)
        path += "/" + part;
    return path.empty() ? std::string("/") : path;
}

std::vector<BatchTrack> CollectBatchTracks(const std::vector<std::string>& inputs,
                                           const std::string& currentDir)
{
    std::vector<BatchTrack> tracks;
    std::vector<std::string> folders;
    for (const std::string& input : inputs)
    {
        const std::string path = NormalPath(input, currentDir);
        std::error_code error;
        if (fs::is_directory(path, error))
        {
            folders.push_back(path);
            SearchFolder(path, tracks);
        }
        else
        {
            folders.push_back(ParentOf(path));
            tracks.push_back(BatchTrack{path, {}, {}});
        }
    }

    std::sort(tracks.begin(), tracks.end(),
              [](const BatchTrack& a, const BatchTrack& b) { return a.path < b.path; });
    std::vector<BatchTrack> unique;
    std::set<std::pair<std::uint64_t, std::uint64_t>> seen; // device and inode of the files kept
    for (BatchTrack& track : tracks)
    {
        if (!unique.empty() && unique.back().path == track.path)
            continue;
        if (const auto identity = GetPathIdentity(track.path); identity && track.problem.empty())
            if (!seen.insert({identity->device, identity->inode}).second)
                continue;
        unique.push_back(std::move(track));
    }
    const std::string common = CommonFolder(folders);
    for (BatchTrack& track : unique)
        track.label = LabelOf(track.path, common);
    return unique;
}
