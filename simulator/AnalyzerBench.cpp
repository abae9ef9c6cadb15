// SPDX-License-Identifier: GPL-3.0-or-later
#include "AnalyzerBench.h"

#include "Settings.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace kx::sim {

namespace {

using cd = std::complex<double>;
constexpr double kInputOhms = 1e6; // A1's input resistance
// The network analyzer's cable to A1.
constexpr double kInputDelayS = 1.5e-9;
// The antenna bridge: directivity, source match and tracking of its error box, and the delay of
// its cable (one way): a slight mismatch and about 3 degrees of phase per 10 MHz.
const cd kDirectivity{0.02, 0.01};
const cd kSourceMatch{0.04, -0.02};
constexpr double kTracking = 0.97;
constexpr double kBridgeDelayS = 0.42e-9;

cd delay(double hz, double seconds) {
    return std::polar(1.0, -2.0 * std::numbers::pi * hz * seconds);
}

cd parallel(cd a, cd b) {
    return a * b / (a + b);
}

std::vector<std::string_view> fields(std::string_view text) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        out.push_back(
            text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start));
        if (colon == std::string_view::npos) return out;
        start = colon + 1;
    }
}

} // namespace

std::optional<double> parseSiValue(std::string_view text) {
    if (text.empty()) return std::nullopt;
    double scale = 1.0;
    switch (text.back()) {
    case 'p':
        scale = 1e-12;
        break;
    case 'n':
        scale = 1e-9;
        break;
    case 'u':
        scale = 1e-6;
        break;
    case 'm':
        scale = 1e-3;
        break;
    case 'k':
    case 'K':
        scale = 1e3;
        break;
    case 'M':
        scale = 1e6;
        break;
    case 'G':
        scale = 1e9;
        break;
    default:
        break;
    }
    if (scale != 1.0) text.remove_suffix(1);
    const auto v = parseReal(text);
    if (!v || !std::isfinite(*v) || *v < 0.0 || *v > 1e12) return std::nullopt;
    return *v * scale;
}

std::optional<AnalyzerCircuit> AnalyzerCircuit::parse(std::string_view value) {
    const auto f = fields(value);
    AnalyzerCircuit c;
    auto values = [&](std::size_t first, int count) {
        double* out[3] = {&c.m_r, count == 2 ? &c.m_c : &c.m_l, &c.m_c};
        for (int i = 0; i < count; ++i) {
            const auto v = parseSiValue(f[first + static_cast<std::size_t>(i)]);
            if (!v) return false;
            *out[i] = *v;
        }
        return true;
    };
    const std::string_view name = f[0];
    if (f.size() == 1 && name == "thru") {
        c.m_kind = Kind::Thru;
    } else if (f.size() == 1 && name == "open") {
        c.m_kind = Kind::Open;
    } else if (f.size() == 1 && name == "short") {
        c.m_kind = Kind::Short;
    } else if (f.size() == 1 && name == "load") {
        c.m_kind = Kind::Load;
        c.m_r = 50.0;
    } else if (f.size() == 3 && name == "rc" && values(1, 2) && c.m_c > 0) {
        c.m_kind = Kind::Rc;
    } else if (f.size() == 4 && name == "rlc" && values(1, 3)) {
        c.m_kind = Kind::Rlc;
    } else if (f.size() == 2 && name == "lc" && f[1] == "open") {
        c.m_kind = Kind::Lc;
    } else if (f.size() == 4 && name == "lc" && values(1, 3) && (c.m_r > 0 || c.m_l > 0 || c.m_c > 0)) {
        c.m_kind = Kind::Lc;
    } else {
        return std::nullopt;
    }
    return c;
}

cd AnalyzerCircuit::load(double hz) const {
    const double w = 2.0 * std::numbers::pi * hz;
    switch (m_kind) {
    case Kind::Open:
        return {kInputOhms, 0.0};
    case Kind::Short:
        return {0.0, 0.0};
    case Kind::Load:
        return {50.0, 0.0};
    case Kind::Rlc: {
        // A capacitor blocks DC: at 0 Hz the series circuit is open.
        cd z{m_r, w * m_l};
        if (m_c > 0) z += w > 0 ? cd{0.0, -1.0 / (w * m_c)} : cd{1e12, 0.0};
        return z;
    }
    case Kind::Lc: {
        // The component in parallel with A1's input; "lc:open" leaves A1's input alone.
        cd z{kInputOhms, 0.0};
        if (m_c > 0)
            z = m_r + (w > 0 ? cd{0.0, -1.0 / (w * m_c)} : cd{1e12, 0.0});
        else if (m_l > 0)
            z = cd{m_r, w * m_l};
        else if (m_r > 0)
            z = {m_r, 0.0};
        return m_r > 0 || m_l > 0 || m_c > 0 ? parallel(z, kInputOhms) : z;
    }
    default:
        return {kInputOhms, 0.0};
    }
}

cd AnalyzerCircuit::response(double hz) const {
    const double w = 2.0 * std::numbers::pi * hz;
    switch (m_kind) {
    case Kind::Thru:
        // The 50 Ohm termination halves the EMF.
        return 0.5 * delay(hz, kInputDelayS);
    case Kind::Rc: {
        // The terminated cable is 25 Ohm behind half the EMF; R and C follow, A1 across C.
        const cd zc = w > 0 ? cd{0.0, -1.0 / (w * m_c)} : cd{1e12, 0.0};
        return 0.5 * zc / (m_r + 25.0 + zc) * delay(hz, kInputDelayS);
    }
    case Kind::Open:
    case Kind::Short:
    case Kind::Load:
    case Kind::Rlc: {
        const cd z = load(hz);
        const cd g = m_kind == Kind::Open ? cd{1.0, 0.0} : (z - kSourceOhms) / (z + kSourceOhms);
        // The bridge's own errors and its cable there and back.
        const cd gc = g * delay(hz, 2.0 * kBridgeDelayS);
        const cd measured = kDirectivity + kTracking * gc / (1.0 - kSourceMatch * gc);
        // A1 sees (1 + G) / 2 of the EMF.
        return 0.5 * (1.0 + measured);
    }
    case Kind::Lc: {
        const cd z = load(hz);
        return z / (z + kSourceOhms);
    }
    default:
        return {1.0, 0.0};
    }
}

void CircuitSignal::update() const {
    const double hz = m_generator.carrierHertz();
    if (hz == m_hz && m_seen == m_circuit) return;
    m_hz = hz;
    m_seen = m_circuit;
    const cd h = m_circuit.response(hz);
    m_dc = std::abs(m_circuit.response(0.0));
    m_gain = hz > 0.0 ? std::abs(h) : m_dc;
    // A steady sine: the response scales it and shifts it in time.
    m_shiftPs =
        hz > 0.0 ? static_cast<Picoseconds>(std::llround(std::arg(h) / (2.0 * std::numbers::pi * hz) * 1e12))
                 : 0;
}

double CircuitSignal::volts(Picoseconds t) const {
    update();
    const double mean = m_generator.mean();
    return m_dc * mean + m_gain * (m_generator.volts(t + m_shiftPs) - mean);
}

double CircuitSignal::mean() const {
    update();
    return m_dc * m_generator.mean();
}

double CircuitSignal::maxSlope() const {
    update();
    return m_generator.maxSlope() * std::max(m_gain, m_dc);
}

Picoseconds CircuitSignal::stableUntil(Picoseconds t) const {
    update();
    const Picoseconds s = m_generator.stableUntil(t + m_shiftPs);
    return s > t + m_shiftPs ? s - m_shiftPs : t;
}

} // namespace kx::sim
