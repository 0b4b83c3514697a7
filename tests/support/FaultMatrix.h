// Runs a writer once to count the file layer's calls of each kind, then again with each of those
// calls failing in turn (each error kind, and a short write for writes), and checks that every
// such run fails cleanly: a failure result and a message, no message of completion, the folder
// exactly as before (inputs byte for byte, earlier outputs untouched, no partial or temporary
// file), and no descriptor left open.
#pragma once

#include "support/TempDir.h"

#include <functional>
#include <string>
#include <vector>

struct WriterUnderTest
{
    std::string name;
    // Puts the writer's inputs (and any earlier outputs) into the folder.
    std::function<void(const CTempDir&)> prepare;
    // Runs the writer on the folder's files; its result code (0 for success).
    std::function<int(const CTempDir&)> run;
    // Whether a failed removal of swapped-out old content may leave the run successful (see
    // CommitAll): the outputs must then be complete.
    bool cleanupMayFail = false;
    // Closes at the very end of the run that belong to inputs released after the outputs are in
    // place (a reader's destructor): nothing is left to fail then, so they are not faulted.
    std::uint64_t inputClosesAtTheEnd = 0;
};

// Checks every fault of the matrix for the writer; returns the number of faulted runs made.
std::size_t ExpectEveryFaultFailsCleanly(const WriterUnderTest& writer);
