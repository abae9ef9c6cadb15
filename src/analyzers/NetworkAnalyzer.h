// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/CorrectionTables.h"

#include <complex>
#include <cstdint>
#include <span>

namespace kx::analyzers {

// The fixed sweep of both calibrations.
constexpr int kCalibrationPlanPoints = 1000;
constexpr std::int32_t kCalibrationPlanStartHz = 10000;
constexpr std::int32_t kCalibrationPlanSpanHz = 100000000;
constexpr std::int32_t kCalibrationPlanSpan200Hz = 200000000; // "Up to 200 MHz" in debug mode
std::int32_t calibrationPlanSpanHz(bool upTo200MHz, bool debugMode);

// dB per division of the amplitude scale setting 0..5 (0 = linear).
int networkDbPerDiv(int rangeSetting);

// Screen codes of one network-analyzer point.
struct NetworkPointCodes {
    bool drawn = false; // false: no data, or magnitude not positive
    std::int32_t amplitude = 0;
    std::int32_t phase = 0;
};

// h: the point's value; rangeRatio: the frame's A1 range over the present one; dbPerDiv 0 = linear.
NetworkPointCodes networkPointCodes(std::complex<double> h, double rangeRatio, int dbPerDiv);

// Correction factors from a measured reference: k / reference[i] with k = 1 / (2 sqrt 2), a tenth
// of it for "To -20 dB"; count = the reference's size (at most 10000).
NetworkCorrectionTable buildNetworkCorrection(std::span<const std::complex<double>> reference,
                                              bool toMinus20Db, std::int32_t startHz, std::int32_t spanHz);

// Acquisition registers of the calibration sweep (the generator's start word comes from the
// generator's own formula).
struct CalibrationPlanRegisters {
    std::uint32_t points = 2000; // two samples per sweep point, all after the trigger
    std::uint32_t preTrigger = 0;
    std::uint32_t postTrigger = 2000;
    std::uint64_t timeDivNs = 1000000000;
    std::uint32_t decimation = 2000000;
    int hiResExponent = 20; // min(24, trunc(log2 decimation))
    std::uint64_t genStepWord = 0;
    std::uint32_t genFuncReg = 1; // sweep
    std::uint32_t genPulsePeriod = 0;
    std::uint32_t genPulseWidth = 0;
    std::uint32_t genAwgDiv = (1u << 28) - 1;
    std::uint32_t genAwgMark = 2048;
    std::uint32_t genAuxReg = 0;
    bool rollMode = true; // the record arrives progressively
};
CalibrationPlanRegisters calibrationPlanRegisters(std::int32_t spanHz);

} // namespace kx::analyzers
