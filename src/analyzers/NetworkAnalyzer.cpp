// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/NetworkAnalyzer.h"

#include "analyzers/ComplexDivide.h"
#include "core/Rounding.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kx::analyzers {

std::int32_t calibrationPlanSpanHz(bool upTo200MHz, bool debugMode) {
    return upTo200MHz && debugMode ? kCalibrationPlanSpan200Hz : kCalibrationPlanSpanHz;
}

int networkDbPerDiv(int rangeSetting) {
    static constexpr std::array<int, 6> kDb{0, 1, 2, 5, 10, 15};
    return kDb[static_cast<std::size_t>(std::clamp(rangeSetting, 0, 5))];
}

NetworkPointCodes networkPointCodes(std::complex<double> h, double rangeRatio, int dbPerDiv) {
    NetworkPointCodes c;
    if (!(h.real() < 5e29 && h.imag() < 5e29)) return c;
    const double m = std::abs(h) * 2 * rangeRatio * std::sqrt(2.0);
    if (!(m > 0) || !std::isfinite(m)) return c;
    double a =
        dbPerDiv != 0 ? std::trunc(std::log10(m) * (8192.0 / dbPerDiv * 20) + 57344) : m * 65536 / 1.6 + 0.5;
    a = std::clamp(a, 0.0, 65536.0);
    c.amplitude = static_cast<std::int32_t>(dbPerDiv != 0 ? a : std::trunc(a));
    c.phase = core::roundHalfAway<std::int32_t>(std::arg(h) * 10430.378350470453 + 32768);
    c.drawn = true;
    return c;
}

NetworkCorrectionTable buildNetworkCorrection(std::span<const std::complex<double>> reference,
                                              bool toMinus20Db, std::int32_t startHz, std::int32_t spanHz) {
    NetworkCorrectionTable t;
    const std::size_t n = std::min<std::size_t>(reference.size(), kMaxCalibrationPoints);
    const double k = (toMinus20Db ? 0.1 : 1.0) / (2 * std::sqrt(2.0));
    t.count = static_cast<int>(n);
    t.startHz = startHz;
    t.spanHz = spanHz;
    t.factors.resize(n);
    for (std::size_t i = 0; i < n; ++i) t.factors[i] = smithDivide(k, reference[i]);
    return t;
}

CalibrationPlanRegisters calibrationPlanRegisters(std::int32_t spanHz) {
    CalibrationPlanRegisters r;
    r.hiResExponent =
        std::min(24, static_cast<int>(std::trunc(std::log2(static_cast<double>(r.decimation)))));
    r.genStepWord = static_cast<std::uint64_t>(
        std::trunc(static_cast<double>(spanHz) * 1000 * 2 * 0.001 * 703687.44177664 / 2000 + 0.5));
    return r;
}

} // namespace kx::analyzers
