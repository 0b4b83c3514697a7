// A tracktool command's pass over one track (outputs/OutputPass.h): the track opened, the outputs'
// destinations claimed, the records read behind the command's progress line, and every problem the
// outputs hand back told on stderr (the system's reason on the next line) as soon as its step ends.
#pragma once

#include "cli/CliProgress.h"
#include "outputs/OutputNames.h"
#include "outputs/OutputPass.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Prints lines on stdout, one a line (an output's SummaryLines).
void PrintLines(const std::vector<std::string>& lines);

class CCliPass
{
public:
    // label: the progress line's ("visits: 40% (400 of 1000)").
    explicit CCliPass(std::string label) : m_strLabel(std::move(label)) {}

    // Opens the track; kOk, or the reader's code (the reader has said why).
    [[nodiscard]] int Open(const std::string& path);
    [[nodiscard]] const TrackSourceInfo& Source() const { return m_pass.Source(); }

    // Prepares the outputs and runs the pass; kOk, or the first failure's code (told).
    [[nodiscard]] int Run(std::span<ITrackOutput* const> outputs);

private:
    void TellWhatCameBack();

    std::string m_strLabel;
    COutputPass m_pass;
};

// A command whose one output goes into a folder: the track opened, the folder made when missing, the
// output made for the track's name, the pass run and the output's summary printed. kOk, or the
// failure's code once told.
using MakeFolderOutput = std::function<std::unique_ptr<ITrackOutput>(const TrackOutputPlace& place)>;
[[nodiscard]] int RunOutputIntoFolder(const std::string& label, const std::string& path,
                                      const std::string& folder, const MakeFolderOutput& make);
