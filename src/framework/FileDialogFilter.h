// The file dialog rules shared by both hosts: the filter text "Name|*.ext|Name|*.ext||" split
// into entries (the first is selected when the dialog opens), and the default extension.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FileFilterEntry
{
    std::string name;    // "Zentravox Video Tracker Files (*.qtf)"
    std::string pattern; // "*.qtf"
    friend bool operator==(const FileFilterEntry&, const FileFilterEntry&) = default;
};

// Splits the filter into (name, pattern) pairs; stops at the empty entry of "||" or at the end.
// A name without a pattern is dropped.
[[nodiscard]] std::vector<FileFilterEntry> ParseFileFilter(std::string_view filter);

// The chosen path with defaultExtension (".qtf") appended when its file name has no extension of
// its own (no '.' after the last '/'); unchanged when defaultExtension is empty.
[[nodiscard]] std::string ApplyDefaultExtension(std::string path, std::string_view defaultExtension);
