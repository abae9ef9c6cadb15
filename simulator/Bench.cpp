// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bench.h"

#include "Settings.h"

namespace kx::sim {

Bench::Bench()
    : m_uart("Hello from KX48zz\r\n", 9600, 20), m_clock(kPsPerSecond / 10000, kPsPerSecond / 20000),
      m_half(kPsPerSecond / 5000, kPsPerSecond / 10000), m_pulse(kPsPerSecond / 1000, kPsPerSecond / 10000) {}

const Signal& Bench::analog(int channel) const {
    const int ch = channel == 0 ? 0 : 1;
    switch (m_source[ch]) {
    case AnalogSource::Calibrator:
        return m_calibrator;
    case AnalogSource::Generator:
        return m_generator;
    case AnalogSource::Waveform:
        return m_wave[ch];
    default:
        return m_level[ch];
    }
}

const Signal& Bench::digital(int channel) const {
    switch (channel) {
    case 0:
        return m_uart;
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
    m_level[0].set(0.0);
    m_level[1].set(0.0);
    m_noise = true;
}

bool Bench::control(std::string_view key, std::string_view value, bool& ok) {
    ok = false;
    if (key == "bench") {
        // Only the default bench exists so far; the analyzer benches come with their features.
        if (value == "default") {
            restoreDefault();
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
    if (key != "a1" && key != "a2") return false;
    const int ch = key == "a1" ? 0 : 1;
    if (value == "calibrator") {
        m_source[ch] = AnalogSource::Calibrator;
    } else if (value == "generator") {
        m_source[ch] = AnalogSource::Generator;
    } else if (value == "ground") {
        m_source[ch] = AnalogSource::Level;
        m_level[ch].set(0.0);
    } else if (const auto w = Waveform::parse(value)) {
        m_source[ch] = AnalogSource::Waveform;
        m_wave[ch] = *w;
    } else if (const auto v = parseReal(value); v && *v > -1000.0 && *v < 1000.0) {
        m_source[ch] = AnalogSource::Level;
        m_level[ch].set(*v);
    } else {
        return true;
    }
    ok = true;
    return true;
}

} // namespace kx::sim
