// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

#include <cstdint>

namespace kx::app {

// What the window shows for a device type; the window applies it to its widgets.
struct ModelFeatureView {
    bool generator = false;      // generator view items, LC meter, NA, AA, their settings and zoom
    bool a2Probe = false;        // Menu_Probe_A2
    bool chGenItem = false;      // Menu_CH_GEN and the item after it
    bool a2Channel = false;      // A2 title, colour panel, BW, AC, volts/div, FM/CH/FFT/EBin A2 items
    bool lowVoltsDivItem = true; // Menu_Low_V_Div
    bool a1AcEnabled = true;     // the A1 AC button (held down and disabled on a compact front end)
    bool a1HighRanges = true;    // the 2 V .. 0.2 V buttons of A1
    bool lowRanges = false;      // the 2 mV .. 0.5 mV buttons of both channels
};

// Applies the model feature set of state.system.UiDeviceType to the state: what the
// capability bits uncheck, reset or force. Pure: returns what the window must show.
ModelFeatureView applyModelFeatures(core::InstrumentState& state);

} // namespace kx::app
