// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BenchSignals.h"
#include "Signals.h"

#include <string_view>

namespace kx::sim {

enum class AnalogSource { Calibrator, Generator, Level, Waveform };

// What is connected to the inputs. The default bench: A1 on the calibrator, A2 on a cable from the
// generator, D1 a looping UART text, D2 a 10 kHz clock, D3 that clock halved, D4 a 1 kHz 10 % pulse.
class Bench {
public:
    Bench();

    const Signal& analog(int channel) const;
    const Signal& digital(int channel) const;
    const Signal& generator() const { return m_generator; }
    GeneratorOutput& generatorOutput() { return m_generator; }
    bool noise() const { return m_noise; }

    // "bench=default", "a1=calibrator|generator|ground|<volts>|sine:...|square:...|sum:...", "a2=...",
    // "noise=on|off";
    // false when the key is not a bench item, ok tells whether the value was good.
    bool control(std::string_view key, std::string_view value, bool& ok);
    void restoreDefault();

private:
    Calibrator m_calibrator;
    GeneratorOutput m_generator;
    Level m_level[2];
    Waveform m_wave[2];
    AnalogSource m_source[2] = {AnalogSource::Calibrator, AnalogSource::Generator};
    UartText m_uart;
    Clock m_clock;
    Clock m_half;
    Clock m_pulse;
    bool m_noise = true;
};

} // namespace kx::sim
