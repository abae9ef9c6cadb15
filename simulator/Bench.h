// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AnalyzerBench.h"
#include "BenchSignals.h"
#include "Generator.h"
#include "PulseTrain.h"
#include "Signals.h"
#include "UartText.h"
#include "VideoSignal.h"

#include <optional>
#include <string_view>

namespace kx::sim {

enum class AnalogSource { Calibrator, Generator, Level, Train, Video, Waveform, Uart, Circuit };
enum class LogicSource { Default, Train, Level, Uart, Generator };

// What is connected to the inputs. The default bench: A1 on the calibrator, A2 on a cable from the
// generator, D1 a looping UART text, D2 a 10 kHz clock, D3 that clock halved, D4 a 1 kHz 10 % pulse.
// Pulse trains (runts, slow edges, bursts), composite video and serial lines can take the place of any
// of them.
class Bench {
public:
    Bench();
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    const Signal& analog(int channel) const;
    // D1 shows the AWG mark instead while the generator has a mark address set.
    const Signal& digital(int channel) const;
    const Generator& generator() const { return m_generator; }
    Generator& generatorOutput() { return m_generator; }
    bool noise() const { return m_noise; }
    // The analyzers' circuit between the generator and A1 (none on the default bench).
    const AnalyzerCircuit& circuit() const { return m_circuit; }

    // "bench=default|thru|rc:..|open|short|load|rlc:..|lc:..",
    // "a1=calibrator|generator|ground|<volts>|sine:..|square:..|sum:..|runt:..|slew:..|burst:..|video:..|uart:..",
    // "a2=...", "d1=default|low|high|generator|burst:..|uart:..", "d2=..", "d3=..", "d4=..", "noise=on|off";
    // false when the key is not a bench item, ok tells whether the value was good.
    bool control(std::string_view key, std::string_view value, bool& ok);
    void restoreDefault();

private:
    bool analogControl(int channel, std::string_view value);
    bool logicControl(int channel, std::string_view value);

    Calibrator m_calibrator;
    Generator m_generator;
    AnalyzerCircuit m_circuit;
    CircuitSignal m_circuitSignal{m_generator, m_circuit};
    Level m_level[2];
    PulseTrain m_train[2];
    VideoSignal m_video[2];
    Waveform m_wave[2];
    std::optional<UartText> m_analogUart[2];
    AnalogSource m_source[2] = {AnalogSource::Calibrator, AnalogSource::Generator};
    UartText m_uart;
    Clock m_clock;
    Clock m_half;
    Clock m_pulse;
    PulseTrain m_logicTrain[4];
    Level m_logicLevel[4];
    std::optional<UartText> m_logicUart[4];
    LogicSource m_logicSource[4] = {LogicSource::Default, LogicSource::Default, LogicSource::Default,
                                    LogicSource::Default};
    bool m_noise = true;
};

} // namespace kx::sim
