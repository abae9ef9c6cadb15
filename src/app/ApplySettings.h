// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DerivedQuantities.h"
#include "app/RegisterFill.h"
#include "core/InstrumentState.h"
#include "device/RegisterImage.h"
#include "trigger/TriggerChange.h"

#include <cstdint>

namespace kx::app {

struct PublishResult {
    std::int32_t genAppliedAmplitude = 0; // the amplitude scroll bar shows 4000 - this
};

// apply-settings, the part without widgets: derives the acquisition quantities (which may
// correct the state as the controls would), enforces the generator's implied values, fills
// the register image and publishes it under the holder's mutex; a pending "Counter Reset" is
// handed to the holder as a once flag, and so is "trigger settings changed" when the trigger
// condition differs from what `trigger` last saw. GUI thread only. `result` and `trigger` may
// be null.
DerivedQuantities applySettings(core::InstrumentState& state, device::RegisterImageHolder& holder,
                                PublishResult* result = nullptr, trigger::TriggerMemo* trigger = nullptr);

// What the register image takes from the state and the derived quantities beyond the trigger,
// generator and calibration models.
RegisterInputs registerInputsFrom(const core::InstrumentState& state, const DerivedQuantities& derived);

// The register half of apply-settings for given inputs: generator implied values on `state`,
// a copy of the published image filled (values the settings leave alone, such as the time
// limits, keep theirs) and published, the flow-control choice set.
PublishResult publishRegisters(core::InstrumentState& state, const RegisterInputs& inputs,
                               device::RegisterImageHolder& holder);

} // namespace kx::app
