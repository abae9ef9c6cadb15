// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Signals.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kx::sim {

constexpr std::size_t kAwgProgramWords = 2048;
// Opcode in the top four bits, a 12-bit operand below.
using AwgProgram = std::array<std::uint16_t, kAwgProgramWords>;
// Mark address register value that marks nothing.
constexpr std::uint16_t kAwgNoMark = 2048;

// The pulse generator as WAIT sees it: high for `width` out of every `period` from `origin`
// (a period of 0 is a pulse generator that stays low).
struct PulseClock {
    Picoseconds period = 0;
    Picoseconds width = 0;
    Picoseconds origin = 0;

    bool level(Picoseconds t) const;
    // First instant after t at which the level changes; kForever when it never does.
    Picoseconds nextEdge(Picoseconds t) const;
    bool operator==(const PulseClock&) const = default;
};

struct AwgTiming {
    Picoseconds clockPs = 5000; // one AWG clock, 5 ns x N
    std::uint16_t markAddress = kAwgNoMark;
    PulseClock pulse;
    bool operator==(const AwgTiming&) const = default;
};

// What the sequencer puts out during one clock: the output code, the D1 mark and the aux bit.
struct AwgOutput {
    std::uint16_t code = 0;
    bool mark = false;
    bool aux = false;
    bool operator==(const AwgOutput&) const = default;
};

// The sequencer's registers between two instructions.
struct AwgState {
    struct Repeat {
        std::uint16_t start = 0;
        std::uint16_t left = 0; // passes still to run; 0 with `forever`
        bool forever = false;
        bool operator==(const Repeat&) const = default;
    };
    static constexpr int kDepth = 4;

    std::uint16_t pc = 0;
    std::uint16_t code = 0;
    std::uint16_t hold = 1; // LOADN: clocks of OUTN and DIFFN
    std::uint16_t loopLeft = 0;
    bool looping = false;
    bool aux = false;
    bool halted = false;
    std::uint8_t calls = 0;
    std::uint8_t repeats = 0;
    std::array<std::uint16_t, kDepth> callStack{};
    std::array<Repeat, kDepth> repeatStack{};

    bool operator==(const AwgState&) const = default;
};

// The arbitrary-waveform sequencer. Each output instruction takes one AWG clock (DELAY, OUTN and
// DIFFN more); jumps, calls and register loads take none. From RUN on, the program is executed
// ahead into a timeline of output stretches until its state repeats (the timeline then repeats),
// it stops, or the effort limit is reached (the part built so far then repeats). The program is
// read from the memory as it stands: an upload while running takes effect where the run stands.
class AwgSequencer {
public:
    // Power-on: idle, output code 0.
    void reset();
    // RUN at t: fresh registers, the program starts at address 0.
    void run(const AwgProgram& program, const AwgTiming& timing, Picoseconds t);
    // Program memory or timing as from t. A running sequencer goes on from where it stands.
    void update(const AwgProgram& program, const AwgTiming& timing, Picoseconds t);

    bool running() const { return m_running; }
    AwgOutput at(Picoseconds t) const;
    // First instant after t at which the output may change; kForever when it never does.
    Picoseconds nextChange(Picoseconds t) const;
    // Integral of the output code over time since the timeline's origin, in code x picoseconds.
    double codeIntegral(Picoseconds t) const;
    // Mean output code over the repeating part (the final code when stopped).
    double meanCode() const;
    // The repeating part in AWG clocks, or 0 when the timeline does not repeat.
    std::int64_t cycleClocks() const { return m_cycleStart >= 0 ? m_end - m_cycleStart : 0; }

private:
    struct Stretch {
        std::int64_t clock = 0; // first clock
        AwgOutput out;
        double before = 0.0; // integral of the code before it, in code x clocks
    };
    struct Step {
        std::int64_t clocks = 0; // 0: the sequencer stays in this output for good
        AwgOutput out;
        std::uint16_t address = 0; // of the instruction that ended the step
    };
    struct Start {
        AwgState state;
        std::int64_t headClocks = 0; // rest of the step that was under way at the origin
        AwgOutput head;
    };
    struct Position {
        AwgState state;        // after the step under way
        std::int64_t rest = 0; // clocks of that step still to come (0 with a stopped sequencer)
        AwgOutput out;
    };

    void build();
    Step execute(AwgState& s, std::int64_t clock) const;
    std::int64_t waitClocks(std::int64_t clock, bool level) const;
    Position positionAt(std::int64_t clock) const;
    std::int64_t pulsePhase(std::int64_t clock) const;
    std::int64_t clockAt(Picoseconds t) const;
    // Clock within the built part that behaves as `clock`.
    std::int64_t folded(std::int64_t clock) const;
    std::size_t stretchAt(std::int64_t builtClock) const;
    double integralAt(double builtClock) const;
    void append(const AwgOutput& out, std::int64_t clock);

    AwgProgram m_program{};
    AwgTiming m_timing;
    bool m_usesWait = false;
    bool m_running = false;
    Picoseconds m_origin = 0;
    AwgOutput m_before; // what came out before the origin
    Start m_start;

    std::vector<Stretch> m_stretches;
    std::int64_t m_end = 0;         // first clock after the built part
    std::int64_t m_cycleStart = -1; // the built part repeats from here; -1: it ends in a stop
    AwgOutput m_stopped;
    AwgState m_stoppedState;
    std::vector<std::pair<std::int64_t, AwgState>> m_checkpoints;
    mutable std::size_t m_hint = 0;
};

} // namespace kx::sim
