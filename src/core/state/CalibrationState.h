// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace kx::core {

// Both calibration tables are 64 bytes that live in the instrument; the last two bytes carry
// the CRC-16/MODBUS of the first 62, low byte first.
inline constexpr std::size_t kCalTableSize = 64;
inline constexpr std::size_t kCalTableCrcOffset = 62;
using CalTable = std::array<std::uint8_t, kCalTableSize>;

// Zero-offset table: 16-bit little-endian words of ADC readings (index = word number).
inline constexpr std::size_t kZeroWordA1Base = 0;  // words 0..5: 1 V, 2 V, 0.5 V groups
inline constexpr std::size_t kZeroWordA2Base = 8;  // words 8..13: the same for A2
inline constexpr std::size_t kZeroWordSupply = 16; // raw supply, first measurement
inline constexpr std::size_t kZeroWordSupplyLoaded = 17;
inline constexpr std::size_t kZeroWordLoadedA1 = 18; // A1 at DAC 18000 with the supply loaded
inline constexpr std::size_t kZeroWordLoadedA2 = 19;
inline constexpr std::size_t kZeroByteShiftA1 = 40; // signed manual zero-level shift
inline constexpr std::size_t kZeroByteShiftA2 = 41;

// System calibration table.
inline constexpr std::size_t kSysGenZero = 0;     // int16, generator at offset code 0x8000, 0.1 mV
inline constexpr std::size_t kSysGenNegative = 2; // int16, at 0x2000
inline constexpr std::size_t kSysGenPositive = 4; // int16, at 0xE000
inline constexpr std::size_t kSysAdcFirst = 8;    // bytes 8..20 go to the frame continuously
inline constexpr std::size_t kSysAdcLast = 20;
inline constexpr std::size_t kSysOffsetA1Adc0 = 10;
inline constexpr std::size_t kSysOffsetA1Adc1 = 11;
inline constexpr std::size_t kSysOffsetA2Adc2 = 14;
inline constexpr std::size_t kSysOffsetA2Adc3 = 15;
inline constexpr std::size_t kSysFreqPoints = 22; // 5 x int16, ppm x 100 at 0x4000..0xC000

namespace detail {
constexpr void putWord(CalTable& t, std::size_t byte, std::int32_t v) {
    const auto u = static_cast<std::uint16_t>(v);
    t[byte] = static_cast<std::uint8_t>(u & 0xFF);
    t[byte + 1] = static_cast<std::uint8_t>(u >> 8);
}
} // namespace detail

// Built-in zero-offset table: every reading pair 10000/55000, supply 49648, loaded 55000, no CRC.
constexpr CalTable defaultZeroOffsetTable() {
    CalTable t{};
    for (std::size_t w = 0; w < 16; ++w) detail::putWord(t, 2 * w, (w % 2 == 0) ? 10000 : 55000);
    detail::putWord(t, 2 * kZeroWordSupply, 49648);
    detail::putWord(t, 2 * kZeroWordSupplyLoaded, 49648);
    detail::putWord(t, 2 * kZeroWordLoadedA1, 55000);
    detail::putWord(t, 2 * kZeroWordLoadedA2, 55000);
    return t;
}

// Built-in system calibration table, no CRC.
constexpr CalTable defaultSystemCalTable() {
    CalTable t{};
    detail::putWord(t, kSysGenZero, 0);
    detail::putWord(t, kSysGenNegative, -27000);
    detail::putWord(t, kSysGenPositive, 27000);
    t[8] = 128;
    t[9] = 128;
    t[12] = 128;
    t[13] = 128;
    const std::uint8_t dither[] = {140, 2, 176, 140, 2};
    for (std::size_t i = 0; i < 5; ++i) t[16 + i] = dither[i];
    const std::int32_t ppm[] = {-600, -300, 0, 300, 600};
    for (std::size_t i = 0; i < 5; ++i) detail::putWord(t, kSysFreqPoints + 2 * i, ppm[i]);
    return t;
}

// Little-endian word readers for the tables.
constexpr std::uint16_t calWord(const CalTable& t, std::size_t byte) {
    return static_cast<std::uint16_t>(t[byte] | (t[byte + 1] << 8));
}
constexpr std::int16_t calInt16(const CalTable& t, std::size_t byte) {
    return static_cast<std::int16_t>(calWord(t, byte));
}

// Calibration data: the program's copies of the instrument's two tables (the frequency
// correction "Freq_Clbr" and "Ref_Freg" live with the system options). The tables are replaced in the GUI
// thread when the acquisition thread hands over a copy received with a valid CRC.
struct CalibrationState {
    CalTable ZeroTable = defaultZeroOffsetTable();
    CalTable SystemTable = defaultSystemCalTable();
    bool ZeroTableRead = false;   // a valid zero-offset table has come from the instrument
    bool SystemTableRead = false; // a valid system calibration table has come from the instrument
};

} // namespace kx::core
