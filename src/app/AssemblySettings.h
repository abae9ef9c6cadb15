// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/AssemblyContext.h"
#include "app/DerivedQuantities.h"
#include "core/InstrumentState.h"
#include "device/RegisterImage.h"

namespace kx::app {

// The settings waveform assembly reads, from the state, its derived quantities and the image
// apply-settings just published; the GUI hands it to the acquisition thread after every
// apply-settings. The sweep words carry the generator's sweep start and span in millihertz
// while its function is sweep (0 otherwise); the compact front end is the menu's model until the
// acquisition thread knows the reported one; recording follows the recorder.
acquisition::AssemblyContext assemblyContext(const core::InstrumentState& state,
                                             const DerivedQuantities& derived,
                                             const device::RegisterImage& image);

} // namespace kx::app
