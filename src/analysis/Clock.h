// Seconds in every analysis output: records / 60, the program's own clock. The raw timestamps are
// copied as they stand beside them, so a user whose tracker writes another unit can use those.
#pragma once

#include <cstdint>

// Seconds that a number of records lasts at 60 records a second.
[[nodiscard]] double RecordsToSeconds(std::uint64_t records);
