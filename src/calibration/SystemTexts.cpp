// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/SystemTexts.h"

#include "core/NumberFormat.h"

namespace kx::calibration {

std::string adcStatusText(const SystemResults& r, const core::CalTable& t, int channel, bool verifying,
                          double expected) {
    const std::size_t adc = channel == 0 ? 0 : 2;
    const std::size_t gainAt = channel == 0 ? 8 : 12;
    const std::size_t offsetAt = channel == 0 ? core::kSysOffsetA1Adc0 : core::kSysOffsetA2Adc2;
    const auto offset = [&](std::size_t at) { return std::to_string(static_cast<std::int8_t>(t[at])); };
    std::string out;
    out += "GAIN0 = " + core::formatNumber(r.gain[adc], 1, -4) + " (" + std::to_string(t[gainAt]) + ")\n";
    out += "GAIN1 = " + core::formatNumber(r.gain[adc + 1], 1, -4) + " (" + std::to_string(t[gainAt + 1]) +
           ")\n";
    out += "SHFT0 = " + core::formatNumber(r.shift[channel == 0 ? 0 : 1], 1, -3) + " (" + offset(offsetAt) +
           ")\n";
    out += "SHFT1 = (" + offset(offsetAt + 1) + ")\n";
    out += verifying ? (adcMatched(r, channel, expected) ? "OK" : "FAILED") : "-";
    return out;
}

} // namespace kx::calibration
