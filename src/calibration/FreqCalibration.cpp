// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/FreqCalibration.h"

#include <cmath>
#include <cstdio>

namespace kx::calibration {

std::uint16_t CodeForPpm(double ppm, const core::CalTable& systemTable) {
    double p[5];
    for (std::size_t i = 0; i < 5; ++i) p[i] = core::calInt16(systemTable, core::kSysFreqPoints + 2 * i);
    if (p[0] == p[1] || p[1] == p[2] || p[2] == p[3] || p[3] == p[4]) return 0x8000;

    const double m = ppm * 100.0;
    if (std::isnan(m)) return 0x8000;
    std::size_t seg = 3;
    if (m <= p[1])
        seg = 0;
    else if (m <= p[2])
        seg = 1;
    else if (m <= p[3])
        seg = 2;
    const double v = std::round((m - p[seg]) * 8192.0 / (p[seg + 1] - p[seg]) + 0x4000 + 8192.0 * seg);
    if (!(v > 0.0)) return 0;
    if (v >= 65535.0) return 0xFFFF;
    return static_cast<std::uint16_t>(v);
}

std::string ppmLabel(std::int32_t freqClbr, const core::CalTable& systemTable, bool debugMode) {
    char text[64];
    std::snprintf(text, sizeof text, "PPM = %.2f", freqClbr * 0.01);
    std::string out = text;
    const std::uint16_t code = CodeForPpm(freqClbr * 0.01, systemTable);
    if (code == 0 || code == 0xFFFF)
        out += " - out of range";
    else if (debugMode)
        out += " (" + std::to_string(code) + ")";
    return out;
}

} // namespace kx::calibration
