// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/SystemMeasurement.h"
#include "core/state/CalibrationState.h"

#include <string>

namespace kx::calibration {

// A channel's converter status: "GAIN0 = " amplitude " (" gain code ")", "GAIN1 = ..",
// "SHFT0 = " difference " (" first offset code ")", "SHFT1 = (" second offset code ")", one per
// line, and the verdict ("OK" / "FAILED" in the 1 kHz test, "-" otherwise).
std::string adcStatusText(const SystemResults& r, const core::CalTable& systemTable, int channel,
                          bool verifying, double expected);

} // namespace kx::calibration
