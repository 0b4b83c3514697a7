// One pass over a track for a window command (outputs/OutputPass.h): the reader's messages as the
// reader shows them, the outputs' refusals before any progress shows, the records read behind the
// progress display with Cancel, and every problem an output hands back in a message box with the
// system's reason on its second line. The window's own playback keeps its four-record reader; the
// later commands that need every record (exports, reports, the heatmap) read this way.
#pragma once

#include "base/Problem.h"
#include "outputs/TrackOutput.h"

#include <span>
#include <string>
#include <string_view>

// Opens path and runs the pass. kOk when every output has put its files in place; kErrCancelled
// when the user pressed Cancel (nothing left behind, nothing to tell); otherwise the code of what
// failed, told. title and text are those of the progress display.
[[nodiscard]] int RunWindowPass(const std::string& path, std::span<ITrackOutput* const> outputs,
                                std::string_view title, std::string_view text);

// Shows a problem of the later commands in a message box: its text, and the system's reason on the
// next line when there is one.
void ShowProblem(const Problem& problem);
