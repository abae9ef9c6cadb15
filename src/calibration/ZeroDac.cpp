// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/ZeroDac.h"

#include <cmath>

namespace kx::calibration {

namespace {

double word(const core::CalTable& t, std::size_t index) {
    return core::calWord(t, 2 * index);
}

struct Group {
    std::size_t firstWord; // relative to the channel's base
    double dacStep;        // DAC code of the first reading (the second is at twice that)
};

Group groupFor(std::int32_t gainCode) {
    switch (gainCode) {
    case 3:
    case 7:
    case 15:
        return {2, 18000.0};
    case 9:
        return {4, 22500.0};
    default:
        return {0, 9000.0};
    }
}

} // namespace

ZeroDacSetting zeroDac(const core::CalTable& zeroTable, AnalogChannel channel, std::int32_t zeroPosition,
                       std::int32_t gainCode) {
    const bool a1 = channel == AnalogChannel::A1;
    const std::size_t base = a1 ? core::kZeroWordA1Base : core::kZeroWordA2Base;
    const Group g = groupFor(gainCode);
    const double h = word(zeroTable, base + g.firstWord);
    const double f = word(zeroTable, base + g.firstWord + 1);
    if (f == h) return {};

    const double x = g.dacStep;
    const double l = x / (f - h); // DAC steps per reading step
    const double dac = std::round(1.5 * x + l * (zeroPosition - (f + h) / 2.0));
    ZeroDacSetting out;
    out.code = static_cast<std::uint16_t>(dac < 0.0 ? 0.0 : (dac > 65535.0 ? 65535.0 : dac));

    const double s0 = word(zeroTable, core::kZeroWordSupply);
    const double s1 = word(zeroTable, core::kZeroWordSupplyLoaded);
    double d = 0.0;
    if (s0 != s1) {
        const double unloaded = word(zeroTable, base + 1);
        const double loaded = word(zeroTable, a1 ? core::kZeroWordLoadedA1 : core::kZeroWordLoadedA2);
        d = (unloaded - loaded) / (s0 - s1);
    }
    const double fine = std::round(d * l * 256.0);
    out.fine = static_cast<std::int8_t>(fine < -127.0 ? -127.0 : (fine > 127.0 ? 127.0 : fine));
    return out;
}

} // namespace kx::calibration
