// SPDX-License-Identifier: GPL-3.0-or-later
// Additional trigger conditions of the simulated instrument: pulse width and period inside or
// outside the time limits, and the measured time the information block returns.
#include "SimulatorDataFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace kxtest;

namespace {

constexpr std::uint32_t kUnmeasured = 0xFFFFFFFFu;
constexpr std::size_t kPoints = 5000;
constexpr std::size_t kPre = kPoints / 2;

struct ConditionCase {
    const char* name;
    std::uint8_t trigger; // trigger flags: source, edge, auto
    std::uint8_t mode;    // channel and trigger-mode flags
    std::uint32_t lower;  // time limits in 5 ns clocks
    std::uint32_t upper;
    bool triggers;
    std::uint32_t measured; // information block offset 22, in clocks
};

class SimulatorTrigger : public SimulatorData {
protected:
    // 100 ns per sample: 250 us before and after the trigger; A1 and all digital inputs.
    Frame capture(const ConditionCase& c) {
        Registers g = base(kPoints);
        g.set32(5, 20);
        g.r[32] = 0x0D;
        g.r[1] = c.trigger;
        g.r[2] = c.mode;
        g.set32(22, c.lower);
        g.set32(26, c.upper);
        return frame(g, kPoints);
    }
};

// Levels of a digital input just before and at the trigger slot.
void expectEdgeAtTrigger(const Frame& f, int channel, bool falling) {
    const auto& d = f.digital[channel];
    ASSERT_GT(d.size(), kPre + 1);
    EXPECT_EQ(d[kPre], falling ? 1 : 0);
    EXPECT_EQ(d[kPre + 1], falling ? 0 : 1);
}

TEST_F(SimulatorTrigger, PulseWidthAndPeriodConditionsPickTheirEdges) {
    // D2 10 kHz 50 %, D3 5 kHz 50 %, D4 1 kHz with 100 us high; the calibrator 1 kHz 50 %.
    // Limits of 90..110 us are 18000..22000 clocks. Auto (0x20) gives untriggered frames.
    const ConditionCase cases[] = {
        {"D4 pulse inside", 0x15, 0x98, 18000, 22000, true, 20000},
        {"D4 low pulse inside", 0x25, 0x98, 18000, 22000, false, kUnmeasured},
        {"D2 pulse inside", 0x33, 0x98, 18000, 22000, false, kUnmeasured},
        {"D2 pulse outside", 0x13, 0x88, 18000, 22000, true, 10000},
        {"D4 pulse outside", 0x35, 0x88, 18000, 22000, false, kUnmeasured},
        {"D4 low pulse outside", 0x05, 0x88, 18000, 22000, true, 180000},
        {"D2 period inside", 0x03, 0xB8, 18000, 22000, true, 20000},
        {"D3 period inside", 0x24, 0xB8, 18000, 22000, false, kUnmeasured},
        {"D4 period outside", 0x05, 0xA8, 18000, 22000, true, 200000},
        {"A1 pulse inside", 0x10, 0x98, 95000, 105000, true, 100000},
        // Without a time condition the pulse or period ending at the edge is still measured.
        {"D4 falling edge", 0x15, 0x80, 0, 0, true, 20000},
        {"D4 rising edge", 0x05, 0x80, 0, 0, true, 180000},
        {"D4 rising edge, period", 0x05, 0xA0, 0, 0, true, 200000},
        // The runt class without its condition flags (T+ off) is a plain edge with nothing measured.
        {"runt class alone", 0x15, 0xE8, 18000, 22000, true, kUnmeasured},
    };
    for (const ConditionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Frame f = capture(c);
        ASSERT_EQ(f.info.size(), 160u);
        EXPECT_EQ((f.info[0] & 0x04) == 0, c.triggers) << "trigger position valid";
        if (!c.triggers) continue;
        const int source = c.trigger & 0x07;
        // Analog edges cross the thresholds on the ringing slope: allow a clock or two.
        EXPECT_NEAR(u32(f.info, 22), c.measured, source < 2 && c.measured != kUnmeasured ? 2.0 : 0.0);
        EXPECT_EQ(f.info[3], 0) << "condition status";
        EXPECT_EQ(u32(f.info, 26), c.upper) << "upper limit echoed";
        if (source >= 2) expectEdgeAtTrigger(f, source - 2, (c.trigger & 0x10) != 0);
    }
}

TEST_F(SimulatorTrigger, QualifiedPulseLiesBeforeTheTriggerPoint) {
    // D4 falling edge after 90..110 us high: the whole pulse shows before the trigger.
    const ConditionCase c{"D4 pulse", 0x15, 0x98, 18000, 22000, true, 20000};
    const Frame f = capture(c);
    const auto& d4 = f.digital[3];
    ASSERT_EQ(d4.size(), kPoints);
    std::size_t high = 0;
    for (std::size_t i = kPre + 1; i-- > 0 && d4[i] == 1;) ++high;
    EXPECT_NEAR(static_cast<double>(high), 1000.0, 1.0) << "100 us at 100 ns per sample";
    // Low for the rest of the pre-trigger part: no earlier pulse of D4 in view.
    for (std::size_t i = 0; i + high <= kPre; ++i) ASSERT_EQ(d4[i], 0) << i;
}

TEST_F(SimulatorTrigger, UnmetConditionGivesNoFrameWithoutAuto) {
    Registers g = base(kPoints);
    g.set32(5, 20);
    g.r[1] = 0x13; // D2 falling, normal trigger
    g.r[2] = 0x98; // pulse width inside
    g.set32(22, 18000);
    g.set32(26, 22000);
    m_host->sendSettings(g, ++m_seq);
    ASSERT_TRUE(m_host->waitStatus(3, 400, kPoints).has_value());
    int data = 0;
    for (int i = 0; i < 30; ++i) {
        const auto p = m_host->nextPacket(kPoints);
        ASSERT_TRUE(p.has_value());
        if (p->header != 0x5A && p->crcOk && p->body[p->body.size() - 160 + 35] == m_seq) ++data;
    }
    EXPECT_EQ(data, 0);
}

} // namespace
