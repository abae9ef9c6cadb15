// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"

namespace kx::app {

// "Network Analyzer" and "Antenna Analyzer" from the menu: switching one on applies its preset
// (time base, A1 range and probe, record length, the generator's sweep and amplitude) and
// switches the other analyzer and the FFT views off; switching off only clears the mode. The
// caller runs the settings-changed notification.
void setNetworkAnalyzer(core::InstrumentState& s, bool on);
void setAntennaAnalyzer(core::InstrumentState& s, bool on);

} // namespace kx::app
