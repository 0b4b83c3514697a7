// One pass over a track file for a window command: the file read front to back in large blocks
// (CBlockReader), its records handed to the command's consumers, behind a progress display with
// Cancel. The window's own playback keeps its four-record reader; only the later commands that
// need every record (exports, reports, the heatmap) read this way.
#pragma once

#include "trackfile/RecordStream.h"

#include <span>
#include <string>
#include <string_view>

// Opens path and runs the pass. kOk when every consumer ended well; kErrCancelled when the user
// pressed Cancel (every consumer abandoned, nothing to tell); otherwise the reader's or a
// consumer's code, already told to the user. title and text are those of the progress display.
int RunTrackPass(const std::string& path, std::span<IRecordConsumer* const> consumers, std::string_view title,
                 std::string_view text);
