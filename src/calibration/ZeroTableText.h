// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"

#include <string>

namespace kx::calibration {

// The zero-offset table as the debug label shows it: the six readings of A1 ("P1= " ..), of A2
// when the model has its input, the supply of the first measurement and the loaded one's
// differences.
std::string zeroTableText(const core::CalTable& table, bool hasA2);

} // namespace kx::calibration
