// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/NumberFormat.h"

#include <gtest/gtest.h>

using kx::core::formatFixed;
using kx::core::formatNumber;

struct FormatCase {
    double value;
    int type;
    int precision;
    const char* text;
};

class NumberFormatTable : public ::testing::TestWithParam<FormatCase> {};

TEST_P(NumberFormatTable, Formats) {
    const auto& c = GetParam();
    EXPECT_EQ(formatNumber(c.value, c.type, c.precision), c.text)
        << c.value << " type " << c.type << " precision " << c.precision;
}

INSTANTIATE_TEST_SUITE_P(
    Tiers, NumberFormatTable,
    ::testing::Values(
        // significant-digit rule: |b| digits in every tier
        FormatCase{1000000, 0, -3, "1.00 mS"}, FormatCase{2, 0, -3, "2.00 nS"}, FormatCase{0.5, 0, -3, "0.50 nS"},
        FormatCase{1000, 1, 0, "1 mV"}, FormatCase{500, 1, 0, "500 uV"}, FormatCase{2000000, 1, 0, "2 V"},
        FormatCase{1500, 2, -3, "1.50 KHz"}, FormatCase{12345678, 2, -5, "12.346 MHz"},
        FormatCase{0.005, 2, -3, "5.00 mHz"}, FormatCase{0.05, 2, -3, "50.0 mHz"}, FormatCase{0.5, 2, -3, "500 mHz"},
        FormatCase{-2500, 1, -4, "-2.500 mV"}, FormatCase{5e9, 2, -3, "5.00 GHz"}, FormatCase{5e11, 2, -3, "500 GHz"},
        FormatCase{5e12, 2, -3, "5000 GHz"}, FormatCase{22000, 5, -3, "22.0 KOhm"}, FormatCase{0.25, 3, -2, "250 fF"},
        FormatCase{3300, 4, -3, "3.30 uH"},
        // fixed-weight rule (b > 0)
        FormatCase{12.5, 0, 1, "12.500 nS"}, FormatCase{1234.5, 0, 1, "1.234 500 uS"},
        FormatCase{0.5, 0, 1, "0.500 nS"}, FormatCase{0.5, 2, 1, "500 mHz"}, FormatCase{1234567, 2, 4, "1.234 567 MHz"},
        FormatCase{50000, 1, 8, "50 mV"}, FormatCase{50000, 1, 4, "50.000 mV"},
        // six decimals get the blank after the third
        FormatCase{1.5, 1, -7, "1.500 000 uV"}, FormatCase{1.5, 1, -6, "1.50000 uV"}));

TEST(NumberFormat, CommaSeparatorAndBlank) {
    EXPECT_EQ(formatNumber(1.5, 1, -7, ','), "1,500 000 uV");
}

TEST(FormatFixed, RoundsDecimalTextHalfAwayFromZero) {
    EXPECT_EQ(formatFixed(2.675, 2), "2.68");
    EXPECT_EQ(formatFixed(-2.675, 2), "-2.68");
    EXPECT_EQ(formatFixed(9.999, 2), "10.00");
    EXPECT_EQ(formatFixed(-0.0004, 3), "0.000");
    EXPECT_EQ(formatFixed(0.000123, 5), "0.00012");
    EXPECT_EQ(formatFixed(123456.0, 0), "123456");
}
