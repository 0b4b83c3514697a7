// The analysis settings (regions/AnalysisSettings.h) in a region layout: from version 2 on, its
// top-level keys beside "margin" and "regions":
//
//     "calibration": { "line": [[100, 240], [540, 240]], "length_cm": 55 },
//     "rules": { "merge_gap_s": 0.5, "min_visit_s": 0.25 },
//     "bins_s": 60,
//     "movement": { "speed_window": 15, "immobile_below_cm_s": 2.0, "min_immobile_s": 1.0 },
//
// The calibration takes exactly one form: { "cm_per_px": F }, { "line": [[x1, y1], [x2, y2]],
// "length_cm": L } or { "arena": [l, t, r, b], "size_cm": [W, H] }. Every key may be left out and
// then has its default; unknown keys are ignored, as everywhere in a layout. The same settings as
// the "settings" object of a receipt, with the value of each and what it came to in records.
#pragma once

#include "regions/AnalysisSettings.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

// Reads the settings keys of a layout's root object into settings, whose values stay for the keys
// that are not there. What is wrong otherwise, naming the key ("rules.min_visit_s is not a number
// of seconds from 0 to 3600"); settings are then partly read and not to be used.
[[nodiscard]] std::optional<std::string> ReadLayoutSettings(const nlohmann::json& root,
                                                            AnalysisSettings& settings);

// The settings as a saved layout has them: one line per key, each "  \"key\": ...,\n", to stand
// between the margin and the regions. The calibration is written in the form it was given and
// bins_s only when set; the rules and movement always, defaults included, so that a layout shows
// what it may hold. Numbers are written so that they read back the same.
[[nodiscard]] std::string FormatLayoutSettings(const AnalysisSettings& settings);

// Every setting with the value used, defaults included, and the calibration's factor, for a
// receipt: { "calibration": { "form": "none" | "cm_per_px" | "line" | "arena", the form's values,
// "cm_per_px": F or null }, "rules": { "merge_gap_s", "merge_gap_records", "min_visit_s",
// "min_visit_records" }, "bins_s": S or null, "bin_records": B or null, "movement": {
// "speed_window", "immobile_below_px_s", "immobile_below_cm_s" (the one not used null),
// "min_immobile_s", "min_immobile_records" } }.
[[nodiscard]] nlohmann::json SettingsReceipt(const AnalysisSettings& settings);
