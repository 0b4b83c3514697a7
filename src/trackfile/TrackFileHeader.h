// The header of a current-style tracker file: 16,384 bytes whose first 18 are the tag below.
#pragma once

#include <string_view>

class CFile;

inline constexpr std::string_view kTrackHeaderTag = "######## Zentravox";
static_assert(kTrackHeaderTag.size() == 18);

// Reads 18 bytes from the current position of an open file, seeks back to byte 0 whatever was
// read, and tells whether those bytes are the header tag. A file shorter than 18 bytes has none.
bool HasTrackFileHeader(CFile& file);
