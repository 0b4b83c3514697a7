// Runs the built tracktool with arguments and captures what it printed and its exit status.
#pragma once

#include <string>
#include <vector>

struct ToolResult
{
    int exitCode = -1;
    std::string out; // stdout
    std::string err; // stderr
};

// Runs tracktool with args in the working directory dir (the current one when empty).
ToolResult RunTool(const std::vector<std::string>& args, const std::string& dir = {});

// Runs tracktool with args and its stdout sent to stdoutPath (a device such as /dev/full); out
// stays empty.
ToolResult RunToolWithStdout(const std::vector<std::string>& args, const std::string& stdoutPath);
