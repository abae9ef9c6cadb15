// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/AssemblyContext.h"
#include "app/DerivedQuantities.h"
#include "core/InstrumentState.h"
#include "device/RegisterImage.h"

namespace kx::app {

// The settings waveform assembly reads, from the state, its derived quantities and the image
// apply-settings just published; the GUI hands it to the acquisition thread after every
// apply-settings. The sweep words stay 0 (the analysers fill them in their own context), and
// recording follows the recorder.
acquisition::AssemblyContext assemblyContext(const core::InstrumentState& state,
                                             const DerivedQuantities& derived,
                                             const device::RegisterImage& image);

} // namespace kx::app
