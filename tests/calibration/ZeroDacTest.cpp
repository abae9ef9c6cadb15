// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/ZeroDac.h"

#include <gtest/gtest.h>

namespace kx::calibration {
namespace {

void putWord(core::CalTable& t, std::size_t word, std::uint16_t v) {
    t[2 * word] = static_cast<std::uint8_t>(v & 0xFF);
    t[2 * word + 1] = static_cast<std::uint8_t>(v >> 8);
}

TEST(ZeroDac, DefaultTableAcrossGainGroups) {
    const core::CalTable t = core::defaultZeroOffsetTable();
    struct Case {
        std::int32_t gain;
        std::int32_t zero;
        std::uint16_t code;
    };
    // Default pairs are 10000/55000: l = X / 45000.
    const Case cases[] = {
        {14, 0x8000, 13554}, // 1 V group: 13500 + 0.2 * 268
        {2, 0x8000, 13554},  // every other gain code uses the 1 V group
        {15, 0x8000, 27107}, // 27000 + 0.4 * 268 = 27107.2
        {7, 0x8000, 27107},  {3, 0x8000, 27107}, {9, 0x8000, 33884}, // 33750 + 0.5 * 268
        {14, 0xC000, 16830},                                         // 13500 + 0.2 * 16652 = 16830.4
        {14, 0, 7000},                                               // 13500 - 0.2 * 32500
    };
    for (const auto& c : cases) {
        for (auto ch : {AnalogChannel::A1, AnalogChannel::A2}) {
            const ZeroDacSetting s = zeroDac(t, ch, c.zero, c.gain);
            EXPECT_EQ(s.code, c.code) << "gain " << c.gain << " zero " << c.zero;
            EXPECT_EQ(s.fine, 0) << "equal supply words give no correction";
        }
    }
}

TEST(ZeroDac, EqualReadingsGiveMidScale) {
    core::CalTable t = core::defaultZeroOffsetTable();
    putWord(t, 8 + 4, 30000);
    putWord(t, 8 + 5, 30000);
    putWord(t, 17, 40000); // would otherwise give a correction
    const ZeroDacSetting s = zeroDac(t, AnalogChannel::A2, 0x1234, 9);
    EXPECT_EQ(s.code, 0x8000);
    EXPECT_EQ(s.fine, 0);
    EXPECT_NE(zeroDac(t, AnalogChannel::A1, 0x1234, 9).code, 0x8000); // A1 has its own words
}

TEST(ZeroDac, SupplyCorrectionUsesChannelWordsAndIsLimited) {
    core::CalTable t = core::defaultZeroOffsetTable();
    putWord(t, 16, 50000);
    putWord(t, 17, 49000);
    putWord(t, 18, 54900); // A1: d = (55000 - 54900) / 1000 = 0.1
    putWord(t, 19, 55000); // A2: no shift under load
    // fine = round(0.1 * 0.2 * 256) = round(5.12) = 5, whatever the gain group.
    EXPECT_EQ(zeroDac(t, AnalogChannel::A1, 0x8000, 14).fine, 5);
    EXPECT_EQ(zeroDac(t, AnalogChannel::A1, 0x8000, 15).fine, 10); // l = 0.4
    EXPECT_EQ(zeroDac(t, AnalogChannel::A2, 0x8000, 14).fine, 0);
    putWord(t, 18, 10000); // d = 45: far beyond a byte
    EXPECT_EQ(zeroDac(t, AnalogChannel::A1, 0x8000, 14).fine, 127);
    putWord(t, 17, 51000); // sign flips
    EXPECT_EQ(zeroDac(t, AnalogChannel::A1, 0x8000, 14).fine, -127);
}

TEST(ZeroDac, CodeIsLimitedToTheDacRange) {
    core::CalTable t = core::defaultZeroOffsetTable();
    putWord(t, 0, 30000);
    putWord(t, 1, 30010); // l = 900: a steep table drives the code far out
    EXPECT_EQ(zeroDac(t, AnalogChannel::A1, 65535, 14).code, 0xFFFF);
    EXPECT_EQ(zeroDac(t, AnalogChannel::A1, 0, 14).code, 0);
}

} // namespace
} // namespace kx::calibration
