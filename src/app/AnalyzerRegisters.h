// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/LcMeterSteps.h"
#include "core/state/CalibrationState.h"
#include "device/RegisterImage.h"
#include "device/RequestFlags.h"

#include <cstdint>

namespace kx::app {

// The register writes of the analyzers' dialogs and acquisition steps, which bypass
// apply-settings while a calibration or a measuring run owns the instrument.

// The calibration sweep of both calibration dialogs (1000 points from 10 kHz over spanHz, the
// record arriving progressively); the generator's amplitude stays as applied.
void writeCalibrationPlan(device::RegisterImage& image, std::int32_t spanHz);

// Acquisition on or off directly: the run flags' bit 0 and the request flags, then a settings
// frame is asked for.
void setRunDirect(device::RegisterImageHolder& registers, device::RequestFlags& flags, bool running,
                  bool single);

// What the LC meter's register writes need of the instrument.
struct LcInstrument {
    bool compactFrontEnd = false;
    core::CalTable zeroTable{};
    core::CalTable systemTable{};
};

// The LC meter's dialog opens: A1 alone at 200 mV/div (compact front end 100 mV/div), 10000
// points, continuous acquisition.
void writeLcInitialRegisters(device::RegisterImage& image, const LcInstrument& instrument);
// The generator (and in "Self C" mode A1's range) for one step.
void writeLcStep(device::RegisterImage& image, const analyzers::LcStepSetup& setup,
                 const LcInstrument& instrument);
// Auto-ranging moved A1's range.
void writeLcRange(device::RegisterImage& image, const analyzers::LcRangeDecision& range,
                  const LcInstrument& instrument);

} // namespace kx::app
