// SPDX-License-Identifier: GPL-3.0-or-later
#include "Factory.h"

#include "core/Crc16.h"

#include <cmath>
#include <span>

namespace kx::sim {

namespace {
void put16(CalibrationTable& t, std::size_t offset, int value) {
    const auto v = static_cast<std::uint16_t>(value);
    t[offset] = static_cast<std::uint8_t>(v & 0xFF);
    t[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}
} // namespace

int gainGroup(unsigned gainCode) {
    switch (gainCode & 0x0F) {
    case 3:
    case 7:
    case 15:
        return 1;
    case 9:
        return 2;
    default:
        return 0;
    }
}

double gainGroupDac(int group) {
    switch (group) {
    case 1:
        return 18000.0;
    case 2:
        return 22500.0;
    default:
        return 9000.0;
    }
}

void sealTable(CalibrationTable& table) {
    const std::uint16_t crc = kx::core::crc16(std::span<const std::uint8_t>(table.data(), 62));
    table[62] = static_cast<std::uint8_t>(crc & 0xFF);
    table[63] = static_cast<std::uint8_t>(crc >> 8);
}

CalibrationTable Factory::zeroTable() const {
    CalibrationTable t{};
    for (int ch = 0; ch < 2; ++ch) {
        for (int g = 0; g < 3; ++g) {
            put16(t, static_cast<std::size_t>(ch * 16 + g * 4),
                  static_cast<int>(std::lround(zero[ch][g].atX)));
            put16(t, static_cast<std::size_t>(ch * 16 + g * 4 + 2),
                  static_cast<int>(std::lround(zero[ch][g].at2X)));
        }
        put16(t, static_cast<std::size_t>(ch * 16 + 12), 10000);
        put16(t, static_cast<std::size_t>(ch * 16 + 14), 55000);
    }
    // Supply readings equal: this unit's zero does not move with the supply.
    put16(t, 32, 49648);
    put16(t, 34, 49648);
    put16(t, 36, static_cast<int>(std::lround(zero[0][0].at2X)));
    put16(t, 38, static_cast<int>(std::lround(zero[1][0].at2X)));
    sealTable(t);
    return t;
}

CalibrationTable Factory::systemTable() const {
    CalibrationTable t{};
    put16(t, 0, genAtMid);
    put16(t, 2, genAtLow);
    put16(t, 4, genAtHigh);
    t[8] = adcGain[0];
    t[9] = adcGain[1];
    t[10] = static_cast<std::uint8_t>(adcOffset[0]);
    t[11] = static_cast<std::uint8_t>(adcOffset[1]);
    t[12] = adcGain[2];
    t[13] = adcGain[3];
    t[14] = static_cast<std::uint8_t>(adcOffset[2]);
    t[15] = static_cast<std::uint8_t>(adcOffset[3]);
    const std::uint8_t dither[5] = {140, 2, 176, 140, 2};
    for (int i = 0; i < 5; ++i) t[static_cast<std::size_t>(16 + i)] = dither[i];
    for (int i = 0; i < 5; ++i) put16(t, static_cast<std::size_t>(22 + 2 * i), oscillatorPpm[i]);
    sealTable(t);
    return t;
}

} // namespace kx::sim
