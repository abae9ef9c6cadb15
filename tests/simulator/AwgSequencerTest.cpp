// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated instrument's AWG sequencer: what each instruction does to the output, in AWG clocks.
#include "AwgSequencer.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace {

using kx::sim::AwgOutput;
using kx::sim::AwgProgram;
using kx::sim::AwgSequencer;
using kx::sim::AwgTiming;
using kx::sim::kForever;
using kx::sim::Picoseconds;

enum Op : unsigned {
    OUT,
    DIFF,
    STOP,
    LOOP,
    DELAY,
    REPEAT,
    ENDREP,
    RET,
    CALL,
    JMP,
    WAIT,
    LOADN,
    OUTN,
    DIFFN,
    OUTAUX
};

constexpr Picoseconds kClock = 5000;

// Words as the compiler lays them out: opcode << 12, operand in 12 bits (negative + 4096).
AwgProgram program(std::initializer_list<std::pair<Op, int>> code) {
    AwgProgram p{};
    std::size_t i = 0;
    for (const auto& [op, operand] : code)
        p[i++] = static_cast<std::uint16_t>((op << 12) | ((operand < 0 ? operand + 4096 : operand) & 0xFFF));
    return p;
}

AwgTiming timing(std::uint16_t mark = kx::sim::kAwgNoMark) {
    AwgTiming t;
    t.clockPs = kClock;
    t.markAddress = mark;
    return t;
}

// Output codes in the first n clocks after RUN at t = 0.
std::vector<int> codes(const AwgSequencer& s, int n) {
    std::vector<int> out;
    for (int i = 0; i < n; ++i) out.push_back(s.at(i * kClock + kClock / 2).code);
    return out;
}

struct Case {
    const char* what;
    AwgProgram program;
    std::vector<int> expected;
};

TEST(AwgSequencer, InstructionsShapeTheOutputClockByClock) {
    const std::vector<Case> cases = {
        {"OUT sets, DIFF adds, JMP takes no clock",
         program({{OUT, 100}, {DIFF, 50}, {DIFF, -30}, {JMP, 0}}),
         {100, 150, 120, 100, 150, 120, 100}},
        {"the code register wraps at 12 bits",
         program({{OUT, 4095}, {DIFF, 1}, {DIFF, -1}, {DIFF, 4095}, {STOP, 7}}),
         {4095, 0, 4095, 4094, 7, 7}},
        {"DELAY holds the output", program({{OUT, 7}, {DELAY, 3}, {OUT, 9}, {STOP, 9}}), {7, 7, 7, 7, 9, 9}},
        {"DELAY 0 holds one clock", program({{OUT, 7}, {DELAY, 0}, {OUT, 9}, {STOP, 9}}), {7, 7, 9, 9}},
        {"STOP outputs its operand for good", program({{OUT, 1}, {STOP, 42}, {OUT, 5}}), {1, 42, 42, 42, 42}},
        {"LOOP restarts from address 0 n times",
         program({{OUT, 1}, {OUT, 2}, {LOOP, 2}, {STOP, 9}}),
         {1, 2, 1, 2, 1, 2, 9, 9}},
        {"REPEAT n runs its block n times, ENDREP adds",
         program({{OUT, 0}, {REPEAT, 3}, {ENDREP, 10}, {STOP, 99}}),
         {0, 10, 20, 30, 99, 99}},
        {"REPEAT 0 repeats for ever",
         program({{OUT, 0}, {REPEAT, 0}, {DIFF, 1}, {ENDREP, -1}}),
         {0, 1, 0, 1, 0, 1, 0}},
        {"nested REPEAT",
         program({{OUT, 0}, {REPEAT, 2}, {REPEAT, 2}, {ENDREP, 1}, {ENDREP, 100}, {STOP, 5}}),
         {0, 1, 2, 102, 103, 104, 204, 5}},
        {"CALL and RET, which adds",
         program({{CALL, 4}, {OUT, 7}, {STOP, 8}, {OUT, 0}, {OUT, 1}, {RET, 2}}),
         {1, 3, 7, 8, 8}},
        {"RET without a call goes on", program({{OUT, 1}, {RET, 5}, {STOP, 0}}), {1, 6, 0}},
        {"LOADN sets the clocks of OUTN and DIFFN",
         program({{LOADN, 3}, {OUTN, 10}, {DIFFN, 5}, {OUT, 1}, {STOP, 0}}),
         {10, 10, 10, 15, 15, 15, 1, 0}},
        {"OUTN and DIFFN without LOADN take one clock",
         program({{OUTN, 10}, {DIFFN, 5}, {STOP, 0}}),
         {10, 15, 0}},
        {"a loop that never reaches an output holds it", program({{OUT, 33}, {JMP, 1}}), {33, 33, 33}},
        {"the program wraps after address 2047", program({{OUT, 5}}), {5, 0, 0}},
    };
    for (const Case& c : cases) {
        AwgSequencer s;
        s.run(c.program, timing(), 0);
        EXPECT_EQ(codes(s, static_cast<int>(c.expected.size())), c.expected) << c.what;
    }
}

TEST(AwgSequencer, ProgramWrapsRoundTheMemory) {
    // Empty words are OUT 0: after its last word the program comes round to address 0 again.
    AwgSequencer s;
    s.run(program({{OUT, 5}}), timing(), 0);
    EXPECT_EQ(s.at(0).code, 5);
    EXPECT_EQ(s.at(2047 * kClock).code, 0);
    EXPECT_EQ(s.at(2048 * kClock).code, 5);
    EXPECT_EQ(s.at(100 * 2048 * kClock).code, 5);
    EXPECT_EQ(s.cycleClocks(), 2048);
}

TEST(AwgSequencer, OutAuxSetsTheAuxBitWithoutAClock) {
    AwgSequencer s;
    s.run(program({{OUT, 1}, {OUTAUX, 1}, {OUT, 2}, {OUTAUX, 0}, {OUT, 3}, {STOP, 3}}), timing(), 0);
    EXPECT_FALSE(s.at(0).aux);
    EXPECT_EQ(s.at(kClock).code, 2);
    EXPECT_TRUE(s.at(kClock).aux);
    EXPECT_FALSE(s.at(2 * kClock).aux);
}

TEST(AwgSequencer, MarkCoversTheStepOfTheMarkedAddress) {
    // Address 3 is a jump: its passage marks the step that follows it.
    const AwgProgram p = program({{OUT, 1}, {OUT, 2}, {OUT, 3}, {JMP, 0}});
    for (const auto& [address, clocks] :
         std::vector<std::pair<std::uint16_t, std::vector<int>>>{{1, {1, 4, 7}}, {3, {3, 6, 9}}}) {
        AwgSequencer s;
        s.run(p, timing(address), 0);
        std::vector<int> marked;
        for (int i = 0; i < 10; ++i)
            if (s.at(i * kClock).mark) marked.push_back(i);
        EXPECT_EQ(marked, clocks) << "mark at " << address;
    }
    AwgSequencer off;
    off.run(p, timing(), 0);
    for (int i = 0; i < 10; ++i) EXPECT_FALSE(off.at(i * kClock).mark);
}

TEST(AwgSequencer, WaitWaitsForThePulseGenerator) {
    AwgTiming t = timing();
    // Pulse generator: high for 2 clocks out of 8, from clock 5 on.
    t.pulse = {8 * kClock, 2 * kClock, 5 * kClock};
    AwgSequencer s;
    s.run(program({{OUT, 1}, {WAIT, 1}, {OUT, 2}, {WAIT, 0}, {OUT, 3}, {JMP, 0}}), t, 0);
    // Clock 1: WAIT 1 holds 1 until the pulse is high at clock 5; OUT 2 there; WAIT 0 holds 2 through
    // the high clocks 5 and 6; OUT 3 at clock 7; OUT 1 at 8; WAIT 1 until 13.
    EXPECT_EQ(codes(s, 16), (std::vector<int>{1, 1, 1, 1, 1, 2, 2, 3, 1, 1, 1, 1, 1, 2, 2, 3}));

    // No pulse generator: WAIT 0 passes at once, WAIT 1 holds for good.
    AwgSequencer idle;
    idle.run(program({{OUT, 1}, {WAIT, 0}, {OUT, 2}, {WAIT, 1}, {OUT, 3}}), timing(), 0);
    EXPECT_EQ(codes(idle, 5), (std::vector<int>{1, 2, 2, 2, 2}));
    EXPECT_EQ(idle.nextChange(3 * kClock), kForever);
}

TEST(AwgSequencer, RunRestartsAndClockPeriodScalesTime) {
    AwgTiming t = timing();
    t.clockPs = 7 * kClock; // N = 7
    AwgSequencer s;
    EXPECT_FALSE(s.running());
    EXPECT_EQ(s.at(123).code, 0);
    const AwgProgram p = program({{OUT, 10}, {OUT, 20}, {STOP, 30}});
    s.run(p, t, 1'000'000);
    EXPECT_EQ(s.at(999'999).code, 0); // before RUN
    EXPECT_EQ(s.at(1'000'000).code, 10);
    EXPECT_EQ(s.at(1'000'000 + 7 * kClock - 1).code, 10);
    EXPECT_EQ(s.at(1'000'000 + 7 * kClock).code, 20);
    EXPECT_EQ(s.nextChange(1'000'000), 1'000'000 + 7 * kClock);
    // A second RUN starts from address 0 again.
    s.run(p, t, 5'000'000);
    EXPECT_EQ(s.at(5'000'000).code, 10);
}

TEST(AwgSequencer, UploadWhileRunningGoesOnWhereTheRunStands) {
    AwgSequencer s;
    s.run(program({{OUT, 1}, {OUT, 2}, {OUT, 3}, {OUT, 4}, {JMP, 0}}), timing(), 0);
    // At clock 10 the run is about to fetch address 2 (steps 1 2 3 4 1 2 3 4 1 2 | ...): from
    // there the new words come out.
    s.update(program({{OUT, 10}, {OUT, 20}, {OUT, 30}, {OUT, 40}, {JMP, 0}}), timing(), 10 * kClock);
    EXPECT_EQ(s.at(9 * kClock).code, 2);
    std::vector<int> after;
    for (int i = 10; i < 16; ++i) after.push_back(s.at(i * kClock).code);
    EXPECT_EQ(after, (std::vector<int>{30, 40, 10, 20, 30, 40}));
}

TEST(AwgSequencer, CodeIntegralAndMeanFollowTheCycle) {
    AwgSequencer s;
    s.run(program({{OUT, 100}, {OUT, 300}, {DELAY, 2}, {JMP, 0}}), timing(), 0);
    // 100 for one clock, 300 for three: mean 250, integral per round 1000 clock codes.
    EXPECT_DOUBLE_EQ(s.meanCode(), 250.0);
    EXPECT_EQ(s.cycleClocks(), 4);
    const double perClock = static_cast<double>(kClock);
    EXPECT_DOUBLE_EQ(s.codeIntegral(4 * kClock), 1000.0 * perClock);
    EXPECT_DOUBLE_EQ(s.codeIntegral(4000 * kClock + kClock / 2), (1000.0 * 1000 + 50.0) * perClock);
}

TEST(AwgSequencer, RunawayProgramsEndInBoundedWork) {
    // 4095 x 4095 inner steps before the state comes round: the built part repeats instead.
    AwgSequencer s;
    s.run(program({{REPEAT, 4095}, {REPEAT, 4095}, {DIFF, 1}, {ENDREP, 0}, {ENDREP, 0}}), timing(), 0);
    EXPECT_GT(s.cycleClocks(), 0);
    EXPECT_EQ(s.at(3 * kClock).code, 2); // DIFF, ENDREP, DIFF: 1, 1, 2
}

} // namespace
