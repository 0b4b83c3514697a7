// tracktool: batch commands over the same core as the window, for scripting and for checking the
// core from outside. Core messages appear on stderr, one line each, exactly as their texts read.
#include "cli/CliApp.h"
#include "cli/CliCommand.h"
#include "cli/ToolMessageSink.h"

#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    CToolMessageSink sink;
    CScopedMessageSink scopedSink(sink);
    int status = kExitFailed;
    try
    {
        CCliApp tool(RegisteredCliCommands(), std::string("tracktool ") + TRACKPLAY_VERSION);
        status = tool.Run(std::vector<std::string>(argv + 1, argv + argc));
    }
    catch (const std::exception& error) // nothing the commands or CLI11 throw ends the tool unreported
    {
        ShowMessage(std::string("tracktool: ") + error.what());
        status = kExitFailed;
    }
    return FinishOutput(stdout, status);
}
