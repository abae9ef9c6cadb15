// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/LcMeterSteps.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kx::analyzers {

// What the LC meter's dialog shows; the per-frame step changes it in the acquisition thread,
// the dialog copies it out (view()) and redraws when the revision moved.
struct LcMeterView {
    std::vector<std::string> memo; // lines; an entry may hold "\r\n"
    std::string result = "...";
    int progress = 0;
    int progressMaximum = analyzers::kLcStandardSteps;
    bool calibrateEnabled = false;
    bool startEnabled = false;
    bool stopEnabled = false;
    std::uint32_t revision = 0;
    std::uint32_t evaluations = 0; // runs evaluated since the dialog opened
};

} // namespace kx::analyzers
