// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/Spectrum.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>

namespace kx::analyzers {
namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
constexpr std::int32_t kMidCode = 0x8000;

double wrapDegrees(double d) {
    if (d < -180)
        d += 360;
    else if (d > 180)
        d -= 360;
    return d;
}

} // namespace

void SpectrumChannel::allocate() {
    m_work = ComplexBuffer(kMaxSpectrumPoints);
    m_accumulator.assign(kMaxSpectrumBins, 0.0);
    m_history.assign(static_cast<std::size_t>(kSpectrumHistoryDepth) * kMaxSpectrumBins, 0.0);
    m_window.assign(kMaxSpectrumPoints, 0.0);
}

void SpectrumChannel::restart() {
    m_count = 0;
    m_ringIndex = 0;
}

std::span<double> SpectrumChannel::accumulatorStorage() {
    if (m_work.empty()) allocate();
    return m_accumulator;
}

std::span<const double> SpectrumChannel::accumulator() const {
    if (m_accumulator.empty()) return {};
    return std::span<const double>(m_accumulator).first(static_cast<std::size_t>(m_points / 2));
}

std::span<const std::complex<double>> SpectrumChannel::bins() const {
    if (m_work.empty()) return {};
    return m_work.span().first(static_cast<std::size_t>(m_points));
}

const std::vector<double>& SpectrumChannel::windowFor(FftWindow window, int length) {
    // The window changes only with its kind or length, so the cosines are not redone per frame.
    if (window != m_windowKind || length != m_windowLength) {
        m_windowSum = fillWindow(window, std::span<double>(m_window).first(static_cast<std::size_t>(length)));
        m_windowKind = window;
        m_windowLength = length;
    }
    return m_window;
}

SpectrumPeak SpectrumChannel::compute(const SpectrumInput& in) {
    if (m_work.empty()) allocate();
    SpectrumPeak peak;
    if (m_work.empty()) return peak;

    const int log2n = std::clamp(in.log2Points, 1, kMaxSpectrumLog2);
    const int n = 1 << log2n;
    const int half = n / 2;
    const int valid =
        std::clamp(in.validCount, 0, static_cast<int>(std::min<std::size_t>(in.samples.size(), INT_MAX)));
    const int l = std::min(valid, n);
    const double voltsPerCode = in.scaleUv * 8 * 1.52587890625e-11;

    // Index of used sample n; in a roll-mode ring the l samples that end just before the start index.
    // A start index beyond the valid samples is taken round the ring rather than read past it.
    const bool ring = in.startIndex >= 0 && valid > 0;
    const int base =
        ring ? static_cast<int>((static_cast<long long>(in.startIndex) - l) % valid + valid) % valid : 0;
    auto sampleAt = [&](int o, int& u) {
        u = base + o;
        if (u >= valid) u -= valid;
        const std::int32_t v = in.samples[static_cast<std::size_t>(u)];
        return v == INT_MAX ? kMidCode : v;
    };

    // Offsets of the two interleaved sample phases: the mean of each. (Twice the sum over l is
    // the same for an even count, but leaves a large DC residue for an odd one.)
    long long sumOdd = 0, sumEven = 0;
    int oddCount = 0;
    for (int o = 0; o < l; ++o) {
        int u;
        const std::int32_t v = sampleAt(o, u);
        if (u & 1) {
            sumOdd += v;
            ++oddCount;
        } else {
            sumEven += v;
        }
    }
    const int evenCount = l - oddCount;
    const double offOdd = oddCount > 0 ? static_cast<double>(sumOdd) / oddCount : 0;
    const double offEven = evenCount > 0 ? static_cast<double>(sumEven) / evenCount : 0;

    const std::vector<double>& w = windowFor(in.window, l);
    const double windowSum = m_windowSum;

    std::span<std::complex<double>> x = m_work.span().first(static_cast<std::size_t>(n));
    std::fill(x.begin(), x.end(), std::complex<double>{});
    for (int o = 0; o < l; ++o) {
        int u;
        const double v = sampleAt(o, u);
        const double centred = v - ((u & 1) ? offOdd : offEven);
        x[static_cast<std::size_t>((half + o) & (n - 1))] = {
            centred * w[static_cast<std::size_t>(o)] * voltsPerCode, 0};
    }
    fftInPlace(x);

    // Averaging bookkeeping. A changed size also restarts: the old bins mean other frequencies.
    const int e = std::max(in.depth, 1);
    const bool unlimited = e >= 65;
    bool keep = in.keepAveraging;
    if (!unlimited && e < m_count) keep = false;
    if (n != m_points) keep = false;
    if (!keep || e == 1) {
        m_count = 0;
        m_ringIndex = 0;
    }
    m_points = n;
    // Nothing accumulated yet means the sum starts afresh, whatever was left in it.
    const bool continues = keep && e != 1 && m_count > 0;
    const bool subtract = continues && !unlimited && m_count == e;
    const double scale = windowSum > 0 ? 2.0 / (windowSum * windowSum) : 0.0;

    double* acc = m_accumulator.data();
    double* slot = m_history.data() + static_cast<std::size_t>(m_ringIndex) * kMaxSpectrumBins;
    const double* oldest =
        m_history.data() +
        static_cast<std::size_t>(((m_ringIndex - e) % kSpectrumHistoryDepth + kSpectrumHistoryDepth) %
                                 kSpectrumHistoryDepth) *
            kMaxSpectrumBins;
    int best = 0;
    double bestValue = 0;
    for (int j = 0; j < half; ++j) {
        const std::complex<double> c = x[static_cast<std::size_t>(j)];
        const double p = (c.real() * c.real() + c.imag() * c.imag()) * scale;
        double a;
        if (continues) {
            a = acc[j] + p;
            if (subtract) a -= oldest[j];
        } else {
            a = p;
        }
        acc[j] = a;
        slot[j] = p;
        const double v = in.peakFromInstantaneous ? p : a;
        if (j == 0 || v > bestValue) {
            bestValue = v;
            best = j;
        }
    }
    m_ringIndex = (m_ringIndex + 1) % kSpectrumHistoryDepth;
    if (m_count < INT_MAX) ++m_count;
    if (!unlimited) m_count = std::min(m_count, e);

    // Peak: power centroid around the peak bin over the window's main lobe.
    const std::complex<double> pc = x[static_cast<std::size_t>(best)];
    if (pc == std::complex<double>{}) return peak;
    peak.phaseDeg = std::atan2(pc.imag(), pc.real()) * kDegPerRad;
    const double r = m_count;
    const double fill = static_cast<double>(l) / n;
    const int lobe = static_cast<int>(std::trunc(4 / fill));
    double sumA = acc[best] / r, sumB = 0;
    for (int k = 1; k < lobe; ++k) {
        if (best - k < 0 || best + k >= half) break;
        const double lo = acc[best - k] / r, hi = acc[best + k] / r;
        sumA += lo + hi;
        sumB += k * (hi - lo);
    }
    if (!(sumA > 0)) return peak;
    peak.frequency = (best + sumB / sumA) / n;
    peak.levelDb = 10 * std::log10(sumA * fill / windowNoiseBandwidth(in.window));
    peak.valid = peak.levelDb > -160;
    return peak;
}

CrossPhase crossChannelPhase(std::span<const std::complex<double>> a1,
                             std::span<const std::complex<double>> a2, int half) {
    CrossPhase out;
    const int count = std::min({half, static_cast<int>(a1.size()), static_cast<int>(a2.size())});
    if (count <= 0) return out;
    int f = 0, e = 0;
    double bestF = std::norm(a1[0]), bestE = std::norm(a2[0]);
    for (int j = 1; j < count; ++j) {
        const double p1 = std::norm(a1[static_cast<std::size_t>(j)]);
        const double p2 = std::norm(a2[static_cast<std::size_t>(j)]);
        if (p1 > bestF) {
            bestF = p1;
            f = j;
        }
        if (p2 > bestE) {
            bestE = p2;
            e = j;
        }
    }
    out.peaksCoincide = std::abs(f - e) < 2;
    const std::complex<double> zero{};
    const auto x1f = a1[static_cast<std::size_t>(f)], x2f = a2[static_cast<std::size_t>(f)];
    if (x1f != zero && x2f != zero) {
        out.a1MinusA2Deg = wrapDegrees((std::arg(x1f) - std::arg(x2f)) * kDegPerRad);
        out.a1Valid = true;
    }
    const auto x1e = a1[static_cast<std::size_t>(e)], x2e = a2[static_cast<std::size_t>(e)];
    if (x1e != zero && x2e != zero) {
        out.a2MinusA1Deg = wrapDegrees((std::arg(x2e) - std::arg(x1e)) * kDegPerRad);
        out.a2Valid = true;
    }
    return out;
}

} // namespace kx::analyzers
