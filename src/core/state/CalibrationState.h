// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the zero-offset table, frequency calibration.
struct CalibrationState {};

} // namespace kx::core
