// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AnalyzerFrame.h"

#include "analyzers/ComplexDivide.h"

#include <algorithm>

namespace kx::analyzers {
namespace {

constexpr double kHalfRange = 524288.0; // 2^19
constexpr std::int32_t kHigh = 256;

int bit(const core::ChannelBuffers& c, core::Channel ch, int sample, std::size_t k) {
    const auto& a = sample == 0 ? c.minOf(ch) : c.maxOf(ch);
    return a[k] == kHigh ? 1 : 0;
}

} // namespace

bool decodeAnalyzerPoint(const core::ChannelBuffers& c, int k, double& x, double& y) {
    using core::Channel;
    if (k < 0 || k >= static_cast<int>(core::kMaxFramePoints)) return false;
    const auto i = static_cast<std::size_t>(k);
    const std::int32_t a1 = c.minOf(Channel::A1)[i], a2 = c.minOf(Channel::A2)[i];
    if (a1 == core::kNoSample || a2 == core::kNoSample) return false;
    // The upper 16 bits come from the analog codes, the lowest four from the logic inputs.
    double vi = static_cast<double>(a1) * 16 + 8 * bit(c, Channel::D1, 0, i) + 4 * bit(c, Channel::D3, 0, i) +
                2 * bit(c, Channel::D1, 1, i) + bit(c, Channel::D3, 1, i) - kHalfRange;
    const double vq = static_cast<double>(a2) * 16 + 8 * bit(c, Channel::D2, 0, i) +
                      4 * bit(c, Channel::D4, 0, i) + 2 * bit(c, Channel::D2, 1, i) +
                      bit(c, Channel::D4, 1, i) - kHalfRange;
    if (vi == 0 && vq == 0) vi = 0.5; // keeps the phase defined
    x = vi / kHalfRange;
    y = vq / kHalfRange;
    return true;
}

double analyzerPointFrequency(std::uint64_t sweepStartMilliHz, std::uint64_t sweepSpanMilliHz, int n, int p0,
                              int k) {
    const double step = n != p0 ? static_cast<double>(sweepSpanMilliHz) / (n - p0) : 0.0;
    return (static_cast<double>(sweepStartMilliHz) + k * step) * 0.001;
}

std::complex<double> correctReflection(std::complex<double> g, std::complex<double> e1,
                                       std::complex<double> e2, std::complex<double> e3) {
    return smithDivide(e1 - e3 * g, e2 * g - 1.0);
}

void ProcessAnalyzerFrame(const core::FrameHeader& h, const core::ChannelBuffers& channels,
                          const AnalyzerCorrections& corr, core::AnalyzerPointArrays& points) {
    using namespace core;
    const auto kind = static_cast<AnalyzerKind>(h[fh::AnalyzerMode]);
    if (kind != AnalyzerKind::Network && kind != AnalyzerKind::Antenna) return;

    const int n = std::clamp(h.signedWord(fh::CaptureLength), 0, static_cast<int>(kAnalyzerPoints));
    const int p0 = h.signedWord(fh::PreTrigger);
    const std::uint64_t f0 = h.get64(fh::SweepStart), span = h.get64(fh::SweepSpan);
    const double amplitude = h.signedWord(fh::GenAmplitudeWord);
    const double rangeUv = h[fh::ScaleA1];

    const NetworkCorrectionTable* na = corr.network;
    const bool useNa = kind == AnalyzerKind::Network && corr.useNetwork && na != nullptr && na->count > 0 &&
                       na->factors.size() >= static_cast<std::size_t>(na->count);
    const AntennaTermTable* aa = corr.antenna;
    const auto aaCount = aa != nullptr ? static_cast<std::size_t>(std::max(aa->count, 0)) : 0;
    const bool useAa = kind == AnalyzerKind::Antenna && corr.useAntenna && aaCount > 0 && amplitude != 0 &&
                       aa->e1.size() >= aaCount && aa->e2.size() >= aaCount && aa->e3.size() >= aaCount;

    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        double x, y;
        if (!decodeAnalyzerPoint(channels, k, x, y)) {
            points.re[i] = kNoAnalyzerData;
            points.im[i] = kNoAnalyzerData;
            continue;
        }
        std::complex<double> v;
        if (kind == AnalyzerKind::Network) {
            v = {x, y};
            if (useNa) {
                const double f = analyzerPointFrequency(f0, span, n, p0, k);
                const std::span<const std::complex<double>> t(na->factors.data(),
                                                              static_cast<std::size_t>(na->count));
                v = interpolateTable(t, na->startHz, na->spanHz, f) * v;
            }
        } else {
            const std::complex<double> volts = rangeUv * 8 * 0.001 * std::complex<double>(x, y);
            v = amplitude != 0 ? 2.0 * volts / (amplitude * 0.5) - 1.0 : std::complex<double>{};
            if (useAa) {
                const double f = analyzerPointFrequency(f0, span, n, p0, k);
                const auto at = [&](const std::vector<std::complex<double>>& e) {
                    return interpolateTable({e.data(), aaCount}, aa->startHz, aa->spanHz, f);
                };
                v = correctReflection(v, at(aa->e1), at(aa->e2), at(aa->e3));
            }
        }
        points.re[i] = v.real();
        points.im[i] = v.imag();
    }
}

} // namespace kx::analyzers
