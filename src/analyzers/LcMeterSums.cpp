// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/LcMeterSums.h"

#include "core/Rounding.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kx::analyzers {
namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;
}

LcSums lcFourierSums(std::span<const std::int32_t> a1, int n, double frequencyHz, std::uint32_t decimation) {
    LcSums r;
    n = std::clamp(n, 0, static_cast<int>(a1.size()));
    if (n == 0) return r;
    const double d = frequencyHz * n * 5 * decimation * 1e-9;
    r.cycles = core::roundHalfAway<int>(d);
    const double step = kTwoPi * r.cycles / n;
    for (int i = 0; i < n; ++i) {
        const double v = a1[static_cast<std::size_t>(i)];
        r.c += v * std::cos(step * i);
        r.s += v * std::sin(step * i);
    }
    return r;
}

double lcFramePhase(const LcSums& sums, std::uint32_t infoWord36, std::uint64_t genFreqWord,
                    double phaseCorrection) {
    const auto expected = static_cast<std::uint64_t>(std::trunc(static_cast<double>(genFreqWord) * 100.1));
    const auto p =
        static_cast<std::int16_t>(static_cast<std::uint16_t>((infoWord36 & 0xFFFFu) - (expected & 0xFFFFu)));
    double phase = std::atan2(sums.c, sums.s) - p * kTwoPi / 65536 + phaseCorrection;
    if (phase < -std::numbers::pi)
        phase += kTwoPi;
    else if (phase > std::numbers::pi)
        phase -= kTwoPi;
    return phase;
}

void LcStepAverager::restart() {
    m_discard = true;
    m_count = 0;
    m_amplitudeSum = 0;
    m_phaseSum = 0;
}

bool LcStepAverager::add(const LcSums& sums, double phase, int frames) {
    if (m_discard) {
        m_discard = false;
        return false;
    }
    m_amplitudeSum += std::sqrt(sums.c * sums.c + sums.s * sums.s);
    if (sums.c != 0 || sums.s != 0) m_phaseSum += phase;
    ++m_count;
    return m_count >= frames;
}

double LcStepAverager::amplitude(double rangeUv, int n, int frames) const {
    if (n <= 0 || frames <= 0) return 0;
    return rangeUv * 8 * 1e-6 * 4 / 65536 / n * m_amplitudeSum / frames;
}

} // namespace kx::analyzers
