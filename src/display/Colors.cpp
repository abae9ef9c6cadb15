// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Colors.h"

namespace kx::display {

std::uint32_t fade(std::uint32_t c, std::uint32_t b, double k) {
    std::uint32_t out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double cc = static_cast<double>((c >> shift) & 0xFFu);
        const double bb = static_cast<double>((b >> shift) & 0xFFu);
        double v = bb + (cc - bb) / k;
        if (!(v >= 0)) v = 0; // k <= 0 or NaN must not leave the component range
        if (v > 255) v = 255;
        out |= static_cast<std::uint32_t>(v) << shift;
    }
    return out;
}

std::array<std::uint32_t, 6> channelColors(const core::ColorRoles& roles) {
    return {roles.ColorA1, roles.ColorA2, roles.ColorD1, roles.ColorD2, roles.ColorD3, roles.ColorD4};
}

} // namespace kx::display
