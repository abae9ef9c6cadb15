// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/SystemTexts.h"

#include "core/NumberFormat.h"
#include "core/Rounding.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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

GeneratorSpan generatorSpan(const core::CalTable& t) {
    const double z = core::calInt16(t, core::kSysGenZero);
    const double n = core::calInt16(t, core::kSysGenNegative);
    const double p = core::calInt16(t, core::kSysGenPositive);
    const double kN = (z - n) / 24576.0;
    const double kP = (p - z) / 24576.0;
    const double kPN = (p - n) / 49152.0;
    return {n - 8192.0 * kN, p + 8191.0 * kP, n + 24576.0 * kPN - z};
}

std::string generatorSpanText(const GeneratorSpan& s, bool compact) {
    if (compact) return {};
    // 0.1 mV units to microvolts.
    return "(Vmin = " + core::formatNumber(s.vmin * 100.0, 1, -4) +
           ", Vmax = " + core::formatNumber(s.vmax * 100.0, 1, -4) +
           ", Voffset = " + core::formatNumber(s.voffset * 100.0, 1, -4) + ")";
}

std::string setButtonCaption(const core::CalTable& t) {
    return core::formatFixed(core::calInt16(t, core::kSysGenZero) * 0.0001 + 3.0, 4);
}

bool counterFrequency(const CounterWords& c, double& hertz) {
    if ((c.status & 0x30) != 0 || c.ticks == 0) return false;
    hertz = (static_cast<double>(c.events) - 1.0) * 2e8 / static_cast<double>(c.ticks);
    return true;
}

bool counterDeviation(const CounterWords& c, double refHz, double& frequency, double& ppm) {
    if (!(refHz > 0.5) || !counterFrequency(c, frequency)) return false;
    ppm = (refHz - frequency) / refHz * 1e6;
    return true;
}

std::string fMeterText(const CounterWords& c, double refHz) {
    double f = 0.0, dev = 0.0;
    if (!counterDeviation(c, refHz, f, dev)) return "... / ...";
    std::string out = core::formatNumber(f, 2, -8) + " / ";
    if (!(dev < 1000.0)) return out + "...";
    // Four significant digits, shown with two decimals.
    char sig[32];
    std::snprintf(sig, sizeof sig, "%.3e", dev);
    return out + core::formatFixed(std::strtod(sig, nullptr), 2) + " ppm";
}

std::string tuningText(std::uint16_t code) {
    return core::formatNumber(code * 3.3 / 65536.0 * 1e6, 1, -4) + " (" + std::to_string(code) + ")";
}

double estimatedThreshold(double lowFraction) {
    return (std::cos((1.0 - lowFraction) * M_PI) * 0.5 + 0.5) * 3000000.0;
}

std::string digitalLine(int input, double lowFraction, std::int32_t threshold) {
    const double tn = estimatedThreshold(lowFraction);
    const bool ok = 0.99 * threshold - 100000.0 <= tn && tn <= 1.01 * threshold + 100000.0;
    return "D" + std::to_string(input + 1) + " Tresh. = " + core::formatNumber(tn, 1, -4) +
           (ok ? " - OK" : " - FAILED");
}

std::uint16_t digitalThresholdCode(std::int32_t threshold) {
    return static_cast<std::uint16_t>(core::roundHalfAway(threshold / 1000.0 * 0.001 * 0.25 * 65536.0 / 3.3));
}

std::string ditherText(const core::CalTable& t, int channel) {
    const std::size_t at = channel == 0 ? 16 : 19;
    std::string out = "AMP = " + std::to_string(t[at]) + "\nRC = " + std::to_string(t[at + 1]);
    // The phase is common to both channels.
    out += "\nPHASE = " + std::to_string(t[18]);
    return out;
}

} // namespace kx::calibration
