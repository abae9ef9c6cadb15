// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/AcquisitionState.h"
#include "core/state/AnalyzerState.h"
#include "core/state/CalibrationState.h"
#include "core/state/DecoderState.h"
#include "core/state/DisplayState.h"
#include "core/state/FftState.h"
#include "core/state/GeneratorState.h"
#include "core/state/SystemState.h"
#include "core/state/TriggerState.h"

namespace kx::core {

// The single source of truth for every user setting; the member initialisers are the
// built-in defaults. Edited only in the GUI thread.
struct InstrumentState {
    SystemState system;
    AcquisitionState scope;
    TriggerState trigger;
    GeneratorState generator;
    DisplayState display;
    FftState fft;
    DecoderState decoder;
    AnalyzerState analyzer;
    CalibrationState calibration;
};

} // namespace kx::core
