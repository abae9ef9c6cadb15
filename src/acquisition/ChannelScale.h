// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::acquisition {

// Microvolts per division of an analog channel from its gain code and front-end byte as the
// information block returns them, times the probe factor.
std::uint32_t channelScale(std::uint8_t gainCode, std::uint8_t frontEnd, bool compactFrontEnd,
                           std::int32_t probeFactor);

} // namespace kx::acquisition
