// One pass over a track that feeds every output asked of it (event files, visit tables, the
// per-record table, the quality report, pictures) and leaves the track's outputs complete or
// absent: when any output fails, the files the others already put in place are taken away again.
// Batch runs make each track's outputs through it; the window could do the same for one file.
#pragma once

#include "trackfile/RecordStream.h"

#include <span>
#include <string>
#include <vector>

// An output of a pass: a record consumer that puts its files in place when it ends well (End),
// and none of them otherwise.
class ITrackOutput : public IRecordConsumer
{
public:
    // Every file the output puts in place at End, known before the pass: what a resumed run looks
    // for, and what is taken away when another output of the same pass fails.
    [[nodiscard]] virtual std::vector<std::string> Files() const = 0;
};

// Opens the track at path and hands its records, in one pass of the block reader, to every
// output. kOk when every output has put its files in place. Otherwise the first failure's code,
// told to the user (kErrOpen when the track cannot be opened, kErrNoInput when it has no records,
// the reader's or an output's code), and no output's file is left in place by this pass. source,
// when given, receives what the reader learnt of the track (its record count).
int RunTrackPass(const std::string& path, std::span<ITrackOutput* const> outputs,
                 const StreamProgress& progress = {}, TrackSourceInfo* source = nullptr);
