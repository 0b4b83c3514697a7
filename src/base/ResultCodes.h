// Result codes shared by every module. Operations that can fail return one of these as a plain
// int; nothing is thrown across a module boundary.
#pragma once

inline constexpr int kOk = 0;
inline constexpr int kErrNoInput = -1;     // nothing to compute, missing input, file not opened
inline constexpr int kErrOpen = -601;      // a file cannot be opened, or there is no drawing surface
inline constexpr int kErrNoBand = -602;    // no rubber band to erase
inline constexpr int kErrNoRecord = -603;  // no file open, short read, index out of range, rect too small
inline constexpr int kErrCancelled = -604; // the user cancelled a long run; nothing was written
inline constexpr int kErrDamaged = -605;   // a file made from another (a position cache) failed its checks
