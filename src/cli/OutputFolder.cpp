#include "cli/OutputFolder.h"

#include "base/MessageSink.h"

#include <filesystem>
#include <system_error>

bool MakeOutputFolder(const std::string& dir)
{
    std::error_code error;
    if (std::filesystem::is_directory(dir, error))
        return true;
    std::filesystem::create_directories(dir, error);
    if (!error && std::filesystem::is_directory(dir, error))
        return true;
    ShowMessageWithReason("Cannot make the folder " + dir + "; nothing was written.",
                          error ? error.message() : "something that is not a folder stands in its way");
    return false;
}
