// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/ZeroTableText.h"

#include <cstdio>

namespace kx::calibration {

namespace {

std::string readings(const core::CalTable& t, std::size_t base) {
    std::string out;
    for (std::size_t i = 0; i < 6; ++i) {
        out += (i == 0 ? "P" : "  P") + std::to_string(i + 1) + "= ";
        out += std::to_string(core::calWord(t, 2 * (base + i)));
    }
    return out;
}

double volts(int raw) {
    return raw * 6.6 / 65536.0;
}

} // namespace

std::string zeroTableText(const core::CalTable& t, bool hasA2) {
    std::string out = readings(t, core::kZeroWordA1Base) + "\n";
    if (hasA2) out += readings(t, core::kZeroWordA2Base) + "\n";
    const int s0 = core::calWord(t, 2 * core::kZeroWordSupply);
    const int s1 = core::calWord(t, 2 * core::kZeroWordSupplyLoaded);
    char line[160];
    std::snprintf(
        line, sizeof line, "V = %.3f  dV = %.3f  dA1 = %d  dA2 = %d", volts(s0), volts(s1 - s0),
        core::calWord(t, 2 * core::kZeroWordLoadedA1) - core::calWord(t, 2 * (core::kZeroWordA1Base + 1)),
        core::calWord(t, 2 * core::kZeroWordLoadedA2) - core::calWord(t, 2 * (core::kZeroWordA2Base + 1)));
    return out + line;
}

} // namespace kx::calibration
