// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/SystemMeasurement.h"
#include "core/FrameRecord.h"
#include "core/state/CalibrationState.h"
#include "device/RegisterImage.h"

#include <cstdint>

namespace kx::app {

// The system calibration's base setup, written straight into the image: running at 10 000 points
// after the trigger, 5 ms/div, A1 and A2 at 500 mV/div with their zero lines centred, the logic
// inputs at the test threshold, the generator's 3 V sine of `cycles` per record at 0 V, the
// converter trims and dither from the table being edited, the tuning code given.
void fillSystemCalibrationImage(device::RegisterImage& image, const core::CalTable& systemTable,
                                const core::CalTable& zeroTable, int cycles, std::uint16_t refOscCode,
                                std::int32_t thresholdMicroVolts);

// The measurement's view of the frame in the record (read in the synchronised update).
calibration::SystemFrame systemFrameFrom(const core::FrameRecord& frame, int cycles);

inline constexpr double kSystemExpectedAmplitude = 3000000.0; // uV peak to peak at 500 mV/div
inline constexpr int kSystemBaseCycles = 25;

} // namespace kx::app
