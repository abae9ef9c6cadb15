// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

namespace kx::analyzers {

// What a calibration dialog of the network or the antenna analyzer shows; the session fills it
// from the sweep's progress (the dialog polls it).
struct SweepCalibrationView {
    bool deviceReady = false;
    bool measuring = false;
    int progress = 0;
    std::array<std::string, 3> status{"-", "-", "-"}; // per standard (the network analyzer has one)
    bool saveEnabled = false;
    std::string info; // "Points = ..." of the table in use, while no step is active
    std::string useCaption;
    bool use = false;
    bool minus20 = false;
};

} // namespace kx::analyzers
