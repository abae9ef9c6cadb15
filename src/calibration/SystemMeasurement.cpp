// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/SystemMeasurement.h"

#include <algorithm>
#include <cmath>

namespace kx::calibration {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr int kAutoStart = 10;
constexpr int kAtGains = 7;
constexpr int kAtFirstSwing = 4;
constexpr int kAtOffsets = 1;
constexpr int kSwing = 50;

void setOffset(core::CalTable& t, std::size_t at, int v) {
    t[at] = static_cast<std::uint8_t>(static_cast<std::int8_t>(std::clamp(v, -128, 127)));
}

} // namespace

void SystemMeasurement::reset() {
    m_amplitude.fill(0.0);
    m_difference.fill(0.0);
    m_low.fill(0.0);
    m_pairs = 0.0;
    m_frames = 0;
}

bool SystemMeasurement::frame(const SystemFrame& f) {
    const std::size_t n = f.count / 2;
    if (n == 0 || f.a1.size() < 2 * n || f.a2.size() < 2 * n) {
        reset();
        return false;
    }
    double re[4] = {}, im[4] = {};
    double diff[2] = {};
    const double w = kTwoPi * f.cycles / static_cast<double>(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double s[4] = {static_cast<double>(f.a1[2 * i + 1]), static_cast<double>(f.a1[2 * i]),
                             static_cast<double>(f.a2[2 * i + 1]), static_cast<double>(f.a2[2 * i])};
        const double c = std::cos(w * static_cast<double>(i));
        const double sn = std::sin(w * static_cast<double>(i));
        for (int k = 0; k < 4; ++k) {
            re[k] += s[k] * c;
            im[k] += s[k] * sn;
        }
        diff[0] += s[0] - s[1];
        diff[1] += s[2] - s[3];
    }
    for (int d = 0; d < 4; ++d) {
        const auto& ch = f.digital[static_cast<std::size_t>(d)];
        if (ch.size() < 2 * n) continue;
        for (std::size_t i = 0; i < 2 * n; ++i)
            if (ch[i] == 0) m_low[static_cast<std::size_t>(d)] += 1.0;
    }
    const double k[2] = {f.rangeA1 * 8.0 / 65536.0 / static_cast<double>(n),
                         f.rangeA2 * 8.0 / 65536.0 / static_cast<double>(n)};
    for (int a = 0; a < 4; ++a)
        m_amplitude[static_cast<std::size_t>(a)] += 4.0 * k[a / 2] * std::hypot(re[a], im[a]);
    m_difference[0] += k[0] * diff[0];
    m_difference[1] += k[1] * diff[1];
    m_pairs = static_cast<double>(n);
    if (++m_frames < kSystemFramesPerResult) return false;

    for (std::size_t a = 0; a < 4; ++a) m_results.gain[a] = m_amplitude[a] / kSystemFramesPerResult;
    for (std::size_t c = 0; c < 2; ++c) m_results.shift[c] = m_difference[c] / kSystemFramesPerResult;
    for (std::size_t d = 0; d < 4; ++d)
        m_results.lowFraction[d] = m_low[d] / (m_pairs * 2.0 * kSystemFramesPerResult);
    reset();
    return true;
}

void AutoAdcCalibration::start(core::CalTable& t) {
    for (const std::size_t at : {std::size_t{8}, std::size_t{9}, std::size_t{12}, std::size_t{13}}) t[at] = 0;
    m_countdown = kAutoStart;
}

bool AutoAdcCalibration::result(const SystemResults& r, core::CalTable& t, double expected,
                                bool twoChannels) {
    if (m_countdown == 0) return false;
    --m_countdown;
    const std::size_t gainAt[4] = {8, 9, 12, 13};
    const std::size_t offsetAt[4] = {core::kSysOffsetA1Adc0, core::kSysOffsetA1Adc1, core::kSysOffsetA2Adc2,
                                     core::kSysOffsetA2Adc3};
    switch (m_countdown) {
    case kAtGains:
        for (int a = 0; a < 4; ++a) {
            double code = 128.0;
            const double g = r.gain[static_cast<std::size_t>(a)];
            if ((a < 2 || twoChannels) && 0.7 * expected < g)
                code = std::clamp(std::round(expected * 512.0 / g - 512.0), 0.0, 255.0);
            t[gainAt[a]] = static_cast<std::uint8_t>(code);
        }
        for (int a = 0; a < 4; ++a) setOffset(t, offsetAt[a], a % 2 == 0 ? -kSwing : kSwing);
        return true;
    case kAtFirstSwing:
        m_e[0] = r.shift[0];
        m_e[1] = r.shift[1];
        for (int a = 0; a < 4; ++a) setOffset(t, offsetAt[a], a % 2 == 0 ? kSwing : -kSwing);
        return true;
    case kAtOffsets:
        for (int c = 0; c < (twoChannels ? 2 : 1); ++c) {
            const double e = m_e[c];
            const double d = r.shift[static_cast<std::size_t>(c)];
            int first = 0, second = 0;
            if (d - e > 0.0001 * expected) {
                const int f = static_cast<int>(std::round(e * 200.0 / (e - d)));
                first = (f - 100) / 2; // toward zero
                second = first - f + 100;
            }
            setOffset(t, offsetAt[2 * c], first);
            setOffset(t, offsetAt[2 * c + 1], second);
        }
        m_countdown = 0; // done: the dialog goes on to verify at 1 kHz
        return true;
    default:
        return false;
    }
}

bool adcMatched(const SystemResults& r, int channel, double expected) {
    const std::size_t a = channel == 0 ? 0 : 2;
    const auto within = [&](double g) { return 0.998 * expected < g && g < 1.002 * expected; };
    return within(r.gain[a]) && within(r.gain[a + 1]) &&
           std::abs(r.shift[static_cast<std::size_t>(channel == 0 ? 0 : 1)]) < 0.001 * expected;
}

} // namespace kx::calibration
