// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SweepExport.h"

#include "analyzers/AnalyzerFrame.h"
#include "analyzers/AntennaAnalyzer.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <numbers>

namespace kx::analyzers {

namespace {

constexpr double kDegPerRad = 180.0 / std::numbers::pi;
// What the network analyzer's trace calls 0 dB: |H| = 1 / (2 sqrt 2).
const double kNetworkScale = 2.0 * std::sqrt(2.0);

// Calls f(frequency, value) for every point with data.
template <typename F> void forEachPoint(const core::FrameRecord& frame, F&& f) {
    const core::FrameHeader& h = frame.header;
    const int n =
        std::clamp(h.signedWord(core::fh::CaptureLength), 0, static_cast<int>(core::kAnalyzerPoints));
    const int p0 = h.signedWord(core::fh::PreTrigger);
    const std::uint64_t start = h.get64(core::fh::SweepStart), span = h.get64(core::fh::SweepSpan);
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const double re = frame.points.re[i], im = frame.points.im[i];
        if (!hasAnalyzerData(re, im)) continue;
        f(analyzerPointFrequency(start, span, n, p0, k), std::complex<double>(re, im));
    }
}

// Plain numbers: a point as decimal separator, no thousands grouping, whatever the locale.
std::string number(double v, int decimals) {
    if (!std::isfinite(v)) return v > 0 ? "inf" : (v < 0 ? "-inf" : "nan");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string real(double v) {
    if (!std::isfinite(v)) return number(v, 0);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

} // namespace

bool sweepHasData(const core::FrameRecord& frame, std::uint32_t analyzerMode) {
    if (frame.header[core::fh::AnalyzerMode] != analyzerMode) return false;
    bool any = false;
    forEachPoint(frame, [&](double, std::complex<double>) { any = true; });
    return any;
}

std::string networkSweepCsv(const core::FrameRecord& frame) {
    std::string out = "frequency_hz,gain_db,phase_deg\r\n";
    forEachPoint(frame, [&](double hz, std::complex<double> h) {
        const double m = std::abs(h) * kNetworkScale;
        out += number(hz, 3) + ',' + (m > 0 ? number(20.0 * std::log10(m), 4) : std::string("-inf")) + ',' +
               number(std::arg(h) * kDegPerRad, 3) + "\r\n";
    });
    return out;
}

std::string antennaSweepCsv(const core::FrameRecord& frame, double zo) {
    std::string out = "frequency_hz,swr,return_loss_db,r_ohm,x_ohm,z_ohm,q,phase_deg\r\n";
    forEachPoint(frame, [&](double hz, std::complex<double> g) {
        const AntennaQuantities q = antennaQuantities(g, zo);
        out += number(hz, 3) + ',' + number(q.swr, 4) + ',' + number(q.returnLossDb, 3) + ',' + real(q.rs) +
               ',' + real(q.xs) + ',' + real(std::abs(q.z)) + ',' + real(q.q) + ',' +
               number(q.phase * kDegPerRad, 3) + "\r\n";
    });
    return out;
}

std::string touchstoneS1p(const core::FrameRecord& frame) {
    std::string out = "! kx48zz antenna analyzer, reflection at the bridge\r\n# Hz S RI R 50\r\n";
    forEachPoint(frame, [&](double hz, std::complex<double> g) {
        if (!std::isfinite(g.real()) || !std::isfinite(g.imag())) return;
        out += number(hz, 3) + ' ' + real(g.real()) + ' ' + real(g.imag()) + "\r\n";
    });
    return out;
}

bool writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f << text;
    f.close();
    return static_cast<bool>(f);
}

} // namespace kx::analyzers
