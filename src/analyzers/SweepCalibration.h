// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

namespace kx::analyzers {

// Status of a calibration sweep (per standard for the antenna analyzer).
enum class SweepCalStatus { None, Overdriven, AmplitudeLow };

// Frame facts the calibration step reads.
struct SweepCalFrame {
    int analogCount = 0;
    int captureLength = 0;
    bool overdriveA1 = false;
    std::int32_t genAmplitudeWord = 0;
    std::uint32_t scaleA1Uv = 0;
};

struct SweepCalOutcome {
    int progress = 0;
    bool aborted = false; // stop acquisition (Running, SingleMode and run bit 0 off, send settings); no step
    SweepCalStatus status = SweepCalStatus::None;
    bool complete = false; // copy the sweep; no step
};

// Reference sweep of the network analyzer: overload or zero amplitude aborts.
SweepCalOutcome networkCalibrationFrame(const SweepCalFrame& f);
// Open/short/load sweep: overload, or a range too large for the generator's amplitude, aborts.
SweepCalOutcome antennaCalibrationFrame(const SweepCalFrame& f);

// The first `count` point values of a completed sweep.
std::vector<std::complex<double>> copySweepPoints(const core::AnalyzerPointArrays& points, int count);

// Status label texts: "Done", "Input is overdriven", "Amplitude is low", "-".
std::string sweepCalStatusText(bool done, SweepCalStatus status, bool russian);

// "Points = 1000, Fstart = ..., Fstop = ..." for a table in use; empty when count is 0.
std::string calibrationInfoText(int count, std::int32_t startHz, std::int32_t spanHz);

// "Use Calibration (name)" or "Use Calibration (file not loaded)".
std::string useCalibrationCaption(const std::string& path, bool russian);

// "Calibration hasn't been saved. \r\nExit?" and its caption "Warning".
const char* unsavedCalibrationText(bool russian);
const char* warningCaption(bool russian);

} // namespace kx::analyzers
