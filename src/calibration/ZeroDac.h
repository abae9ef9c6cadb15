// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/CalibrationState.h"

#include <cstdint>

namespace kx::calibration {

enum class AnalogChannel : std::uint8_t { A1, A2 };

struct ZeroDacSetting {
    std::uint16_t code = 0x8000; // zero DAC code
    std::int8_t fine = 0;        // supply-voltage correction, signed byte
};

// Zero DAC code that puts the channel's 0 V at `zeroPosition` (screen units 0..65535) for
// the gain code in force, from the two readings of its gain group in the zero-offset table,
// and the fine correction for the supply sensitivity. The attenuator does not enter: the
// gain code alone picks the group. The code is limited to 0..0xFFFF, the correction to -127..127.
ZeroDacSetting zeroDac(const core::CalTable& zeroTable, AnalogChannel channel, std::int32_t zeroPosition,
                       std::int32_t gainCode);

} // namespace kx::calibration
