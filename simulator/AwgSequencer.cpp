// SPDX-License-Identifier: GPL-3.0-or-later
#include "AwgSequencer.h"

#include "TimeMath.h"

#include <algorithm>

namespace kx::sim {

namespace {

enum Opcode : unsigned {
    kOut = 0,
    kDiff = 1,
    kStop = 2,
    kLoop = 3,
    kDelay = 4,
    kRepeat = 5,
    kEndRepeat = 6,
    kReturn = 7,
    kCall = 8,
    kJump = 9,
    kWait = 10,
    kLoadN = 11,
    kOutN = 12,
    kDiffN = 13,
    kOutAux = 14,
};

constexpr std::uint16_t kAddressMask = kAwgProgramWords - 1;
constexpr std::uint16_t kCodeMask = 0x0FFF;
// Effort limits: a program whose state does not come round again within them repeats what was built.
constexpr long kMaxSteps = 1L << 20;
constexpr std::size_t kMaxStretches = std::size_t{1} << 20;
constexpr long kCheckpointEvery = 4096;
// Instructions without a clock in a row before the sequencer counts as hung.
constexpr int kZeroTimeLimit = 1 << 16;
// Pulse edges a WAIT looks through before it counts as never met.
constexpr int kWaitSearch = 1 << 16;

// The state at a backward move, with where the pulse generator stands when WAIT matters.
struct CycleKey {
    AwgState state;
    std::int64_t pulsePhase = 0;
    bool operator==(const CycleKey&) const = default;
};

std::uint16_t addCode(std::uint16_t code, unsigned field) {
    // The code register is 12 bits wide: a negative operand (stored + 4096) adds modulo 4096.
    return static_cast<std::uint16_t>((code + field) & kCodeMask);
}

} // namespace

bool PulseClock::level(Picoseconds t) const {
    return period > 0 && floorMod(t - origin, period) < width;
}

Picoseconds PulseClock::nextEdge(Picoseconds t) const {
    if (period <= 0 || width <= 0 || width >= period) return kForever;
    const Picoseconds r = floorMod(t - origin, period);
    const Picoseconds base = t - r;
    return r < width ? base + width : base + period;
}

void AwgSequencer::reset() {
    m_program.fill(0);
    m_timing = AwgTiming{};
    m_usesWait = false;
    m_running = false;
    m_origin = 0;
    m_before = AwgOutput{};
    m_start = Start{};
    m_stretches.clear();
    m_checkpoints.clear();
    m_end = 0;
    m_cycleStart = -1;
    m_hint = 0;
}

void AwgSequencer::run(const AwgProgram& program, const AwgTiming& timing, Picoseconds t) {
    // Before the origin only the last output before it is kept.
    m_before = at(t - 1);
    m_program = program;
    m_timing = timing;
    m_usesWait =
        std::any_of(program.begin(), program.end(), [](std::uint16_t w) { return (w >> 12) == kWait; });
    m_origin = t;
    m_start = Start{};
    m_running = true;
    build();
}

void AwgSequencer::update(const AwgProgram& program, const AwgTiming& timing, Picoseconds t) {
    const bool timingMatters = timing.clockPs != m_timing.clockPs ||
                               timing.markAddress != m_timing.markAddress ||
                               (m_usesWait && !(timing.pulse == m_timing.pulse));
    if (!m_running || (program == m_program && !timingMatters)) {
        m_program = program;
        m_timing = timing;
        m_usesWait =
            std::any_of(program.begin(), program.end(), [](std::uint16_t w) { return (w >> 12) == kWait; });
        return;
    }
    // Go on from where the run stands, with the old program up to there.
    const std::int64_t clock = std::max<std::int64_t>(0, clockAt(t));
    const Position p = positionAt(clock);
    m_before = at(t - 1);
    m_origin += clock * m_timing.clockPs;
    m_start = Start{p.state, p.rest, p.out};
    m_program = program;
    m_timing = timing;
    m_usesWait =
        std::any_of(program.begin(), program.end(), [](std::uint16_t w) { return (w >> 12) == kWait; });
    build();
}

std::int64_t AwgSequencer::clockAt(Picoseconds t) const {
    return floorDiv(t - m_origin, m_timing.clockPs);
}

std::int64_t AwgSequencer::pulsePhase(std::int64_t clock) const {
    const PulseClock& p = m_timing.pulse;
    if (!m_usesWait || p.period <= 0) return 0;
    return floorMod(m_origin + clock * m_timing.clockPs - p.origin, p.period);
}

std::int64_t AwgSequencer::waitClocks(std::int64_t clock, bool level) const {
    const Picoseconds period = m_timing.clockPs;
    std::int64_t c = clock;
    for (int i = 0; i < kWaitSearch; ++i) {
        const Picoseconds t = m_origin + c * period;
        if (m_timing.pulse.level(t) == level) return c - clock;
        const Picoseconds edge = m_timing.pulse.nextEdge(t);
        if (edge >= kForever) return -1;
        // The first clock at or after the edge.
        c = std::max(c + 1, floorDiv(edge - m_origin + period - 1, period));
    }
    return -1;
}

AwgSequencer::Step AwgSequencer::execute(AwgState& s, std::int64_t clock) const {
    bool mark = false;
    for (int n = 0; n < kZeroTimeLimit; ++n) {
        if (s.halted) return {0, {s.code, mark, s.aux}, s.pc};
        const std::uint16_t at = s.pc;
        const std::uint16_t word = m_program[at];
        const unsigned field = word & kCodeMask;
        const auto next = static_cast<std::uint16_t>((at + 1) & kAddressMask);
        if (at == m_timing.markAddress) mark = true;
        const auto emit = [&](std::int64_t clocks) { return Step{clocks, {s.code, mark, s.aux}, at}; };
        switch (word >> 12) {
        case kOut:
            s.code = static_cast<std::uint16_t>(field);
            s.pc = next;
            return emit(1);
        case kDiff:
            s.code = addCode(s.code, field);
            s.pc = next;
            return emit(1);
        case kStop:
            s.code = static_cast<std::uint16_t>(field);
            s.halted = true;
            return emit(0);
        case kLoop:
            if (!s.looping) {
                if (field == 0) {
                    s.pc = next;
                    continue;
                }
                s.looping = true;
                s.loopLeft = static_cast<std::uint16_t>(field);
            }
            if (s.loopLeft > 0) {
                --s.loopLeft;
                s.pc = 0;
            } else {
                s.looping = false;
                s.pc = next;
            }
            continue;
        case kDelay:
            s.pc = next;
            return emit(std::max<unsigned>(field, 1));
        case kRepeat:
            if (s.repeats < AwgState::kDepth)
                s.repeatStack[s.repeats++] = {next, static_cast<std::uint16_t>(field), field == 0};
            s.pc = next;
            continue;
        case kEndRepeat: {
            s.code = addCode(s.code, field);
            s.pc = next;
            if (s.repeats > 0) {
                AwgState::Repeat& top = s.repeatStack[s.repeats - 1u];
                if (top.forever || --top.left > 0) {
                    s.pc = top.start;
                } else {
                    top = AwgState::Repeat{};
                    --s.repeats;
                }
            }
            return emit(1);
        }
        case kReturn:
            s.code = addCode(s.code, field);
            s.pc = next;
            if (s.calls > 0) {
                s.pc = s.callStack[--s.calls];
                s.callStack[s.calls] = 0;
            }
            return emit(1);
        case kCall:
            // A full stack makes the call a plain jump.
            if (s.calls < AwgState::kDepth) s.callStack[s.calls++] = next;
            s.pc = static_cast<std::uint16_t>(field & kAddressMask);
            continue;
        case kJump:
            s.pc = static_cast<std::uint16_t>(field & kAddressMask);
            continue;
        case kWait: {
            const std::int64_t wait = waitClocks(clock, (field & 1) != 0);
            if (wait < 0) {
                // Never met: the output holds for good.
                s.halted = true;
                return emit(0);
            }
            s.pc = next;
            if (wait == 0) continue;
            return emit(wait);
        }
        case kLoadN:
            s.hold = static_cast<std::uint16_t>(field);
            s.pc = next;
            continue;
        case kOutN:
            s.code = static_cast<std::uint16_t>(field);
            s.pc = next;
            return emit(std::max<std::uint16_t>(s.hold, 1));
        case kDiffN:
            s.code = addCode(s.code, field);
            s.pc = next;
            return emit(std::max<std::uint16_t>(s.hold, 1));
        case kOutAux:
            s.aux = (field & 1) != 0;
            s.pc = next;
            continue;
        default:
            s.pc = next;
            continue;
        }
    }
    // Going round without a clock: nothing will ever come out again.
    s.halted = true;
    return {0, {s.code, mark, s.aux}, s.pc};
}

void AwgSequencer::append(const AwgOutput& out, std::int64_t clock) {
    if (!m_stretches.empty() && m_stretches.back().out == out) return;
    double before = 0.0;
    if (!m_stretches.empty()) {
        const Stretch& last = m_stretches.back();
        before = last.before + static_cast<double>(last.out.code) * static_cast<double>(clock - last.clock);
    }
    m_stretches.push_back({clock, out, before});
}

void AwgSequencer::build() {
    m_stretches.clear();
    m_checkpoints.clear();
    m_hint = 0;
    m_cycleStart = -1;
    m_end = 0;
    std::int64_t clock = 0;
    if (m_start.headClocks > 0) {
        append(m_start.head, 0);
        clock = m_start.headClocks;
    }
    AwgState s = m_start.state;
    // Brent's cycle search over the states at backward moves: one saved state, replaced at
    // every power of two; meeting it again means the run repeats from where it was saved.
    CycleKey saved;
    std::int64_t savedClock = -1;
    long power = 1;
    long sinceSaved = 0;
    for (long n = 0;; ++n) {
        if (n % kCheckpointEvery == 0) m_checkpoints.emplace_back(clock, s);
        const std::uint16_t pcBefore = s.pc;
        const Step step = execute(s, clock);
        if (step.clocks == 0) {
            m_end = clock;
            m_stopped = step.out;
            m_stoppedState = s;
            return;
        }
        append(step.out, clock);
        clock += step.clocks;
        // Every loop goes backwards somewhere; the state there tells when the run comes round.
        const bool backward = s.pc <= step.address || s.pc <= pcBefore;
        if (backward) {
            const CycleKey key{s, pulsePhase(clock)};
            if (savedClock >= 0 && key == saved) {
                m_end = clock;
                m_cycleStart = savedClock;
                return;
            }
            if (savedClock < 0 || ++sinceSaved == power) {
                saved = key;
                savedClock = clock;
                power *= 2;
                sinceSaved = 0;
            }
        }
        if (n >= kMaxSteps || m_stretches.size() >= kMaxStretches) {
            m_end = clock;
            m_cycleStart = 0;
            return;
        }
    }
}

std::int64_t AwgSequencer::folded(std::int64_t clock) const {
    if (clock < m_end || m_cycleStart < 0) return clock;
    return m_cycleStart + (clock - m_cycleStart) % (m_end - m_cycleStart);
}

std::size_t AwgSequencer::stretchAt(std::int64_t builtClock) const {
    const std::size_t n = m_stretches.size();
    const auto holds = [&](std::size_t i) {
        return m_stretches[i].clock <= builtClock && (i + 1 == n || m_stretches[i + 1].clock > builtClock);
    };
    // Readers mostly walk forwards: try where the last one was, and the stretch after it.
    if (m_hint < n && holds(m_hint)) return m_hint;
    if (m_hint + 1 < n && holds(m_hint + 1)) return ++m_hint;
    const auto it = std::upper_bound(m_stretches.begin(), m_stretches.end(), builtClock,
                                     [](std::int64_t c, const Stretch& s) { return c < s.clock; });
    m_hint = it == m_stretches.begin() ? 0 : static_cast<std::size_t>(it - m_stretches.begin()) - 1;
    return m_hint;
}

AwgOutput AwgSequencer::at(Picoseconds t) const {
    if (!m_running) return AwgOutput{};
    const std::int64_t clock = clockAt(t);
    if (clock < 0) return m_before;
    const std::int64_t c = folded(clock);
    if (c >= m_end || m_stretches.empty()) return m_stopped;
    return m_stretches[stretchAt(c)].out;
}

Picoseconds AwgSequencer::nextChange(Picoseconds t) const {
    if (!m_running) return kForever;
    const std::int64_t clock = clockAt(t);
    if (clock < 0) return m_origin;
    const std::int64_t c = folded(clock);
    if (c >= m_end || m_stretches.empty()) return kForever;
    const std::size_t i = stretchAt(c);
    const std::int64_t next = i + 1 < m_stretches.size() ? m_stretches[i + 1].clock : m_end;
    return m_origin + (clock + next - c) * m_timing.clockPs;
}

double AwgSequencer::integralAt(double builtClock) const {
    if (m_stretches.empty()) return 0.0;
    const auto whole = std::min(static_cast<std::int64_t>(builtClock), std::max<std::int64_t>(0, m_end - 1));
    const Stretch& s = m_stretches[stretchAt(whole)];
    return s.before + static_cast<double>(s.out.code) * (builtClock - static_cast<double>(s.clock));
}

double AwgSequencer::codeIntegral(Picoseconds t) const {
    if (!m_running) return 0.0;
    const Picoseconds period = m_timing.clockPs;
    const Picoseconds d = t - m_origin;
    const std::int64_t clock = floorDiv(d, period);
    if (clock < 0) return static_cast<double>(m_before.code) * static_cast<double>(d);
    const double frac = static_cast<double>(d - clock * period) / static_cast<double>(period);
    double clocks = 0.0;
    if (clock < m_end) {
        clocks = integralAt(static_cast<double>(clock) + frac);
    } else if (m_cycleStart >= 0) {
        const std::int64_t length = m_end - m_cycleStart;
        const auto rounds = static_cast<double>((clock - m_cycleStart) / length);
        const double perRound =
            integralAt(static_cast<double>(m_end)) - integralAt(static_cast<double>(m_cycleStart));
        clocks = integralAt(static_cast<double>(folded(clock)) + frac) + rounds * perRound;
    } else {
        clocks = integralAt(static_cast<double>(m_end)) +
                 static_cast<double>(m_stopped.code) * (static_cast<double>(clock - m_end) + frac);
    }
    return clocks * static_cast<double>(period);
}

double AwgSequencer::meanCode() const {
    if (!m_running) return 0.0;
    if (m_cycleStart < 0) return m_stopped.code;
    const double span = static_cast<double>(m_end - m_cycleStart);
    return (integralAt(static_cast<double>(m_end)) - integralAt(static_cast<double>(m_cycleStart))) / span;
}

AwgSequencer::Position AwgSequencer::positionAt(std::int64_t clock) const {
    if (clock < m_start.headClocks) return {m_start.state, m_start.headClocks - clock, m_start.head};
    const std::int64_t c = folded(clock);
    if (c < m_start.headClocks) return {m_start.state, m_start.headClocks - c, m_start.head};
    if (c >= m_end) return {m_stoppedState, 0, m_stopped};
    auto it = std::upper_bound(m_checkpoints.begin(), m_checkpoints.end(), c,
                               [](std::int64_t v, const auto& cp) { return v < cp.first; });
    if (it != m_checkpoints.begin()) --it;
    AwgState s = it->second;
    std::int64_t at = it->first;
    // A step that starts at `clock` has not been fetched yet: it reads the memory as it is now.
    while (at < c) {
        const Step step = execute(s, at);
        if (step.clocks == 0) return {s, 0, step.out};
        if (at + step.clocks > c) return {s, at + step.clocks - c, step.out};
        at += step.clocks;
    }
    return {s, 0, AwgOutput{}};
}

} // namespace kx::sim
