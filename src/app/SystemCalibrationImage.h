// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/SystemMeasurement.h"
#include "calibration/SystemTestModes.h"
#include "core/FrameRecord.h"
#include "core/state/CalibrationState.h"
#include "device/RegisterImage.h"

#include <cstdint>

namespace kx::app {

// What the system calibration's registers depend on besides the tables.
struct SystemImageInputs {
    calibration::SystemTestSetup setup;
    std::uint16_t refOscCode = 0x8000;
    std::int32_t thresholdMicroVolts = 2500000;
    bool compact = false; // the compact front end: 100 mV/div and its own range codes
};

// The system calibration's base setup and the test mode's changes, written straight into the
// image: running at 10 000 points after the trigger, A1 and A2 at 500 mV/div with their zero
// lines centred, the logic inputs at the test threshold, the generator's sine of the expected
// amplitude at 0 V, the converter trims and dither from the table being edited.
void fillSystemCalibrationImage(device::RegisterImage& image, const core::CalTable& systemTable,
                                const core::CalTable& zeroTable, const SystemImageInputs& in);

// The test sine's peak-to-peak amplitude (uV) and the inputs' range (uV per division).
inline double systemExpectedAmplitude(bool compact) {
    return compact ? 650000.0 : 3000000.0;
}
inline double systemRangeMicroVolts(bool compact) {
    return compact ? 100000.0 : 500000.0;
}

// The measurement's view of the frame in the record (500 mV/div; the caller sets another range).
calibration::SystemFrame systemFrameFrom(const core::FrameRecord& frame, int cycles);

} // namespace kx::app
