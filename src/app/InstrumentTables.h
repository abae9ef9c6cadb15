// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"
#include "device/StatusInfo.h"

#include <cstdint>

namespace kx::app {

// The board's table counts the program last copied.
struct TablesTaken {
    std::uint32_t zero = 0;
    std::uint32_t system = 0;
};

// The calibration tables the instrument sent since `taken` replace the program's own and are
// marked as read from the instrument. True when a table's content changed: apply-settings must
// then run again, since the zero DACs, the ADC trims, the generator offset and the reference
// oscillator code follow the tables. GUI thread.
bool takeInstrumentTables(const device::StatusInfo& status, core::CalibrationState& calibration,
                          TablesTaken& taken);

} // namespace kx::app
