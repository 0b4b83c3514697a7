#include "batch/BatchTestSupport.h"

#include "support/TrackFileBuilder.h"
#include "trackfile/TrackGenerator.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

void WriteStudy(const std::string& root, const std::vector<StudyTrack>& tracks)
{
    for (const StudyTrack& track : tracks)
    {
        const std::string path = root + "/" + track.path;
        fs::create_directories(fs::path(path).parent_path());
        if (track.records == 0)
            CTrackFileBuilder().Write(path);
        else
        {
            TrackGeneratorOptions options;
            options.records = track.records;
            options.seed = track.seed;
            ASSERT_EQ(WriteGeneratedTrack(path, options), 0) << path;
        }
        DateBack(path, std::chrono::hours(1));
    }
}

std::string WriteArenaLayout(const CTempDir& dir)
{
    const std::string path = dir.File("arena.json");
    WriteWholeFile(path, "{\"format\": \"trackplay-layout\", \"version\": 1, \"margin\": 6, \"regions\": ["
                         "{\"name\": \"left half\", \"rect\": [0, 0, 320, 480]}, "
                         "{\"name\": \"centre, wide\", \"rect\": [440, 330, 200, 150]}]}");
    DateBack(path, std::chrono::hours(1));
    return path;
}

void DateBack(const std::string& path, std::chrono::seconds age)
{
    fs::last_write_time(path, fs::file_time_type::clock::now() - age);
}

std::map<std::string, std::string> FilesBelow(const std::string& root)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file())
            files[fs::relative(entry.path(), root).generic_string()] = ReadWholeFile(entry.path().string());
    return files;
}

std::string WithoutSeconds(const std::string& status)
{
    std::string text;
    std::size_t start = 0;
    while (start < status.size())
    {
        const std::size_t end = status.find('\n', start);
        const std::string line = status.substr(start, end - start);
        text += line.substr(0, line.find_last_of(',')) + "\n";
        start = end == std::string::npos ? status.size() : end + 1;
    }
    return text;
}
