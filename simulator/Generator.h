// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AwgSequencer.h"
#include "Memory.h"
#include "SignalIntegral.h"
#include "Signals.h"

#include <cstdint>
#include <span>

namespace kx::sim {

class FrontEnd;
struct Factory;

// The sample clock a sweep steps on: once per sample clock, over the sample clocks after the trigger.
struct SweepClock {
    Picoseconds samplePs = 5000;
    std::int64_t steps = 0;
};

// What the modulator can take from outside the generator.
struct GeneratorInputs {
    const FrontEnd* analog[2] = {nullptr, nullptr}; // A1, A2 as their converters read them
    const Signal* digital[4] = {nullptr, nullptr, nullptr, nullptr};
    double threshold[4] = {1.65, 1.65, 1.65, 1.65};
};

// A 48-bit phase accumulator on the 400 MHz synthesis clock. A new tuning word carries the phase
// on, as the hardware's accumulator does; a phase synchronisation sets it to 0.
class PhaseAccumulator {
public:
    // From t on the word `word`, the accumulator standing at `acc` (x 2^-48 cycles) at t.
    void retune(std::uint64_t word, Picoseconds t, double acc);
    std::uint64_t word() const { return m_word; }
    double hertz() const;
    // Accumulator value (fraction of a cycle x 2^48) at t, between synthesis clocks interpolated.
    double accumulator(Picoseconds t) const;
    // Phase in cycles, 0 .. 1.
    double phase(Picoseconds t) const;

private:
    std::uint64_t m_word = 0;
    Picoseconds m_t0 = 0;
    std::uint64_t m_acc0 = 0;
};

// A sweep: the tuning word starts at F and gains `step` once per sample clock, over `steps` sample
// clocks after which it starts again; each record's trigger restarts it. The phase runs on across
// restarts and changes of the words.
class SweepAccumulator {
public:
    void retune(std::uint64_t start, std::uint64_t step, const SweepClock& clock, Picoseconds t, double acc);
    void restart(Picoseconds t);
    bool sweeping() const { return m_step != 0 && m_clock.steps > 0 && m_clock.samplePs > 0; }
    double accumulator(Picoseconds t) const;
    // Highest tuning word it reaches.
    double topWord() const;
    double startWord() const { return static_cast<double>(m_start); }
    bool same(std::uint64_t start, std::uint64_t step, const SweepClock& clock) const {
        return start == m_start && step == m_step && clock.samplePs == m_clock.samplePs &&
               clock.steps == m_clock.steps;
    }

private:
    std::uint64_t m_start = 0;
    std::uint64_t m_step = 0;
    SweepClock m_clock;
    Picoseconds m_t0 = 0;
    std::uint64_t m_acc0 = 0;
};

// The generator output as the registers in force make it: synthesis, sweep, pulse, modulation,
// the AWG sequencer, the offset DAC through this unit's characteristic and the external load.
class Generator final : public Signal {
public:
    Generator();
    // Power-on: nothing programmed, the sequencer idle.
    void reset();
    // Registers in force from t; the once flags (phase synchronisation, AWG RUN) act at t.
    void configure(const RegisterFile& r, const Factory& factory, Picoseconds t, const SweepClock& sweep);
    // The modulator's outside sources, once the front ends are configured.
    void connect(const GeneratorInputs& inputs);
    // AWG memory (little-endian words) as it stands from t.
    void programWritten(std::span<const std::uint8_t> awgBytes, Picoseconds t);
    // A record's trigger instant: the sweep starts again.
    void restartSweep(Picoseconds t);
    // The AWG mark that replaces D1 while a mark address is set, or null.
    const Signal* mark() const { return m_markAddress < kAwgNoMark ? &m_markSignal : nullptr; }

    double volts(Picoseconds t) const override;
    double mean() const override;
    double periodPs() const override;
    Picoseconds stableUntil(Picoseconds t) const override;
    double maxSlope() const override;

    // The carrier's frequency (a sweep's start) and its phase at t in cycles 0..1.
    double carrierHertz() const;
    double phaseAt(Picoseconds t) const { return carrierPhase(t); }

private:
    enum Function : unsigned { kPlain = 0, kSweep, kAm, kFm, kPm, kSum, kAwg, kPulse };
    enum Source : unsigned { kInternal = 0, kA1, kA2, kD1, kD2, kD3, kD4, kPulseSource, kAwgSource };

    class MarkSignal final : public Signal {
    public:
        explicit MarkSignal(const Generator& g) : m_g(g) {}
        double volts(Picoseconds t) const override;
        double mean() const override { return 0.0; }
        Picoseconds stableUntil(Picoseconds t) const override;

    private:
        const Generator& m_g;
    };

    double carrierAccumulator(Picoseconds t) const;
    double carrierPhase(Picoseconds t) const;
    // Carrier of the AM and SUM paths, -1 .. 1.
    double carrier(Picoseconds t) const;
    bool constantCarrier() const { return m_shape == 5 || m_shape == 6; }
    double modulating(Picoseconds t) const;
    double modulatingIntegral(Picoseconds t) const;
    double modulatingMean() const;
    double modulatingPeak() const;
    Picoseconds modulatingStableUntil(Picoseconds t) const;
    bool externalSource() const { return m_source == kA1 || m_source == kA2; }
    double waveform(double phase, Picoseconds t) const;
    double pulseLevel(Picoseconds t) const;
    double analogDivisions(int channel, Picoseconds t) const;
    // D1..D4 as the modulator takes them; null when not connected or wired to this output.
    const Signal* logicInput(int channel) const;
    void rebuildIntegral();
    double output(Picoseconds t) const; // before the load

    // Registers as decoded.
    unsigned m_function = kPlain;
    unsigned m_source = kInternal;
    bool m_invert = false;
    unsigned m_shape = 5;
    unsigned m_modShape = 5;
    std::uint64_t m_stepWord = 0;
    unsigned m_ampCode = 0;
    double m_lowVolts = 0.0;
    double m_ampVolts = 0.0;
    double m_load = 1.0;
    double m_zeroCode[2] = {128.0, 128.0};
    // Modulation strengths (per division for A1 and A2).
    double m_amDepth = 0.0;
    double m_fmHertz = 0.0;
    double m_pmCycles = 0.0;
    double m_sumLevel = 0.0;

    PhaseAccumulator m_carrier;
    SweepAccumulator m_sweep;
    PhaseAccumulator m_modulator;
    PulseClock m_pulse;
    std::uint16_t m_markAddress = kAwgNoMark;
    AwgTiming m_awgTiming;
    AwgProgram m_program{};
    AwgSequencer m_awg;
    GeneratorInputs m_inputs;
    Picoseconds m_integralOrigin = 0;
    SignalIntegral m_integral;
    MarkSignal m_markSignal;
};

} // namespace kx::sim
