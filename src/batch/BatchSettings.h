// What a batch writes for each track, and with which settings: the rows of the table of outputs
// asked for ("--outputs events,visits", outputs/OutputKinds.h), the settings they are made with,
// and where each track's outputs go.
#pragma once

#include "outputs/OutputKinds.h"
#include "outputs/OutputNames.h"
#include "outputs/OutputSettings.h"

#include <memory>
#include <string>
#include <vector>

struct BatchSettings
{
    std::string outDir;      // absolute; each track's outputs go below it in the folder of its label
    COutputSet outputs;      // the rows of the table of outputs
    OutputSettings settings; // what every track's outputs are made with
    std::string layoutPath;  // empty without a layout; outputs older than it are made again
    bool force = false;      // make every track's outputs again, even when they are up to date
};

// Where the outputs of the track with this label go: the folder of the label below the output
// folder, named after the label's last part.
[[nodiscard]] TrackOutputPlace MakeBatchPlace(const std::string& outDir, const std::string& label);

// The outputs of one track, in the table's order.
[[nodiscard]] std::vector<std::unique_ptr<ITrackOutput>> MakeBatchOutputs(const BatchSettings& settings,
                                                                          const TrackOutputPlace& place);
