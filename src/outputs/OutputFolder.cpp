#include "outputs/OutputFolder.h"

#include <filesystem>
#include <system_error>

Problem MakeOutputFolder(const std::string& dir)
{
    std::error_code error;
    if (std::filesystem::is_directory(dir, error))
        return {};
    std::filesystem::create_directories(dir, error);
    if (!error && std::filesystem::is_directory(dir, error))
        return {};
    return Failure(kErrWrite, "Cannot make the folder " + dir + "; nothing was written.",
                   error ? error.message() : "something that is not a folder stands in its way");
}
