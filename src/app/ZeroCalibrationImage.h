// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/ZeroCalibration.h"
#include "core/FrameRecord.h"
#include "core/state/CalibrationState.h"
#include "device/RegisterImage.h"

#include <cstdint>

namespace kx::app {

// The registers of one zero-calibration step, written straight into the image (apply-settings
// does not run meanwhile): running, 10 000 points after the trigger at 2 ms/div, no trigger,
// A1 and A2 AC coupled at the step's gain with both zero DACs at its code, no fine correction or
// manual shift, the generator off at 0 V (or loading the supply with noise at amplitude 3000).
// The part both calibrations' frames share: no trigger, condition or acquisition flags, `points`
// samples after the trigger position at `decimation`, the given channels, running.
void fillPlainCapture(device::RegisterImage& image, std::uint32_t decimation, std::uint16_t points,
                      std::uint8_t channelMask);

void fillZeroCalibrationImage(device::RegisterImage& image, const calibration::ZeroStep& step,
                              const core::CalTable& systemTable);

// What an assembled frame gives the zero calibration, with the supply reported now.
calibration::ZeroFrame zeroFrameFrom(const core::FrameHeader& h, std::uint16_t supplyRaw);

} // namespace kx::app
