// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "calibration/SystemMeasurement.h"
#include "core/state/CalibrationState.h"

#include <cstdint>
#include <string>

namespace kx::calibration {

// A channel's converter status: "GAIN0 = " amplitude " (" gain code ")", "GAIN1 = ..",
// "SHFT0 = " difference " (" first offset code ")", "SHFT1 = (" second offset code ")", one per
// line, and the verdict ("OK" / "FAILED" in the 1 kHz test, "-" otherwise).
std::string adcStatusText(const SystemResults& r, const core::CalTable& systemTable, int channel,
                          bool verifying, double expected);

// The generator's range from its three calibration points (0.1 mV units).
struct GeneratorSpan {
    double vmin = 0.0, vmax = 0.0, voffset = 0.0;
    [[nodiscard]] bool ok() const { return vmin < -30000.0 && vmax > 33000.0; }
};
GeneratorSpan generatorSpan(const core::CalTable& systemTable);
// The group caption after "Generator Calibration. ": "(Vmin = .., Vmax = .., Voffset = ..)",
// empty on a compact front end.
std::string generatorSpanText(const GeneratorSpan& span, bool compact);

// "SET"'s caption: the output it should give, the 0 V point plus 3 V, with four decimals.
std::string setButtonCaption(const core::CalTable& systemTable);

// The frequency counter's reading against the reference frequency.
struct CounterWords {
    std::uint32_t status = 0, events = 0, ticks = 0;
};
// The counter's frequency when it has a result (status bits 4 and 5 clear, ticks > 0).
bool counterFrequency(const CounterWords& c, double& hertz);
// Deviation (ppm) of the reference frequency from what the counter reads; false without a
// reading or with a reference of 0.5 Hz or less.
bool counterDeviation(const CounterWords& c, double refHz, double& frequency, double& ppm);
// After "F Meter = ": F " / " dev " ppm", F " / ...", or "... / ...".
std::string fMeterText(const CounterWords& c, double refHz);

// The tuning DAC as a voltage and its code: "1.650 V (32768)".
std::string tuningText(std::uint16_t code);

// The logic inputs' test: the threshold a 0..3 V sine shows when it spends `lowFraction` of its
// period low, and the line "D1 Tresh. = " .. " - OK" / " - FAILED" against the threshold set.
double estimatedThreshold(double lowFraction);
std::string digitalLine(int input, double lowFraction, std::int32_t thresholdMicroVolts);
// The threshold a button sets, as a code of the logic inputs' 3.3 V, 16-bit threshold DAC.
std::uint16_t digitalThresholdCode(std::int32_t thresholdMicroVolts);

// "AMP = ", "RC = ", "PHASE = " with the block's dither values of a channel (A2 has no phase).
std::string ditherText(const core::CalTable& systemTable, int channel);

} // namespace kx::calibration
