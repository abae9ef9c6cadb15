// SPDX-License-Identifier: GPL-3.0-or-later
#include "SimulatorDataFixture.h"

#include <cmath>

namespace kxtest {

Frame unpack(const Packet& p, std::size_t n) {
    Frame f;
    f.header = p.header;
    f.sizeA = blockASize(p.header, n);
    f.sizeB = blockBSize(p.header, n);
    f.info.assign(p.body.begin() + static_cast<long>(f.sizeA + f.sizeB), p.body.end());
    const unsigned m = p.header;
    const std::size_t times = (m & 0x20) ? 4 * n : n;
    std::size_t pos = 0;
    int counter = 0;
    std::vector<int> order;
    if (!(m & 0x10)) {
        if (m & 0x04) order.insert(order.end(), {0, 1});
        if (m & 0x08) order.insert(order.end(), {2, 3});
    }
    for (std::size_t i = 0; i < times; ++i) {
        if (m & 0x01) f.analog[0].push_back(p.body[pos++]);
        if (m & 0x02) f.analog[1].push_back(p.body[pos++]);
        if (order.empty()) continue;
        counter += static_cast<int>(order.size());
        if (counter > 7) {
            const std::uint8_t b = p.body[pos++];
            for (int bit = 0; bit < 8; ++bit)
                f.digital[order[static_cast<std::size_t>(bit) % order.size()]].push_back((b >> bit) & 1);
            counter = 0;
        }
    }
    if (m & 0x10) {
        std::size_t q = f.sizeA;
        for (std::size_t i = 0; i < n; ++i)
            for (int ch = 0; ch < 4; ++ch)
                if (m & (ch < 2 ? 0x04 : 0x08)) {
                    const std::uint8_t b = p.body[q++];
                    for (int bit = 0; bit < 8; ++bit) f.digital[ch].push_back((b >> bit) & 1);
                }
    }
    return f;
}

void SimulatorData::SetUp() {
    ASSERT_EQ(d2xx().resolved, 24);
    ASSERT_EQ(d2xx().control("reset; pacing=off; seed=3"), 0);
    m_host = std::make_unique<Host>();
    ASSERT_TRUE(m_host->opened());
    ASSERT_EQ(m_host->configure(), 0u);
    ASSERT_EQ(m_host->loadFpga(Host::image()), 0u);
    const auto ready = m_host->waitStatus(2, 5);
    ASSERT_TRUE(ready.has_value());
    m_status = ready->body;
}

void SimulatorData::TearDown() {
    m_host.reset();
    d2xx().control("reset");
}

int SimulatorData::zeroDac(int channel, int group, double code16) const {
    static const double x[3] = {9000, 18000, 22500};
    const std::size_t off = 26 + static_cast<std::size_t>(channel * 16 + group * 4);
    const double h = u16(m_status, off);
    const double f = u16(m_status, off + 2);
    return static_cast<int>(std::lround(x[group] + (code16 - h) * x[group] / (f - h)));
}

int SimulatorData::offsetCode(double volts) const {
    const double z = s16(m_status, 90), n = s16(m_status, 92), p = s16(m_status, 94);
    const double b = volts < 0 ? z - n : p - z;
    return static_cast<int>(std::lround((volts * 1e4 - z) * 24576.0 / b + 32768.0));
}

Registers SimulatorData::base(std::size_t points) const {
    Registers g;
    g.r[1] = 0x20;                    // source A1, edge up, auto
    g.r[2] = 0x80;                    // trigger active
    g.set32(5, 400);                  // decimation
    g.set16(9, points / 2);           // pre-trigger
    g.set16(11, points - points / 2); // post-trigger
    g.r[13] = 93;
    g.r[14] = 99;
    g.r[15] = 125;
    g.r[16] = 131;
    g.r[32] = 0x01; // A1
    g.r[33] = 0x01; // running
    g.r[38] = 14;   // A1 1 V/div
    g.r[39] = 9;    // A2 0.5 V/div
    g.r[48] = 1;    // counter on A1
    g.r[64] = 0x10; // DC
    g.r[65] = 0x10;
    g.r[66] = 0x45;
    g.set16(68, static_cast<std::uint32_t>(zeroDac(0, 0, 64 * 256.0)));
    g.set16(70, static_cast<std::uint32_t>(zeroDac(1, 2, 128 * 256.0)));
    g.set16(72, 8192);
    g.set16(74, 8192);
    g.set16(76, static_cast<std::uint32_t>(offsetCode(0.0)));
    for (int i = 0; i < 13; ++i)
        g.r[80 + static_cast<std::size_t>(i)] = m_status[90 + 8 + static_cast<std::size_t>(i)];
    g.set16(101, 4194); // no external load at A2's 0.5 V/div
    g.r[113] = 45;      // generator off
    g.set16(146, 2048); // no AWG mark: D1 is the bench's
    return g;
}

Registers SimulatorData::calibrationBase() const {
    Registers g = base();
    g.r[1] = 0x20; // auto: the frames come whatever the trigger
    g.r[2] = 0;
    g.set32(5, 501);
    g.set16(9, 0);
    g.set16(11, kCalibrationPoints);
    g.r[32] = 0x0F;
    g.r[38] = g.r[39] = 9;    // 500 mV/div
    g.r[64] = g.r[65] = 0x00; // AC: the sine from 0 to 3 V sits around the middle
    g.r[66] = 0x43;
    g.set16(68, static_cast<std::uint32_t>(zeroDac(0, 2, 128 * 256.0)));
    g.set16(70, static_cast<std::uint32_t>(zeroDac(1, 2, 128 * 256.0)));
    g.r[113] = 0; // sine
    const double word = std::trunc(
        1e9 / (501.0 * static_cast<double>(kCalibrationPoints) * 5.0) * 25.0 * 703687.44177664 + 0.5);
    for (int i = 0; i < 6; ++i)
        g.r[114 + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint64_t>(word) >> (8 * i));
    g.set16(126, 3000);
    return g;
}

Frame SimulatorData::frame(Registers& g, std::size_t points, int maxPackets) {
    m_host->sendSettings(g, ++m_seq);
    for (int i = 0; i < maxPackets; ++i) {
        const auto p = m_host->waitData(maxPackets, points);
        if (!p) break;
        if (!p->crcOk) continue;
        Frame f = unpack(*p, points);
        if (f.info.size() == 160 && f.info[35] == m_seq) return f;
    }
    ADD_FAILURE() << "no data packet for sequence " << int(m_seq);
    return {};
}

} // namespace kxtest
