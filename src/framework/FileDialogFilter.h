// The file dialog rules shared by both hosts: the filter text "Name|*.ext|Name|*.ext||" split
// into entries (the first is selected when the dialog opens), and the default extension.
#pragma once

#include "base/MessageSink.h"

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

// The name an open dialog hands back: as ApplyDefaultExtension, except that a name without an
// extension stays as it is when a file of that name exists and none with the extension does
// (so both "VT1" for VT1.qtf and a file really called "notes" open).
[[nodiscard]] std::string ResolveOpenDialogName(std::string path, std::string_view defaultExtension);

// A file dialog's answer with the default-extension rule of the request's kind.
[[nodiscard]] std::string ResolveFileDialogName(std::string path, const FileDialogRequest& request);
