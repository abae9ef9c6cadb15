// SPDX-License-Identifier: GPL-3.0-or-later
#include "Factory.h"

#include "Rng.h"

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
    for (int i = 0; i < 5; ++i) t[static_cast<std::size_t>(16 + i)] = dither[i];
    for (int i = 0; i < 5; ++i) put16(t, static_cast<std::size_t>(22 + 2 * i), oscillatorPpm[i]);
    sealTable(t);
    return t;
}

Factory Factory::drifted(std::uint64_t seed) {
    Rng rng(seed ^ 0xD71F7ull);
    // A magnitude between lo and hi with a random sign.
    const auto amount = [&rng](double lo, double hi) {
        const double m = lo + (hi - lo) * rng.uniform();
        return rng.uniform() < 0.5 ? -m : m;
    };
    Factory f;
    for (int ch = 0; ch < 2; ++ch) {
        // A few 8-bit steps of zero error, the same on every range, and a slightly changed slope.
        const double shift = amount(2.5, 5.0) * 256.0;
        for (auto& z : f.zero[ch]) {
            const double slope = amount(100.0, 300.0);
            z.atX += shift;
            z.at2X += shift + slope;
        }
        f.supplySensitivity[ch] = amount(0.05, 0.15);
    }
    for (int adc = 0; adc < 4; ++adc) {
        f.adcGain[adc] = static_cast<std::uint8_t>(f.adcGain[adc] + std::lround(amount(1.0, 3.0)));
        f.adcOffset[adc] = static_cast<std::int8_t>(f.adcOffset[adc] + std::lround(amount(2.0, 6.0)));
    }
    f.genAtLow += static_cast<int>(std::lround(amount(20.0, 80.0)));
    f.genAtMid += static_cast<int>(std::lround(amount(20.0, 80.0)));
    f.genAtHigh += static_cast<int>(std::lround(amount(20.0, 80.0)));
    // The crystal ages: the whole tuning curve moves by a few ppm.
    const int age = static_cast<int>(std::lround(amount(200.0, 500.0)));
    for (int& p : f.oscillatorPpm) p += age;
    f.dither[0] = static_cast<std::uint8_t>(f.dither[0] + std::lround(amount(5.0, 15.0)));
    f.dither[2] = static_cast<std::uint8_t>(f.dither[2] + std::lround(amount(5.0, 20.0)));
    f.dither[3] = static_cast<std::uint8_t>(f.dither[3] + std::lround(amount(5.0, 15.0)));
    return f;
}

} // namespace kx::sim
