// SPDX-License-Identifier: GPL-3.0-or-later
#include "calibration/SystemMeasurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace kx::calibration;
namespace core = kx::core;

// Ten frames of a sine with the converters' gains and offsets (16-bit codes).
SystemResults measure(double amplitude, double gain0, double gain1, double offset0, double offset1) {
    constexpr std::size_t n = 10000;
    std::vector<std::int32_t> a(n), low(n, 0), high(n, 256);
    for (std::size_t i = 0; i < n; ++i) {
        const bool adc0 = (i & 1) != 0;
        const double s =
            amplitude / 2 * std::sin(6.283185307179586 * 25.0 * static_cast<double>(i / 2) / (n / 2.0));
        a[i] = static_cast<std::int32_t>(
            std::lround(32768.0 + s * (adc0 ? gain0 : gain1) + (adc0 ? offset0 : offset1)));
    }
    SystemMeasurement m;
    SystemFrame f;
    f.a1 = a;
    f.a2 = a;
    f.digital = {low, high, low, high};
    f.count = n;
    f.rangeA1 = f.rangeA2 = 500000.0;
    for (int i = 0; i < kSystemFramesPerResult - 1; ++i) EXPECT_FALSE(m.frame(f));
    EXPECT_TRUE(m.frame(f));
    return m.results();
}

TEST(SystemMeasurement, AmplitudesDifferencesAndLowFractions) {
    // 49152 codes peak to peak at 500 mV/div (8192 per division) is 3 V.
    const SystemResults r = measure(49152.0, 1.0, 1.01, 100.0, 0.0);
    EXPECT_NEAR(r.gain[0], 3000000.0, 300.0);
    EXPECT_NEAR(r.gain[1], 3030000.0, 300.0);
    EXPECT_NEAR(r.shift[0], 100.0 * 500000.0 * 8 / 65536, 5.0);
    EXPECT_DOUBLE_EQ(r.lowFraction[0], 1.0);
    EXPECT_DOUBLE_EQ(r.lowFraction[1], 0.0);
}

TEST(AutoAdcCalibration, GainCodesAndOffsetsFromTheResults) {
    core::CalTable t = core::defaultSystemCalTable();
    AutoAdcCalibration a;
    a.start(t);
    EXPECT_EQ(t[8], 0);
    SystemResults r;
    r.gain = {2500000.0, 2000000.0, 3000000.0, 3000000.0};
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(a.result(r, t, 3000000.0, false));
    EXPECT_TRUE(a.result(r, t, 3000000.0, false)); // countdown 7
    EXPECT_EQ(t[8], 102) << "rnd(3000000 x 512 / 2500000 - 512)";
    EXPECT_EQ(t[9], 128) << "not above 0.7 V";
    EXPECT_EQ(t[12], 128) << "no A2 input";
    EXPECT_EQ(static_cast<std::int8_t>(t[10]), -50);
    EXPECT_EQ(static_cast<std::int8_t>(t[11]), 50);
    for (int i = 0; i < 2; ++i) a.result(r, t, 3000000.0, false);
    r.shift = {-1000.0, 0.0};
    EXPECT_TRUE(a.result(r, t, 3000000.0, false)); // countdown 4
    EXPECT_EQ(static_cast<std::int8_t>(t[10]), 50);
    for (int i = 0; i < 2; ++i) a.result(r, t, 3000000.0, false);
    r.shift = {1000.0, 0.0};
    EXPECT_TRUE(a.result(r, t, 3000000.0, false)); // countdown 1: f = 100
    EXPECT_EQ(t[10], 0);
    EXPECT_EQ(t[11], 0);
    EXPECT_FALSE(a.running());
}

TEST(AutoAdcCalibration, MatchedChannelNeedsBothGainsAndTheDifference) {
    SystemResults r;
    r.gain = {3005000.0, 2995000.0, 3007000.0, 3000000.0};
    r.shift = {2999.0, 0.0};
    EXPECT_TRUE(adcMatched(r, 0, 3000000.0));
    EXPECT_FALSE(adcMatched(r, 1, 3000000.0)) << "ADC 2 beyond 0.2 %";
    r.shift[0] = 3001.0;
    EXPECT_FALSE(adcMatched(r, 0, 3000000.0));
}

} // namespace
