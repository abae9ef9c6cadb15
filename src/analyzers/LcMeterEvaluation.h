// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/LcMeterSteps.h"

#include <array>
#include <string>
#include <vector>

namespace kx::analyzers {

// Source resistance of the low-capacitance mode: 2050.5 Ohm in parallel with 1 MOhm.
constexpr double kLcLowCapRg = 2050.5 * 1e6 / (2050.5 + 1e6);
constexpr double kLcNormalRg = 50;

// Calibration of the LC meter: per step reference amplitude and phase correction.
struct LcCalibration {
    std::array<double, kLcMaxSteps> reference{};
    std::array<double, kLcMaxSteps> phaseCorrection{};
    double rg = kLcNormalRg;
    bool lowCapMode = false;
};
// References = the table's test voltages, corrections 0 (what "Calibrate" starts from).
void resetLcCalibration(LcCalibration& cal, const LcTable& table);

struct LcMeasurement {
    std::array<double, kLcMaxSteps> amplitude{}; // volts peak to peak
    std::array<double, kLcMaxSteps> phase{};     // radians
};

struct LcEvaluationInput {
    const LcTable* table = nullptr;
    LcMeasurement measured;
    bool calibrating = false;
    bool compactFrontEnd = false;
    bool debugMode = false;
    bool russian = false;
};

struct LcEvaluation {
    std::vector<std::string> memo; // memo lines after clearing it (an entry may hold "\r\n")
    bool resultChanged = false;
    std::string result; // the large label, when resultChanged
    // Calibration outcome.
    bool calibrationOk = false;
    bool startEnabled = false;
    bool resetProgress = false;
    // Derived per step.
    std::array<double, kLcMaxSteps> ratio{}, rser{}, inductance{}, capacitance{};
    int chosenStep = -1; // the step C or L is read at
    int esrStep = -1;    // the step of the smallest ratio
};

// Runs after the last step. A successful calibration updates cal (references, corrections,
// mode and Rg); a measurement only reads it.
LcEvaluation evaluateLcMeter(const LcEvaluationInput& in, LcCalibration& cal);

// "0.5 mV/Div" .. "2 V/Div" for a range in µV per division.
std::string lcRangeText(std::int32_t rangeUv);

} // namespace kx::analyzers
