// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/RegisterFill.h"
#include "core/InstrumentState.h"
#include "device/RegisterImage.h"

#include <cstdint>

namespace kx::app {

struct PublishResult {
    std::int32_t genAppliedAmplitude = 0; // the amplitude scroll bar shows 4000 - this
};

// The register half of apply-settings: enforces the generator's implied values on `state`,
// fills a copy of the published image (values that the settings leave alone, such as the time
// limits, keep theirs) from the state and `inputs`, publishes it and sets the flow-control
// choice. GUI thread only.
PublishResult publishRegisters(core::InstrumentState& state, const RegisterInputs& inputs,
                               device::RegisterImageHolder& holder);

} // namespace kx::app
