// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SimLink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace kxtest {

inline std::uint32_t u16(const std::vector<std::uint8_t>& b, std::size_t off) {
    return static_cast<std::uint32_t>(b[off] | (b[off + 1] << 8));
}
inline std::uint32_t u32(const std::vector<std::uint8_t>& b, std::size_t off) {
    return u16(b, off) | (u16(b, off + 2) << 16);
}
inline int s16(const std::vector<std::uint8_t>& b, std::size_t off) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(u16(b, off)));
}

// A data packet unpacked the way the program reads block A and block B.
struct Frame {
    std::uint8_t header = 0;
    std::vector<std::uint8_t> info;
    std::vector<int> analog[2];
    std::vector<int> digital[4];
    std::size_t sizeA = 0;
    std::size_t sizeB = 0;
};

Frame unpack(const Packet& p, std::size_t n);

// A started simulator on the default bench with link pacing off, and a register image to vary.
class SimulatorData : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Zero DAC code that puts 0 V at the given 16-bit ADC code, from the instrument's zero table.
    int zeroDac(int channel, int group, double code16) const;
    // Generator offset code for a lowest level in volts, from the system table.
    int offsetCode(double volts) const;

    // A1 1 V/div DC with 0 V at code 64; A2 0.5 V/div DC with 0 V at code 128; A1 rising trigger at
    // 1 V with auto; 2 us per sample; digital thresholds 1.65 V; generator off at 0 V.
    Registers base(std::size_t points = 5000) const;
    // The system calibration's base setup: 10000 points after an auto trigger, 501 x 5 ns per
    // sample, every input on, A1 and A2 at 500 mV/div AC, the generator's sine of amplitude code
    // 3000 from 0 V at 25 cycles per record.
    Registers calibrationBase() const;
    static constexpr std::size_t kCalibrationPoints = 10000;
    // The first data packet taken under g, sent as a new settings frame.
    Frame frame(Registers& g, std::size_t points, int maxPackets = 400);

    std::unique_ptr<Host> m_host;
    std::vector<std::uint8_t> m_status;
    std::uint8_t m_seq = 0;
};

} // namespace kxtest
