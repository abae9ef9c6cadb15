// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"

#include <cstdint>
#include <string>

namespace kx::calibration {

// Reference-oscillator tuning DAC code for a deviation of `ppm`, interpolated piecewise in the
// five-point tuning table of the system calibration table (bytes 22..31, ppm x 100 at
// 0x4000..0xC000; the outer segments extend beyond the table). 0 and 0xFFFF mean out of
// range; a table with two equal neighbouring points gives 0x8000.
std::uint16_t CodeForPpm(double ppm, const core::CalTable& systemTable);

// "Freq_Clbr" limits, in 0.01 ppm.
inline constexpr std::int32_t kFreqClbrMin = -1500;
inline constexpr std::int32_t kFreqClbrMax = 1500;

// The frequency dialog's label: "PPM = " with the correction (two decimals), then " - out of
// range" when the tuning code is at an end, or in debug mode the code in brackets.
std::string ppmLabel(std::int32_t freqClbr, const core::CalTable& systemTable, bool debugMode);

} // namespace kx::calibration
