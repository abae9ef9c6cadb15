// SPDX-License-Identifier: GPL-3.0-or-later
// Data packets of the simulated instrument: sizes per channel mask, the information block, what
// the bench puts on each input, trigger, sampling modes and pacing of frames.
#include "SimulatorDataFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

using namespace kxtest;

namespace {

struct MaskCase {
    unsigned mask;
    std::size_t points;
    std::size_t sizeA;
    std::size_t sizeB;
};

TEST_F(SimulatorData, BlockSizesFollowTheChannelMask) {
    const MaskCase cases[] = {
        {0x01, 5000, 5000, 0},  // A1
        {0x03, 5000, 10000, 0}, // A1, A2
        {0x05, 5000, 6250, 0},  // A1, D1/D2
        {0x0F, 2000, 5000, 0},  // everything
        {0x0C, 2000, 1000, 0},  // digital only
        {0x1D, 625, 625, 2500}, // fast digital: block B
        {0x21, 5000, 20000, 0}, // equivalent time, four sub-records
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.mask);
        Registers g = base(c.points);
        g.r[32] = static_cast<std::uint8_t>(c.mask);
        if (c.mask & 0x10) g.r[4] = 0x01;
        if (c.mask & 0x20) g.r[4] = 0x02;
        if (c.mask & 0x30) g.set32(5, 1);
        const Frame f = frame(g, c.points);
        EXPECT_EQ(f.header, c.mask);
        EXPECT_EQ(f.sizeA, c.sizeA);
        EXPECT_EQ(f.sizeB, c.sizeB);
        ASSERT_EQ(f.info.size(), 160u);
        EXPECT_EQ(f.info[46], 0x23) << "device type";
        EXPECT_EQ(f.info[32], c.mask) << "registers echoed";
        EXPECT_EQ(f.info[38], 14);
        EXPECT_EQ(f.info[64], 0x10);
        EXPECT_EQ(u16(f.info, 9) + u16(f.info, 11), c.points);
    }
}

TEST_F(SimulatorData, CalibratorOnA1TriggersAtTheProgrammedLevel) {
    Registers g = base();
    const Frame f = frame(g, 5000);
    ASSERT_EQ(f.analog[0].size(), 5000u);
    EXPECT_EQ(f.info[0] & 0x04, 0) << "trigger found";
    EXPECT_EQ(f.info[0] & 0x20, 0) << "not overdriven";
    int low = 0, high = 0;
    for (int v : f.analog[0]) {
        if (std::abs(v - 64) <= 2) ++low;
        if (std::abs(v - 128) <= 3) ++high;
    }
    // 0 V and 2 V at 32 codes per volt; edges and ringing take a few samples.
    EXPECT_GT(low, 2300);
    EXPECT_GT(high, 2300);
    const int near = f.analog[0][2500], far = f.analog[0][2501];
    EXPECT_LE(near, 99 + 2);
    EXPECT_GT(far, 99 - 2);
    EXPECT_EQ(f.info[44], near);
    EXPECT_EQ(f.info[45], far);
    // Falling edge at the lower threshold.
    g.r[1] = 0x30;
    const Frame d = frame(g, 5000);
    EXPECT_GE(d.analog[0][2500], 93 - 2);
    EXPECT_LT(d.analog[0][2501], 93 + 2);
}

TEST_F(SimulatorData, GeneratorOnA2FollowsItsRegisters) {
    Registers g = base();
    g.r[32] = 0x03;
    g.r[2] = 0x82;
    // 1 kHz sine, 2 V peak to peak, lowest level -1 V: +-1 V around 0, 64 codes per volt at 0.5 V/div.
    g.r[112] = 0;
    g.r[113] = 0;
    const double word = 1000.0 * 281474976710656.0 / 400e6;
    const auto w = static_cast<std::uint64_t>(std::llround(word));
    for (int i = 0; i < 6; ++i)
        g.r[114 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(w >> (8 * i));
    g.set16(126, 2000);
    g.set16(76, static_cast<std::uint32_t>(offsetCode(-1.0)));
    const Frame f = frame(g, 5000);
    const auto [lo, hi] = std::minmax_element(f.analog[1].begin(), f.analog[1].end());
    EXPECT_NEAR(*lo, 64, 2);
    EXPECT_NEAR(*hi, 192, 2);
    int crossings = 0;
    for (std::size_t i = 1; i < f.analog[1].size(); ++i)
        if (f.analog[1][i - 1] < 128 && f.analog[1][i] >= 128) ++crossings;
    EXPECT_NEAR(crossings, 10, 2) << "ten periods in 10 ms";

    // Generator off: A2 rests at its zero line.
    g.r[113] = 45;
    g.set16(126, 0);
    g.set16(76, static_cast<std::uint32_t>(offsetCode(0.0)));
    const Frame off = frame(g, 5000);
    const auto [olo, ohi] = std::minmax_element(off.analog[1].begin(), off.analog[1].end());
    EXPECT_GE(*olo, 126);
    EXPECT_LE(*ohi, 130);
}

TEST_F(SimulatorData, DigitalInputsCarryTheBenchSignals) {
    Registers g = base(20000);
    g.r[32] = 0x0D;  // A1, D1/D2, D3/D4
    g.set32(5, 600); // 3 us per sample: 60 ms, long enough for a whole line of text
    const Frame f = frame(g, 20000);
    ASSERT_EQ(f.digital[1].size(), 20000u);
    auto edges = [](const std::vector<int>& v) {
        int n = 0;
        for (std::size_t i = 1; i < v.size(); ++i)
            if (v[i - 1] == 0 && v[i] == 1) ++n;
        return n;
    };
    // 60 ms of record: 600 periods of 10 kHz, 300 of D3, 60 of the 1 kHz pulse.
    EXPECT_NEAR(edges(f.digital[1]), 600, 2);
    EXPECT_NEAR(edges(f.digital[2]), 300, 2);
    EXPECT_NEAR(edges(f.digital[3]), 60, 1);
    const auto high = std::count(f.digital[3].begin(), f.digital[3].end(), 1);
    EXPECT_NEAR(static_cast<double>(high) / 20000.0, 0.10, 0.01);
    // D3 changes only where D2 rises.
    for (std::size_t i = 1; i < 20000; ++i)
        if (f.digital[2][i] != f.digital[2][i - 1]) {
            ASSERT_TRUE(f.digital[1][i] == 1 && f.digital[1][i - 1] == 0) << i;
        }
    // D1: 9600 baud 8N1.
    std::string text;
    const std::vector<int>& d1 = f.digital[0];
    const double bit = 1e6 / 9600.0 / 3.0;
    for (std::size_t i = 1; i + static_cast<std::size_t>(10 * bit) < d1.size();) {
        if (d1[i - 1] == 1 && d1[i] == 0) {
            int c = 0;
            for (int b = 0; b < 8; ++b) c |= d1[i + static_cast<std::size_t>((1.5 + b) * bit)] << b;
            text.push_back(static_cast<char>(c));
            i += static_cast<std::size_t>(9.5 * bit);
        } else {
            ++i;
        }
    }
    EXPECT_NE(text.find("Hello from KX48zz\r\n"), std::string::npos) << text;
}

TEST_F(SimulatorData, PeakDetectAndHighResolutionGivePairs) {
    Registers g = base();
    g.r[1] = 0xA0; // peak detect
    const Frame p = frame(g, 5000);
    int spans = 0;
    for (std::size_t i = 0; i + 1 < p.analog[0].size(); i += 2) {
        ASSERT_LE(p.analog[0][i], p.analog[0][i + 1]);
        if (p.analog[0][i] < 70 && p.analog[0][i + 1] > 120) ++spans;
    }
    EXPECT_GE(spans, 8) << "pairs across an edge hold both levels";

    g.r[1] = 0x60; // averaging
    g.r[21] = 8;
    const Frame h = frame(g, 5000);
    int nearLow = 0;
    for (std::size_t i = 0; i + 1 < h.analog[0].size(); i += 2) {
        const int v = h.analog[0][i] * 256 + h.analog[0][i + 1];
        if (std::abs(v - 64 * 256) < 40) ++nearLow;
    }
    EXPECT_GT(nearLow, 1100) << "averaged low level, finer than one code";
}

TEST_F(SimulatorData, OverdriveAndUntriggeredFramesAreFlagged) {
    ASSERT_EQ(d2xx().control("a1=8"), 0);
    Registers g = base();
    const Frame f = frame(g, 5000);
    EXPECT_NE(f.info[0] & 0x20, 0) << "A1 overdriven";
    EXPECT_NE(f.info[0] & 0x04, 0) << "no edge: auto trigger";
    EXPECT_EQ(*std::max_element(f.analog[0].begin(), f.analog[0].end()), 255);

    // Normal trigger on a flat input: no frame at all.
    ASSERT_EQ(d2xx().control("a1=ground"), 0);
    g.r[1] = 0x00;
    m_host->sendSettings(g, ++m_seq);
    int data = 0;
    for (int i = 0; i < 30; ++i) {
        const auto p = m_host->nextPacket(5000);
        ASSERT_TRUE(p.has_value());
        if (p->header != 0x5A && p->body.size() > 160 && p->body[p->body.size() - 160 + 35] == m_seq) ++data;
    }
    EXPECT_EQ(data, 0);
}

TEST_F(SimulatorData, MinimumFramePeriodAndRunBitGovernTheStream) {
    auto ratio = [&](std::uint8_t periodMs) {
        Registers g = base(2000);
        g.set32(5, 1); // 10 us records: the link and the frame period set the pace
        g.r[34] = periodMs;
        m_host->sendSettings(g, ++m_seq);
        if (!m_host->waitStatus(3, 400)) return -1.0;
        int status = 0, data = 0;
        while (status < 20) {
            const auto p = m_host->nextPacket(2000);
            if (!p) break;
            if (p->header == 0x5A) {
                if (p->body[0] == 0) ++status;
            } else if (p->body.size() >= 160 && p->body[p->body.size() - 160 + 35] == m_seq) {
                ++data;
            }
        }
        return static_cast<double>(data) / 20.0;
    };
    const double limited = ratio(125);
    EXPECT_GE(limited, 0.5);
    EXPECT_LE(limited, 0.9);
    EXPECT_GE(ratio(0), 3.0);

    Registers g = base(2000);
    g.r[33] = 0;
    m_host->sendSettings(g, ++m_seq);
    ASSERT_TRUE(m_host->waitStatus(3, 400).has_value());
    for (int i = 0; i < 10; ++i) {
        const auto p = m_host->nextPacket(2000);
        ASSERT_TRUE(p.has_value());
        EXPECT_EQ(p->header, 0x5A);
    }
}

TEST_F(SimulatorData, RollModeFillsTheRingBuffer) {
    Registers g = base(2000);
    g.r[2] = 0x00;
    g.r[33] = 0x05;     // running, roll
    g.set32(5, 100000); // 0.5 ms per sample: 1 s ring
    m_host->sendSettings(g, ++m_seq);
    unsigned last = 0;
    bool wrapped = false;
    for (int i = 0; i < 400 && !wrapped; ++i) {
        const auto p = m_host->nextPacket(2000);
        ASSERT_TRUE(p.has_value());
        if (p->header == 0x5A || !p->crcOk) continue;
        const Frame f = unpack(*p, 2000);
        if (f.info[35] != m_seq) continue;
        EXPECT_NE(f.info[0] & 0x01, 0) << "roll data present";
        const unsigned index = u16(f.info, 40);
        wrapped = (f.info[0] & 0x02) != 0;
        if (!wrapped) {
            EXPECT_GE(index, last);
        }
        last = index;
    }
    EXPECT_TRUE(wrapped);
}

TEST_F(SimulatorData, FrequencyCounterMeasuresTheSelectedInput) {
    Registers g = base();
    m_host->sendSettings(g, ++m_seq);
    ASSERT_TRUE(m_host->waitStatus(3, 400).has_value());
    const auto p = m_host->waitStatus(0, 400);
    ASSERT_TRUE(p.has_value());
    const auto& b = p->body;
    EXPECT_EQ(b[17] & 0x0F, 1);
    EXPECT_EQ(b[17] & 0x60, 0);
    const double n = b[18] | (b[19] << 8) | (b[20] << 16) | (static_cast<std::uint32_t>(b[21]) << 24);
    const double t = b[22] | (b[23] << 8) | (b[24] << 16) | (static_cast<std::uint32_t>(b[25]) << 24);
    ASSERT_GT(t, 0);
    EXPECT_NEAR((n - 1) * 200e6 / t, 1000.0, 0.1);
}

} // namespace

namespace {

TEST_F(SimulatorData, ModelsRouteTheInputsOfTheirFrontEnds) {
    struct Case {
        const char* setup;
        int channel;
        int expectLow;
        int expectHigh;
    };
    // Generator at a constant 1 V (0.5 V/div on A2: code 128 + 64), A1 calibrator 0..2 V at code 64.
    const Case cases[] = {
        {"model=0x23; a2=ground", 1, 126, 130}, // A2 input on the bench ground
        {"model=0x21; a2=ground", 1, 190, 194}, // no A2 input: the generator is routed inside
        {"model=0x20; a2=ground", 1, 126, 130}, // neither: A2 reads its zero
        {"model=0x35; a1=0.3", 0, 62, 66},      // compact front end: A1 always AC coupled
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.setup);
        ASSERT_EQ(d2xx().control(c.setup), 0);
        Registers g = base();
        g.r[32] = 0x03;
        g.r[113] = 5; // constant level
        g.set16(126, 1000);
        g.set16(76, static_cast<std::uint32_t>(offsetCode(0.0)));
        if (c.channel == 0) {
            g.r[38] = 7;    // the compact front end at 100 mV/div
            g.r[64] = 0x18; // DC asked for, nibble 8
            g.set16(68, static_cast<std::uint32_t>(zeroDac(0, 1, 64 * 256.0)));
        }
        const Frame f = frame(g, 5000);
        ASSERT_FALSE(f.analog[c.channel].empty());
        const auto [lo, hi] = std::minmax_element(f.analog[c.channel].begin(), f.analog[c.channel].end());
        EXPECT_GE(*lo, c.expectLow);
        EXPECT_LE(*hi, c.expectHigh);
        EXPECT_EQ(f.info[46], std::stoi(std::string(c.setup).substr(8, 2), nullptr, 16));
    }
}

TEST_F(SimulatorData, ArbitraryRegisterImagesGiveWellFormedPackets) {
    std::uint64_t state = 12345;
    auto next = [&] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33);
    };
    int seen = 0;
    for (int round = 0; round < 25; ++round) {
        Registers g = base();
        for (std::size_t i = 1; i < 160; ++i)
            if (next() % 3 == 0) g.r[i] = static_cast<std::uint8_t>(next());
        const unsigned mask = next() & 0x3F;
        const std::size_t limit = (mask & 0x10) ? 2500 : (mask & 0x20) ? 20000 : 40000;
        const std::size_t points = 2 + next() % (limit - 1);
        const std::size_t pre = next() % (points + 1);
        g.r[32] = static_cast<std::uint8_t>(mask);
        g.set16(9, static_cast<std::uint32_t>(pre));
        g.set16(11, static_cast<std::uint32_t>(points - pre));
        g.set32(5, 1 + next() % 4096);
        g.r[33] = static_cast<std::uint8_t>(1 | (next() & 0x04));
        g.r[1] |= 0x20; // auto, so every image gives frames
        m_host->sendSettings(g, ++m_seq);
        ASSERT_TRUE(m_host->waitStatus(3, 400).has_value());
        for (int i = 0; i < 40; ++i) {
            const auto p = m_host->nextPacket(points);
            ASSERT_TRUE(p.has_value());
            if (p->header == 0x5A) continue;
            if (p->body.size() < 160 || p->body[p->body.size() - 160 + 35] != m_seq) continue;
            EXPECT_TRUE(p->crcOk) << "round " << round;
            EXPECT_EQ(p->header, mask);
            ++seen;
            break;
        }
    }
    EXPECT_GT(seen, 20);
}

} // namespace
