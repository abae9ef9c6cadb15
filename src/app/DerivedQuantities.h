// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/DerivedQuantities.h"
#include "core/InstrumentState.h"

#include <cstdint>

namespace kx::app {

using core::DerivedQuantities;

// Steps 1 to 17 of apply-settings, in order. Two steps correct the state itself, as the
// controls would: in the analysers a fast time base moves to 0.2 s/div, and the Strobo
// button's hand-chosen mark and held state follow the ETS rule.
DerivedQuantities computeDerived(core::InstrumentState& state);

} // namespace kx::app
