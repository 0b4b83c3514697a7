// Calibrations and settings the settings tests build.
#pragma once

#include "regions/AnalysisSettings.h"

inline Calibration Factor(double cmPerPx)
{
    return Calibration{CalibrationForm::Factor, cmPerPx, {}, {}, 0.0, {}, 0.0, 0.0};
}

inline Calibration Line(Point from, Point to, double lengthCm)
{
    return Calibration{CalibrationForm::Line, 0.0, from, to, lengthCm, {}, 0.0, 0.0};
}

inline Calibration Arena(Rect arena, double widthCm, double heightCm)
{
    return Calibration{CalibrationForm::Arena, 0.0, {}, {}, 0.0, arena, widthCm, heightCm};
}

// An open field calibrated by a line of 55 cm, with rules, one-minute bins and a threshold in cm/s.
inline AnalysisSettings ExampleSettings()
{
    AnalysisSettings s;
    s.calibration = Line({100, 240}, {540, 240}, 55.0);
    s.mergeGapSeconds = 0.5;
    s.minVisitSeconds = 0.25;
    s.binSeconds = 60.0;
    s.immobileBelow = ImmobilityThreshold{SpeedUnit::CmPerSecond, 2.0};
    return s;
}
