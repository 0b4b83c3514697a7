#include "support/FuzzScratch.h"

#include "support/FuzzInput.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

CFuzzScratchDir::CFuzzScratchDir()
{
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "trackplay-fuzz-XXXXXX").string();
    FuzzCheck(::mkdtemp(pattern.data()) != nullptr, "a scratch folder can be made");
    m_strPath = pattern;
}

CFuzzScratchDir::~CFuzzScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
}

std::vector<std::string> CFuzzScratchDir::List() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_strPath))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void CFuzzScratchDir::Clear() const
{
    for (const auto& entry : std::filesystem::directory_iterator(m_strPath))
    {
        std::error_code error;
        std::filesystem::remove_all(entry.path(), error);
        FuzzCheck(!error, "the scratch folder can be emptied");
    }
}

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path)
{
    // One read of the whole file: the check code is instrumented too, and a byte-wise read would
    // spend the fuzzer's time in the stream library.
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size < 0)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (in.gcount() != size)
        return std::nullopt;
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    out.close();
    return static_cast<bool>(out);
}
