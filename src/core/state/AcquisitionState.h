// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the run control, time base, analog channels A1/A2, logic inputs D1..D4.
struct AcquisitionState {};

} // namespace kx::core
