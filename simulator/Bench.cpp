// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bench.h"

#include "Settings.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kx::sim {

namespace {

constexpr double kLogicHigh = 3.3;
// Pulse trains on an analog input: 0..2 V bursts, edges of 10 ns (less for fast trains).
constexpr double kBurstVolts = 2.0;
constexpr Picoseconds kAnalogEdgePs = 10'000;
constexpr double kMaxHz = 50e6;
constexpr double kMinHz = 0.01;

// Splits "name:a:b:..." into the name and up to four fields; false when there are more.
struct Fields {
    std::string_view name;
    std::string_view f[4];
    int count = 0;
};

bool split(std::string_view text, Fields& out) {
    std::size_t colon = text.find(':');
    out.name = text.substr(0, colon);
    while (colon != std::string_view::npos) {
        if (out.count == 4) return false;
        text = text.substr(colon + 1);
        colon = text.find(':');
        out.f[out.count++] = text.substr(0, colon);
    }
    return true;
}

std::optional<Picoseconds> periodOf(std::string_view hz) {
    const auto f = parseReal(hz);
    if (!f || !(*f >= kMinHz && *f <= kMaxHz)) return std::nullopt;
    return static_cast<Picoseconds>(std::llround(1e12 / *f));
}

std::optional<double> voltsOf(std::string_view text, double low) {
    const auto v = parseReal(text);
    if (!v || !(*v >= low && *v < 1000.0)) return std::nullopt;
    return v;
}

Picoseconds analogEdge(Picoseconds period) {
    return std::min(kAnalogEdgePs, period / 8);
}

// "burst:N:HZ:GAP_MS" at the given level and edge time.
std::optional<PulseTrain::Shape> burst(const Fields& f, double volts, bool analog) {
    if (f.count != 3) return std::nullopt;
    const auto n = parseInteger(f.f[0]);
    const auto period = periodOf(f.f[1]);
    const auto gapMs = parseReal(f.f[2]);
    if (!n || *n < 1 || *n > 10000 || !period || !gapMs || !(*gapMs >= 0.0 && *gapMs <= 100000.0))
        return std::nullopt;
    PulseTrain::Shape s;
    s.period = *period;
    s.pulses = static_cast<int>(*n);
    s.gap = static_cast<Picoseconds>(std::llround(*gapMs * 1e9));
    s.volts = s.runtVolts = volts;
    s.edge[0] = s.edge[1] = analog ? analogEdge(*period) : 0;
    return s;
}

} // namespace

Bench::Bench()
    : m_uart("Hello from KX48zz\r\n", UartFormat{}, kLogicHigh),
      m_clock(kPsPerSecond / 10000, kPsPerSecond / 20000), m_half(kPsPerSecond / 5000, kPsPerSecond / 10000),
      m_pulse(kPsPerSecond / 1000, kPsPerSecond / 10000) {}

const Signal& Bench::analog(int channel) const {
    const int ch = channel == 0 ? 0 : 1;
    switch (m_source[ch]) {
    case AnalogSource::Calibrator:
        return m_calibrator;
    case AnalogSource::Generator:
        return m_generator;
    case AnalogSource::Train:
        return m_train[ch];
    case AnalogSource::Video:
        return m_video[ch];
    case AnalogSource::Waveform:
        return m_wave[ch];
    case AnalogSource::Uart:
        return *m_analogUart[ch];
    case AnalogSource::Circuit:
        return m_circuitSignal;
    default:
        return m_level[ch];
    }
}

const Signal& Bench::digital(int channel) const {
    const int ch = std::clamp(channel, 0, 3);
    if (m_logicSource[ch] == LogicSource::Train) return m_logicTrain[ch];
    if (m_logicSource[ch] == LogicSource::Level) return m_logicLevel[ch];
    if (m_logicSource[ch] == LogicSource::Uart) return *m_logicUart[ch];
    // The logic input compares the generator's output against its own threshold.
    if (m_logicSource[ch] == LogicSource::Generator) return m_generator;
    switch (ch) {
    case 0:
        return m_generator.mark() != nullptr ? *m_generator.mark() : m_uart;
    case 1:
        return m_clock;
    case 2:
        return m_half;
    default:
        return m_pulse;
    }
}

void Bench::restoreDefault() {
    m_source[0] = AnalogSource::Calibrator;
    m_source[1] = AnalogSource::Generator;
    m_circuit = AnalyzerCircuit{};
    m_level[0].set(0.0);
    m_level[1].set(0.0);
    for (LogicSource& s : m_logicSource) s = LogicSource::Default;
    m_noise = true;
}

bool Bench::control(std::string_view key, std::string_view value, bool& ok) {
    ok = false;
    if (key == "bench") {
        if (value == "default") {
            restoreDefault();
            ok = true;
        } else if (const auto circuit = AnalyzerCircuit::parse(value)) {
            // The generator drives the circuit, A1 looks at it; everything else stays as it was.
            m_circuit = *circuit;
            m_source[0] = AnalogSource::Circuit;
            ok = true;
        }
        return true;
    }
    if (key == "noise") {
        const auto on = parseSwitch(value);
        if (on) {
            m_noise = *on;
            ok = true;
        }
        return true;
    }
    if (key == "a1" || key == "a2") {
        ok = analogControl(key == "a1" ? 0 : 1, value);
        if (ok && key == "a1") m_circuit = AnalyzerCircuit{};
        return true;
    }
    if (key.size() == 2 && key[0] == 'd' && key[1] >= '1' && key[1] <= '4') {
        ok = logicControl(key[1] - '1', value);
        return true;
    }
    return false;
}

bool Bench::analogControl(int ch, std::string_view value) {
    // A serial line at logic levels.
    if (auto u = UartText::parse(value, kLogicHigh)) {
        m_analogUart[ch] = std::move(u);
        m_source[ch] = AnalogSource::Uart;
        return true;
    }
    // Bench signals first: a sine with harmonics has more fields than the pulse trains take.
    if (const auto w = Waveform::parse(value)) {
        m_source[ch] = AnalogSource::Waveform;
        m_wave[ch] = *w;
        return true;
    }
    Fields f;
    if (!split(value, f)) return false;
    if (f.count == 0) {
        if (value == "calibrator") {
            m_source[ch] = AnalogSource::Calibrator;
        } else if (value == "generator") {
            m_source[ch] = AnalogSource::Generator;
        } else if (value == "ground") {
            m_source[ch] = AnalogSource::Level;
            m_level[ch].set(0.0);
        } else if (const auto v = parseReal(value); v && *v > -1000.0 && *v < 1000.0) {
            m_source[ch] = AnalogSource::Level;
            m_level[ch].set(*v);
        } else {
            return false;
        }
        return true;
    }
    if (f.name == "video") {
        if (f.count != 1 || (f.f[0] != "pal" && f.f[0] != "ntsc")) return false;
        m_video[ch].set(f.f[0] == "ntsc");
        m_source[ch] = AnalogSource::Video;
        return true;
    }
    std::optional<PulseTrain::Shape> shape;
    if (f.name == "burst") {
        shape = burst(f, kBurstVolts, true);
    } else if (f.name == "runt" && f.count == 3) {
        // Every fourth pulse reaches only the runt level.
        const auto period = periodOf(f.f[0]);
        const auto vpp = voltsOf(f.f[1], 1e-6);
        const auto runt = voltsOf(f.f[2], 0.0);
        if (period && vpp && runt) {
            shape.emplace();
            shape->period = *period;
            shape->pulses = shape->runtEvery = 4;
            shape->volts = *vpp;
            shape->runtVolts = *runt;
            shape->edge[0] = shape->edge[1] = analogEdge(*period);
        }
    } else if (f.name == "slew" && f.count == 4) {
        // Pulses whose edges take the two rise times in turn.
        const auto period = periodOf(f.f[0]);
        const auto vpp = voltsOf(f.f[1], 1e-6);
        const auto rise1 = parseReal(f.f[2]);
        const auto rise2 = parseReal(f.f[3]);
        const auto fits = [&](const std::optional<double>& ns) {
            return ns && *ns >= 0.0 && *ns * 1000.0 <= static_cast<double>(*period / 2);
        };
        if (period && vpp && fits(rise1) && fits(rise2)) {
            shape.emplace();
            shape->period = *period;
            shape->pulses = 2;
            shape->volts = shape->runtVolts = *vpp;
            shape->edge[0] = static_cast<Picoseconds>(std::llround(*rise1 * 1000.0));
            shape->edge[1] = static_cast<Picoseconds>(std::llround(*rise2 * 1000.0));
        }
    }
    if (!shape) return false;
    m_train[ch].set(*shape);
    m_source[ch] = AnalogSource::Train;
    return true;
}

bool Bench::logicControl(int ch, std::string_view value) {
    const auto c = static_cast<std::size_t>(ch);
    if (value == "default") {
        m_logicSource[c] = LogicSource::Default;
        return true;
    }
    if (value == "low" || value == "high") {
        m_logicLevel[c].set(value == "high" ? kLogicHigh : 0.0);
        m_logicSource[c] = LogicSource::Level;
        return true;
    }
    if (value == "generator") {
        m_logicSource[c] = LogicSource::Generator;
        return true;
    }
    if (auto u = UartText::parse(value, kLogicHigh)) {
        m_logicUart[c] = std::move(u);
        m_logicSource[c] = LogicSource::Uart;
        return true;
    }
    Fields f;
    if (!split(value, f) || f.name != "burst") return false;
    const auto shape = burst(f, kLogicHigh, false);
    if (!shape) return false;
    m_logicTrain[c].set(*shape);
    m_logicSource[c] = LogicSource::Train;
    return true;
}

} // namespace kx::sim
