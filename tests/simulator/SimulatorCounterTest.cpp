// SPDX-License-Identifier: GPL-3.0-or-later
// The hardware frequency counter of the simulated instrument as status packets carry it: each
// input in frequency and period mode, the time base, not-valid readings, overflow, reset, and
// the trigger path.
#include "SimulatorDataFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

using namespace kxtest;

namespace {

// Status byte 17 and the two counts, decoded from the wire.
struct Counter {
    int source = 0;
    bool period = false;
    bool timeInvalid = false;
    bool countInvalid = false;
    std::uint32_t edges = 0;
    std::uint32_t ticks = 0;

    double hertz() const { return (static_cast<double>(edges) - 1.0) * 200e6 / static_cast<double>(ticks); }
};

Counter decode(const std::vector<std::uint8_t>& status) {
    Counter c;
    const std::uint8_t state = status[17];
    c.source = state & 0x0F;
    c.period = (state & 0x10) != 0;
    c.timeInvalid = (state & 0x20) != 0;
    c.countInvalid = (state & 0x40) != 0;
    c.edges = u32(status, 18);
    c.ticks = u32(status, 22);
    return c;
}

constexpr std::uint32_t kFull = 0xFFFFFFFFu;

class SimulatorCounter : public SimulatorData {
protected:
    // Counter settings with the acquisition stopped, so only status packets flow.
    Registers counterOn(std::uint8_t reg) const {
        Registers g = base();
        g.r[33] = 0;
        g.r[48] = reg;
        g.set16(78, 0x8000); // reference oscillator at its nominal tuning
        return g;
    }
    // Sends g and returns the counter of the plain status packet `skip` packets after the first.
    Counter apply(Registers& g, int skip = 1) {
        m_host->sendSettings(g, ++m_seq);
        EXPECT_TRUE(m_host->waitStatus(3, 400).has_value()) << "acknowledgement";
        return next(skip);
    }
    Counter next(int skip = 0) {
        std::optional<Packet> p;
        for (int i = 0; i <= skip; ++i) p = m_host->waitStatus(0, 400);
        if (!p) {
            ADD_FAILURE() << "no status packet";
            return {};
        }
        return decode(p->body);
    }
    // Generator on A2: a sine of the given frequency, 2 V peak to peak around 0 V (A2 at 0.5 V/div
    // with its thresholds at mid-scale).
    void sine(Registers& g, double hertz) const {
        g.r[112] = 0;
        g.r[113] = 0;
        const auto word = static_cast<std::uint64_t>(std::llround(hertz * 281474976710656.0 / 400e6));
        for (int i = 0; i < 6; ++i)
            g.r[114 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(word >> (8 * i));
        g.set16(126, 2000);
        g.set16(76, static_cast<std::uint32_t>(offsetCode(-1.0)));
    }
};

TEST_F(SimulatorCounter, FrequencyModeMeasuresEachInput) {
    struct Case {
        std::uint8_t reg;
        double hertz;
        bool generator;
    };
    const Case cases[] = {
        {1, 1000.0, false},  // A1: the calibrator
        {2, 1000.0, true},   // A2: the generator's 1 kHz sine
        {4, 10000.0, false}, // D2
        {5, 5000.0, false},  // D3
        {6, 1000.0, false},  // D4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.reg));
        Registers g = counterOn(c.reg);
        if (c.generator) sine(g, c.hertz);
        const Counter k = apply(g, 2);
        EXPECT_EQ(k.source, c.reg);
        EXPECT_FALSE(k.period);
        ASSERT_FALSE(k.timeInvalid);
        ASSERT_FALSE(k.countInvalid);
        ASSERT_GT(k.ticks, 0u);
        // Within a part per million of the input, over a gate long enough for that resolution.
        EXPECT_NEAR(k.hertz(), c.hertz, c.hertz * 1e-6);
        EXPECT_GT(k.ticks, 10'000'000u);
    }
}

TEST_F(SimulatorCounter, LogicInputOnTheGeneratorsSine) {
    // The sine crosses the logic threshold (0 V) with a bounded slope: slow ones are counted too.
    ASSERT_EQ(d2xx().control("d1=generator"), 0);
    for (const double hertz : {1000.0, 20.0}) {
        SCOPED_TRACE(hertz);
        Registers g = counterOn(3);
        g.set16(72, 0);
        sine(g, hertz);
        const Counter k = apply(g, 2);
        ASSERT_FALSE(k.timeInvalid);
        ASSERT_FALSE(k.countInvalid);
        ASSERT_GT(k.ticks, 0u);
        EXPECT_NEAR(k.hertz(), hertz, hertz * 1e-6);
    }
}

TEST_F(SimulatorCounter, TimeBaseFollowsTheReferenceOscillator) {
    auto measure = [&](std::uint32_t tuning) {
        Registers g = counterOn(4);
        g.set16(78, tuning);
        return apply(g, 2).hertz();
    };
    const double slow = measure(0x4000);
    const double fast = measure(0xC000);
    // A slow time base counts fewer ticks in the same gate: the input reads high.
    EXPECT_GT(slow, fast);
    const double ppm = (slow - fast) / 10000.0 * 1e6;
    EXPECT_GT(ppm, 20.0);
    EXPECT_LT(ppm, 40.0);
}

TEST_F(SimulatorCounter, PeriodModeTimesOnePeriodAndCountsEdges) {
    struct Case {
        std::uint8_t reg;
        std::uint32_t ticks; // one period in 5 ns ticks
        double rate;         // edges per second
    };
    const Case cases[] = {
        {0x11, 200000, 1000.0}, // A1
        {0x14, 20000, 10000.0}, // D2
        {0x15, 40000, 5000.0},  // D3
        {0x16, 200000, 1000.0}, // D4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.reg));
        Registers g = counterOn(c.reg);
        const Counter first = apply(g, 2);
        EXPECT_TRUE(first.period);
        EXPECT_EQ(first.source, c.reg & 0x0F);
        ASSERT_FALSE(first.timeInvalid);
        ASSERT_FALSE(first.countInvalid);
        EXPECT_NEAR(first.ticks, c.ticks, 1.0);
        // Status packets come every 100 ms: the count grows by a tenth of a second of edges.
        const Counter later = next(4);
        const double perPacket = (static_cast<double>(later.edges) - first.edges) / 5.0;
        EXPECT_NEAR(perPacket, c.rate * 0.1, c.rate * 0.01);
        EXPECT_NEAR(later.ticks, c.ticks, 1.0);
    }
}

TEST_F(SimulatorCounter, InputsWithoutEdgesReadNotValid) {
    struct Case {
        const char* bench;
        std::uint8_t reg;
        int a1Lower; // A1 thresholds; the calibrator spans codes 64..128
        int a1Upper;
        bool timeInvalid;
        bool countInvalid;
    };
    const Case cases[] = {
        {"a1=ground", 0x01, 93, 99, true, true},       // frequency: no reading at all
        {"a1=ground", 0x11, 93, 99, true, false},      // period: no period, and no edges counted
        {"a1=calibrator", 0x01, 200, 210, true, true}, // thresholds above the signal
        {"a1=calibrator", 0x00, 93, 99, true, true},   // counter off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.bench) + " reg " + std::to_string(c.reg));
        ASSERT_EQ(d2xx().control(c.bench), 0);
        Registers g = counterOn(c.reg);
        g.r[13] = static_cast<std::uint8_t>(c.a1Lower);
        g.r[14] = static_cast<std::uint8_t>(c.a1Upper);
        const Counter k = apply(g, 2);
        EXPECT_EQ(k.timeInvalid, c.timeInvalid);
        EXPECT_EQ(k.countInvalid, c.countInvalid);
        if (!c.countInvalid) {
            EXPECT_EQ(k.edges, 0u);
        }
    }
}

TEST_F(SimulatorCounter, ResetFlagRestartsTheCountOnce) {
    Registers g = counterOn(0x14); // D2, period mode
    apply(g, 0);
    const Counter before = next(5);
    ASSERT_GT(before.edges, 4000u);

    // Other settings leave the count running.
    g.set32(5, 800);
    const Counter kept = apply(g, 0);
    EXPECT_GT(kept.edges, before.edges);

    g.r[48] = 0x94;
    const Counter restarted = apply(g, 0);
    EXPECT_LT(restarted.edges, 2000u);
    EXPECT_LT(restarted.edges, kept.edges);
    // The next frame no longer carries the flag: counting goes on from the restart and is
    // not restarted again. (How many packets pass meanwhile depends on the machine's pace.)
    g.r[48] = 0x14;
    Counter after = apply(g, 0);
    EXPECT_GT(after.edges, restarted.edges);
    for (int i = 0; i < 3; ++i) {
        const Counter later = next();
        EXPECT_GT(later.edges, after.edges);
        after = later;
    }
}

TEST_F(SimulatorCounter, PeriodLongerThanTheTickRangeOverflows) {
    // 0.04 Hz: a period of 25 s, beyond 2^32 ticks of 5 ns (21.5 s).
    Registers g = counterOn(0x12);
    sine(g, 0.04);
    Counter k = apply(g, 0);
    bool overflowed = false;
    for (int i = 0; i < 600 && !overflowed; ++i) {
        k = next();
        ASSERT_FALSE(k.countInvalid);
        overflowed = !k.timeInvalid && k.ticks == kFull;
        if (!overflowed) {
            EXPECT_TRUE(k.timeInvalid) << "no whole period yet, packet " << i;
        }
    }
    EXPECT_TRUE(overflowed);
    EXPECT_EQ(k.edges, 1u) << "the period in progress overflows before it ends";
}

TEST_F(SimulatorCounter, EdgeCountSaturatesAtItsLimit) {
    // 50 MHz on A2: 2^32 edges in about 86 s.
    Registers g = counterOn(0x12);
    sine(g, 50e6);
    Counter k = apply(g, 0);
    ASSERT_FALSE(k.timeInvalid);
    EXPECT_EQ(k.ticks, 4u);
    std::uint32_t last = k.edges;
    int atLimit = 0;
    for (int i = 0; i < 1000 && atLimit < 3; ++i) {
        k = next();
        ASSERT_GE(k.edges, last);
        last = k.edges;
        if (k.edges == kFull) ++atLimit;
    }
    EXPECT_EQ(atLimit, 3) << "the count stays at 0xFFFFFFFF";
}

TEST_F(SimulatorCounter, TriggerPathCountsTheEventsOfTheCondition) {
    struct Case {
        std::uint8_t trigger; // trigger flags: source and edge
        std::uint8_t mode;    // channel and trigger-mode flags
        bool valid;
        double hertz;
    };
    // D4 is high for 100 us of every 1 ms; D2 for 50 us of every 100 us. Limits 90..110 us.
    const Case cases[] = {
        {0x15, 0x80, true, 1000.0},  // D4 falling edges, no condition
        {0x15, 0x98, true, 1000.0},  // D4 falling edges ending a 100 us pulse
        {0x13, 0x98, false, 0.0},    // D2's 50 us pulses never qualify
        {0x13, 0x88, true, 10000.0}, // ... but every one lies outside the limits
        {0x05, 0x98, false, 0.0},    // D4 rising edges end 900 us low pulses
        {0x03, 0xB8, true, 10000.0}, // D2 period of 100 us, inside
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.trigger) + " / " + std::to_string(c.mode));
        Registers g = counterOn(static_cast<std::uint8_t>(7 + (c.trigger & 0x07)));
        g.r[1] = c.trigger;
        g.r[2] = c.mode;
        g.set32(22, 18000);
        g.set32(26, 22000);
        const Counter k = apply(g, 2);
        EXPECT_EQ(k.source, 7 + (c.trigger & 0x07));
        EXPECT_EQ(k.timeInvalid, !c.valid);
        EXPECT_EQ(k.countInvalid, !c.valid);
        if (c.valid) {
            EXPECT_NEAR(k.hertz(), c.hertz, c.hertz * 1e-6);
        }
    }
}

} // namespace
