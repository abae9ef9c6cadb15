// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/FreqCalibration.h"

#include <gtest/gtest.h>

#include <limits>

namespace kx::calibration {
namespace {

core::CalTable tableWith(std::array<std::int16_t, 5> points) {
    core::CalTable t = core::defaultSystemCalTable();
    for (std::size_t i = 0; i < 5; ++i) {
        const auto u = static_cast<std::uint16_t>(points[i]);
        t[22 + 2 * i] = static_cast<std::uint8_t>(u & 0xFF);
        t[23 + 2 * i] = static_cast<std::uint8_t>(u >> 8);
    }
    return t;
}

TEST(CodeForPpm, TypicalTable) {
    const core::CalTable t = tableWith({-1500, -1000, 0, 1000, 1500});
    struct Case {
        double ppm;
        std::uint16_t code;
    };
    const Case cases[] = {
        {0.0, 0x8000},  {5.0, 0x9000},   {15.0, 0xC000},  {-15.0, 0x4000}, {-10.0, 0x6000},
        {10.0, 0xA000}, {12.5, 0xB000},  {-12.5, 0x5000}, {-25.0, 0x0000}, // extends below p1
        {25.0, 0xFFFF}, {-60.0, 0x0000}, {0.01, 0x8008},                   // 8.192 rounds to 8
    };
    for (const auto& c : cases) EXPECT_EQ(CodeForPpm(c.ppm, t), c.code) << c.ppm;
}

TEST(CodeForPpm, DefaultTableAndHalfRounding) {
    const core::CalTable t = core::defaultSystemCalTable(); // -600 -300 0 300 600
    EXPECT_EQ(CodeForPpm(0.0, t), 0x8000);
    EXPECT_EQ(CodeForPpm(3.0, t), 0xA000);
    // Half a code per unit of ppm x 100: results ending in .5 round up, away from zero.
    const core::CalTable half = tableWith({-32000, -16384, 0, 16384, 32000});
    EXPECT_EQ(CodeForPpm(0.01, half), 0x8001);  // 32768.5
    EXPECT_EQ(CodeForPpm(-0.01, half), 0x8000); // 32767.5
}

TEST(CodeForPpm, EqualNeighboursOrBadInputGiveMidScale) {
    for (const auto& pts : {std::array<std::int16_t, 5>{-1500, -1500, 0, 1000, 1500},
                            std::array<std::int16_t, 5>{-1500, -1000, -1000, 1000, 1500},
                            std::array<std::int16_t, 5>{-1500, -1000, 0, 0, 1500},
                            std::array<std::int16_t, 5>{-1500, -1000, 0, 1500, 1500}}) {
        EXPECT_EQ(CodeForPpm(7.0, tableWith(pts)), 0x8000);
    }
    const core::CalTable t = tableWith({-1500, -1000, 0, 1000, 1500});
    EXPECT_EQ(CodeForPpm(std::numeric_limits<double>::quiet_NaN(), t), 0x8000);
    EXPECT_EQ(CodeForPpm(std::numeric_limits<double>::infinity(), t), 0xFFFF);
    EXPECT_EQ(CodeForPpm(-std::numeric_limits<double>::infinity(), t), 0);
}

TEST(PpmLabel, CorrectionWithRangeOrCode) {
    const core::CalTable typical = tableWith({-1500, -1000, 0, 1000, 1500});
    const core::CalTable narrow = tableWith({-300, -200, 0, 200, 300});
    struct Case {
        std::int32_t freqClbr;
        const core::CalTable* table;
        bool debug;
        const char* text;
    };
    const Case cases[] = {
        {0, &typical, false, "PPM = 0.00"},
        {500, &typical, true, "PPM = 5.00 (36864)"},
        {-1234, &typical, false, "PPM = -12.34"},
        {1500, &narrow, false, "PPM = 15.00 - out of range"},
        {-1500, &narrow, true, "PPM = -15.00 - out of range"},
    };
    for (const Case& c : cases) EXPECT_EQ(ppmLabel(c.freqClbr, *c.table, c.debug), c.text) << c.freqClbr;
}

} // namespace
} // namespace kx::calibration
