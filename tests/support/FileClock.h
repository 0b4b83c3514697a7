// Waits on the clock the file systems stamp their times with, so that a test's next change of a
// file is sure to get a later change time than the one it has (within one tick of that clock, two
// changes may share a time). A wait for a condition, a few milliseconds at most; never a measure.
#pragma once

#include "base/File.h"

#include <string>

// Returns once the file system's clock has moved past time.
void WaitForClockPast(const FileTime& time);
// Returns once the clock has moved past the change time of the file at path (at once when there is
// none): a key read from then on is settled (trackfile/TrackKey.h).
void WaitUntilSettled(const std::string& path);
