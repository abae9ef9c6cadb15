// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/DisplayState.h"

#include <QRgb>

#include <array>
#include <cstdint>

namespace kx::display {

// Colour roles are Windows values 0x00BBGGRR; pixels are 0xAARRGGBB.
inline QRgb toQRgb(std::uint32_t c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline std::uint32_t fromQRgb(QRgb p) {
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// Moves each component of c towards b: trunc(b + (c - b) / k). k = 2 is "half-faded".
std::uint32_t fade(std::uint32_t c, std::uint32_t b, double k);

// The six trace colours A1, A2, D1..D4 in channel order.
std::array<std::uint32_t, 6> channelColors(const core::ColorRoles& roles);

} // namespace kx::display
