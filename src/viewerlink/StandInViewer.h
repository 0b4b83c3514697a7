// A stand-in for the companion viewer on the session bus, so that the link can be tried without
// the viewer: it owns the viewer's bus name, serves its object, and answers dispatch id 12 with a
// timestamp that starts at a given value and grows by 16,667 (one sixtieth of a second in
// microseconds) per call. Other calls get error replies and leave the timestamp alone.
//
// This header includes no Qt header, so that tracktool can offer the stand-in without Qt.
#pragma once

#include "viewerlink/ViewerAutomation.h"

#include <cstdint>
#include <functional>

inline constexpr std::int32_t kStandInTimestampStep = 16667;

// Why the stand-in could not serve (besides kViewerErrNoBus: the session bus cannot be reached).
inline constexpr std::int32_t kStandInErrNoObject =
    viewer_codes::FromBits(0x80040231u); // the object path could not be registered
inline constexpr std::int32_t kStandInErrNameTaken =
    viewer_codes::FromBits(0x80040232u); // another process owns the viewer's name
inline constexpr std::int32_t kStandInErrNoSignals =
    viewer_codes::FromBits(0x80040233u); // the stop signals could not be watched

// Serves the stand-in on the session bus until SIGTERM or SIGINT, which end it cleanly (the name
// is released and the object removed). onServing is called once the name and the object are in
// place, the moment a client can reach them. Makes its own QCoreApplication unless one exists;
// call it from the main thread. kOk after a clean stop, else kViewerErrNoBus, kStandInErrNoObject,
// kStandInErrNameTaken or kStandInErrNoSignals.
std::int32_t ServeStandInViewer(std::int32_t firstTimestamp, const std::function<void()>& onServing);
