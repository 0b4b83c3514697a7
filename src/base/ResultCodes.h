// Result codes shared by every module. Operations that can fail return one of these as a plain
// int; nothing is thrown across a module boundary. ResultText gives each its words, for an edge
// that has nothing better to say.
#pragma once

#include <string>

inline constexpr int kOk = 0;
inline constexpr int kErrNoInput = -1;  // nothing to compute, missing input, file not opened
inline constexpr int kErrOpen = -601;   // a file cannot be opened or written, or there is no drawing surface
inline constexpr int kErrNoBand = -602; // no rubber band to erase
inline constexpr int kErrNoRecord = -603;  // no file open, short read, index out of range, rect too small
inline constexpr int kErrCancelled = -604; // the user cancelled a long run; nothing was written
inline constexpr int kErrDamaged = -605;   // a file made from another (a position cache) failed its checks
// An output that cannot be created or written. It is the code the window's event files have always
// given for it, so every writer gives the one code whatever went wrong with its file.
inline constexpr int kErrWrite = kErrOpen;

// What a code means, in a few words ("a record cannot be read"); an unknown code is named by its
// number.
[[nodiscard]] std::string ResultText(int code);
