#include "cli/RunTool.h"

#include "support/TempDir.h"

#include <cstdlib>
#include <sys/wait.h>

namespace
{
std::string Quote(const std::string& word)
{
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs tracktool in dir with stdout sent to stdoutPath, or captured when that is empty.
ToolResult Run(const std::vector<std::string>& args, const std::string& dir, const std::string& stdoutPath)
{
    CTempDir capture;
    std::string command;
    if (!dir.empty())
        command += "cd " + Quote(dir) + " && ";
    command += Quote(TRACKTOOL_PATH);
    for (const std::string& arg : args)
        command += " " + Quote(arg);
    command += " >" + Quote(stdoutPath.empty() ? capture.File("out") : stdoutPath) + " 2>" +
               Quote(capture.File("err")) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadWholeFile(capture.File("out"));
    result.err = ReadWholeFile(capture.File("err"));
    return result;
}
} // namespace

ToolResult RunTool(const std::vector<std::string>& args, const std::string& dir)
{
    return Run(args, dir, {});
}

ToolResult RunToolWithStdout(const std::vector<std::string>& args, const std::string& stdoutPath)
{
    return Run(args, {}, stdoutPath);
}
