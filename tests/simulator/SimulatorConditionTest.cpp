// SPDX-License-Identifier: GPL-3.0-or-later
// Runt, slew time, pulse numbers and video lines on the simulated instrument: the event each one
// triggers on, and what the information block reports for it.
#include "SimulatorDataFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

using namespace kxtest;

namespace {

constexpr std::size_t kPoints = 5000;
constexpr std::size_t kPre = kPoints / 2;
constexpr std::uint32_t kUnmeasured = 0xFFFFFFFFu;

// A1 source flags: auto, so a condition that is never met still returns a frame (not triggered).
constexpr std::uint8_t kA1Rising = 0x20;
constexpr std::uint8_t kA1Falling = 0x30;

struct Case {
    const char* name;
    std::uint8_t trigger; // trigger flags
    std::uint8_t mode;    // channel and trigger-mode flags
    std::uint8_t extra;   // additional-condition flags
    std::uint32_t lower;  // time limits in clocks
    std::uint32_t upper;
    std::uint16_t count;
    bool triggers;
    std::uint8_t status;    // information block offset 3
    std::uint32_t measured; // offset 22
    std::uint32_t counted;  // offset 17
};

class SimulatorConditions : public SimulatorData {
protected:
    void SetUp() override {
        SimulatorData::SetUp();
        ASSERT_EQ(d2xx().control("noise=off"), 0);
    }
    // The capture of one case: A1 (and the logic inputs when mask says so) at the given sample time.
    Frame capture(const Case& c, std::uint32_t decimation, std::uint8_t mask = 0x01) {
        Registers g = base(kPoints);
        g.set32(5, decimation);
        g.r[32] = mask;
        g.r[1] = c.trigger;
        g.r[2] = c.mode;
        g.r[3] = c.extra;
        g.set16(17, c.count);
        g.set32(22, c.lower);
        g.set32(26, c.upper);
        g.r[13] = m_lower;
        g.r[14] = m_upper;
        g.r[38] = m_gain;
        g.r[19] = m_levelMask;
        g.r[20] = m_levels;
        return frame(g, kPoints);
    }
    void expectReport(const Case& c, const Frame& f, double tolerance) {
        ASSERT_EQ(f.info.size(), 160u);
        EXPECT_EQ((f.info[0] & 0x04) == 0, c.triggers) << "trigger position valid";
        if (!c.triggers) {
            EXPECT_EQ(f.info[3], 0) << "nothing reported without an event";
            EXPECT_EQ(u16(f.info, 17), 0u);
            return;
        }
        EXPECT_EQ(f.info[3], c.status) << "condition status";
        EXPECT_EQ(u16(f.info, 17), c.counted) << "count";
        EXPECT_NEAR(u32(f.info, 22), c.measured, c.measured == kUnmeasured ? 0.0 : tolerance) << "time";
    }

    // Thresholds of A1 in 8-bit codes, A1 gain code, level condition registers.
    std::uint8_t m_lower = 80;
    std::uint8_t m_upper = 112;
    std::uint8_t m_gain = 14;
    std::uint8_t m_levelMask = 0;
    std::uint8_t m_levels = 0;
};

int maxOf(const std::vector<int>& v, std::size_t from, std::size_t to) {
    int m = -1;
    for (std::size_t i = from; i < to && i < v.size(); ++i) m = std::max(m, v[i]);
    return m;
}

// Rising edges of a logic trace in (from, to].
int risesIn(const std::vector<int>& v, std::size_t from, std::size_t to) {
    int n = 0;
    for (std::size_t i = from + 1; i <= to && i < v.size(); ++i)
        if (v[i - 1] == 0 && v[i] == 1) ++n;
    return n;
}

TEST_F(SimulatorConditions, RuntTriggersWhereTheRuntEnds) {
    // 10 kHz pulses of 2 V, every fourth only 1 V; 0 V at code 64, 32 codes per volt; thresholds
    // 80 and 112 (0.5 V, 1.5 V). The runt spends 50 us (10 000 clocks) above the lower threshold.
    ASSERT_EQ(d2xx().control("a1=runt:10000:2:1"), 0);
    const Case cases[] = {
        {"positive runt", kA1Rising, 0xE0, 0x01, 0, 0, 1, true, 0x01, 10000, 0},
        {"runt inside 45..55 us", kA1Rising, 0xF8, 0x01, 9000, 11000, 1, true, 0x01, 10000, 0},
        {"runt inside 10..20 us", kA1Rising, 0xF8, 0x01, 2000, 4000, 1, false, 0, 0, 0},
        {"runt outside 45..55 us", kA1Rising, 0xE8, 0x01, 9000, 11000, 1, false, 0, 0, 0},
        // Every pulse starts from 0 V: nothing falls from the top and turns back.
        {"negative runt", kA1Falling, 0xE0, 0x02, 0, 0, 1, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Frame f = capture(c, 20); // 100 ns per sample
        expectReport(c, f, 2.0);
        if (!c.triggers) continue;
        const auto& a1 = f.analog[0];
        ASSERT_EQ(a1.size(), kPoints);
        // The runt: between the thresholds up to the trigger point, below the lower one at it.
        EXPECT_GT(a1[kPre], 80);
        EXPECT_LT(a1[kPre], 112);
        EXPECT_LE(a1[kPre + 1], 80);
        const int runtTop = maxOf(a1, kPre - 495, kPre + 1);
        EXPECT_NEAR(runtTop, 96, 2);
        // The full pulse a period earlier, and the next one after it.
        EXPECT_NEAR(maxOf(a1, kPre - 1450, kPre - 1050), 128, 2);
        EXPECT_NEAR(maxOf(a1, kPre + 500, kPre + 1000), 128, 2);
    }
}

TEST_F(SimulatorConditions, SlewTimePicksTheSlowOrTheFastEdge) {
    // 20 kHz pulses of 2 V whose edges take 100 ns and 2 us in turn: 0.5 V .. 1.5 V is half of
    // each, 10 and 200 clocks.
    ASSERT_EQ(d2xx().control("a1=slew:20000:2:100:2000"), 0);
    const Case cases[] = {
        {"slow rising edge", kA1Rising, 0xD8, 0, 100, 300, 1, true, 0, 200, 0},
        {"fast rising edge", kA1Rising, 0xD8, 0, 5, 20, 1, true, 0, 10, 0},
        {"outside the fast edge", kA1Rising, 0xC8, 0, 5, 20, 1, true, 0, 200, 0},
        {"slow falling edge", kA1Falling, 0xD8, 0, 100, 300, 1, true, 0, 200, 0},
        {"no edge that slow", kA1Rising, 0xD8, 0, 300, 400, 1, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Frame f = capture(c, 1); // 5 ns per sample
        expectReport(c, f, 1.0);
        if (!c.triggers) continue;
        const auto& a1 = f.analog[0];
        ASSERT_EQ(a1.size(), kPoints);
        // The edge ends at the trigger point: half of it before lies between the thresholds.
        const bool falling = (c.trigger & 0x10) != 0;
        const std::size_t half = c.measured / 2;
        EXPECT_NEAR(a1[kPre - half], 96, 3);
        if (falling) {
            EXPECT_LT(a1[kPre + 1], 80);
        } else {
            EXPECT_GT(a1[kPre + 1], 112);
        }
        EXPECT_NEAR(a1[kPre - 2 * c.measured], falling ? 128 : 64, 2) << "the edge starts before";
    }
}

TEST_F(SimulatorConditions, PlainEdgeReportsItsSlewTime) {
    ASSERT_EQ(d2xx().control("a1=slew:20000:2:100:2000"), 0);
    // The slope class without T+: every edge triggers, the time between the thresholds is measured.
    const Case c{"plain edge", kA1Rising, 0xC0, 0, 0, 0, 1, true, 0, 0, 0};
    const Frame f = capture(c, 1);
    ASSERT_EQ(f.info[0] & 0x04, 0);
    const std::uint32_t t = u32(f.info, 22);
    EXPECT_TRUE((t >= 9 && t <= 11) || (t >= 199 && t <= 201)) << t;
}

TEST_F(SimulatorConditions, PulseNumberCountsFromAGap) {
    // Bursts of five 100 kHz pulses (5 us high) 1 ms apart: the gap before a burst is 1.005 ms
    // (201 000 clocks). Limits 100 us .. 2 ms pick it; 100 .. 200 us pick nothing.
    ASSERT_EQ(d2xx().control("d1=burst:5:100000:1; a1=burst:5:100000:1"), 0);
    const std::uint8_t d1 = 0x22;
    const Case cases[] = {
        {"third pulse on D1", d1, 0x98, 0x20, 20000, 400000, 3, true, 0x20, 201000, 3},
        {"first pulse on D1", d1, 0x98, 0x20, 20000, 400000, 1, true, 0x20, 201000, 1},
        {"third pulse on A1", kA1Rising, 0x98, 0x20, 20000, 400000, 3, true, 0x20, 201000, 3},
        {"sixth pulse of five", d1, 0x98, 0x20, 20000, 400000, 6, false, 0, 0, 0},
        {"no gap that long", d1, 0x98, 0x20, 20000, 40000, 3, false, 0, 0, 0},
        // Every short gap lies outside 100..200 us as well, so each pulse starts the count again.
        {"gaps outside", d1, 0x88, 0x20, 20000, 40000, 3, false, 0, 0, 0},
    };
    m_lower = 93;
    m_upper = 99;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Frame f = capture(c, 20, 0x05); // 100 ns per sample: A1, D1 and D2
        expectReport(c, f, 2.0);
        if (!c.triggers) continue;
        // The burst seen so far: the pulses before the trigger edge and nothing earlier.
        if ((c.trigger & 0x07) == 2) {
            const auto& v = f.digital[0];
            ASSERT_EQ(v.size(), kPoints);
            EXPECT_EQ(v[kPre], 0);
            EXPECT_EQ(v[kPre + 1], 1);
            EXPECT_EQ(risesIn(v, 0, kPre), static_cast<int>(c.count) - 1);
        } else {
            std::vector<int> above;
            for (const int code : f.analog[0]) above.push_back(code > 99 ? 1 : 0);
            EXPECT_EQ(above[kPre + 1], 1);
            EXPECT_EQ(risesIn(above, 0, kPre), static_cast<int>(c.count) - 1);
        }
    }
}

TEST_F(SimulatorConditions, PulseNumberCountsWhileTheLevelsHold) {
    // D2 a 10 kHz clock; D3 a 455 us pulse every 1.209 ms; En = D3 (or its inverse). Trigger on
    // the third rising edge of D2 since En came true. 200 ns per sample.
    ASSERT_EQ(d2xx().control("d3=burst:1:1100:0.3"), 0);
    const std::uint8_t d2 = 0x23;
    struct LevelCase {
        const char* name;
        std::uint8_t mask;
        std::uint8_t levels;
        bool triggers;
    };
    const LevelCase cases[] = {
        {"D3 = 1", 0x10, 0x10, true},
        {"D3 = 0", 0x10, 0x00, true},
        {"no level condition", 0x00, 0x00, false},
        {"only the trigger source", 0x08, 0x08, false},
    };
    for (const LevelCase& lc : cases) {
        SCOPED_TRACE(lc.name);
        m_levelMask = lc.mask;
        m_levels = lc.levels;
        // The time reported is the 50 us low pulse that the trigger edge ends.
        const Case c{lc.name, d2, 0x80, 0x60, 0, 0, 3, lc.triggers, 0x20, 10000, 3};
        const Frame f = capture(c, 40, 0x0D);
        expectReport(c, f, 0.0);
        if (!c.triggers) continue;
        const auto& clk = f.digital[1];
        const auto& en = f.digital[2];
        ASSERT_EQ(clk.size(), kPoints);
        ASSERT_EQ(en.size(), kPoints);
        const int want = lc.levels ? 1 : 0;
        EXPECT_EQ(clk[kPre], 0);
        EXPECT_EQ(clk[kPre + 1], 1);
        // Back to where En came true: it holds from there, and D2 rose three times since.
        std::size_t from = kPre + 1;
        while (from > 0 && en[from - 1] == want) --from;
        ASSERT_GT(from, 0u) << "En came true within the capture";
        EXPECT_EQ(risesIn(clk, from - 1, kPre + 1), 3);
    }
}

TEST_F(SimulatorConditions, VideoLineTriggersOnTheLineNumber) {
    // 200 mV/div with 0 V at code 64: sync tip at code 16, white at 176; the trigger level at
    // -0.15 V between sync and blanking, falling edges. Line n is flat at 0.7 V * n / lines.
    m_gain = 10;
    m_lower = 38;
    m_upper = 42;
    struct VideoCase {
        const char* bench;
        std::uint16_t line;
        std::uint8_t trigger;
        bool triggers;
        std::uint8_t standard; // frame status bits 3 and 4
        std::uint32_t reported;
        std::uint32_t period; // clocks
        double level;         // code of the line's picture
    };
    const VideoCase cases[] = {
        {"a1=video:pal", 100, kA1Falling, true, 0x08, 100, 12800, 64 + 160 * 0.7 * 100 / 625},
        {"a1=video:pal", 400, kA1Falling, true, 0x08, 400, 12800, 64 + 160 * 0.7 * 400 / 625},
        {"a1=video:ntsc", 600, kA1Falling, true, 0x10, 75, 12711, 64 + 160 * 0.7 * 75 / 525},
        {"a1=video:ntsc", 200, kA1Falling, true, 0x10, 200, 12711, 64 + 160 * 0.7 * 200 / 525},
        // Positive sync on a normal signal, and no video at all.
        {"a1=video:pal", 100, kA1Rising, false, 0x00, 0, 0, 0},
        {"a1=calibrator", 100, kA1Falling, false, 0x00, 0, 0, 0},
    };
    for (const VideoCase& v : cases) {
        SCOPED_TRACE(std::string(v.bench) + " line " + std::to_string(v.line));
        ASSERT_EQ(d2xx().control(v.bench), 0);
        const Case c{v.bench, v.trigger, 0xA0, 0x10, 0, 0, v.line, v.triggers, 0, v.period, v.reported};
        const Frame f = capture(c, 20); // 100 ns per sample, 64 us lines
        expectReport(c, f, 1.0);
        EXPECT_EQ(f.info[0] & 0x18, v.standard) << "standard detected";
        if (!c.triggers) continue;
        const auto& a1 = f.analog[0];
        ASSERT_EQ(a1.size(), kPoints);
        EXPECT_NEAR(a1[kPre], 64, 2) << "blanking before the sync";
        EXPECT_NEAR(a1[kPre + 1], 16, 2) << "sync tip at the trigger point";
        // The picture of the line: 12 .. 62 us after its sync.
        EXPECT_NEAR(a1[kPre + 120], v.level, 1.5);
        EXPECT_NEAR(a1[kPre + 600], v.level, 1.5);
    }
}

TEST_F(SimulatorConditions, VideoLineOneFollowsTheEqualisingPulses) {
    // PAL line 1 starts with the first broad pulse, after five equalising pulses half a line apart.
    m_gain = 10;
    m_lower = 38;
    m_upper = 42;
    ASSERT_EQ(d2xx().control("a1=video:pal"), 0);
    const Case c{"line 1", kA1Falling, 0xA0, 0x10, 0, 0, 1, true, 0, 12800, 1};
    const Frame f = capture(c, 20);
    expectReport(c, f, 1.0);
    const auto& a1 = f.analog[0];
    ASSERT_EQ(a1.size(), kPoints);
    // Sync pulses (below the threshold) in the 2.6 lines before: their count and widths.
    std::vector<int> widths;
    int run = 0;
    for (std::size_t i = kPre - 1660; i <= kPre; ++i) {
        if (a1[i] < 40) {
            ++run;
        } else if (run > 0) {
            widths.push_back(run);
            run = 0;
        }
    }
    ASSERT_EQ(widths.size(), 5u);
    for (const int w : widths) EXPECT_NEAR(w, 23, 2) << "2.35 us equalising pulse";
    // The broad pulse at the trigger point lasts 27.3 us.
    std::size_t broad = 0;
    while (a1[kPre + 1 + broad] < 40) ++broad;
    EXPECT_NEAR(static_cast<double>(broad), 273.0, 2.0);
}

TEST_F(SimulatorConditions, BenchSignalsRejectBadValues) {
    const char* bad[] = {"a1=runt:0:2:1",
                         "a1=runt:1000:2",
                         "a1=runt:1000:-1:1",
                         "a1=slew:1000:2:600000:1",
                         "a1=slew:1000:2:1:-5",
                         "a1=burst:0:1000:1",
                         "a1=burst:3:1000:-1",
                         "a1=video:secam",
                         "a2=video",
                         "d1=burst:3:1000",
                         "d1=runt:1000:2:1",
                         "d4=burst:2:1e9:1",
                         "d5=low",
                         "a1=burst:3:1000:1:2:3:4",
                         "a1=sine:1000:2:0:40:60:80"};
    for (const char* item : bad) EXPECT_EQ(d2xx().control(item), 1) << item;
    const char* good[] = {"a1=runt:1000:2:0.5",
                          "a2=slew:1e6:1:0:500",
                          "a1=burst:3:1000:0",
                          "a2=video:ntsc",
                          "d1=burst:8:9600:2",
                          "d2=high",
                          "d3=low",
                          "d4=default",
                          "a1=sine:1000:2:0:40:60", // a sine with harmonics: five fields
                          "a2=sum:1000:2:2000:0.02",
                          "bench=default"};
    for (const char* item : good) EXPECT_EQ(d2xx().control(item), 0) << item;
}

} // namespace
