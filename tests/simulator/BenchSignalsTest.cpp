// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchSignals.h"
#include "Signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace kx::sim {
namespace {

constexpr Picoseconds kUs = 1'000'000;

TEST(BenchSignals, ParsesEveryForm) {
    const char* good[] = {"sine:1000:2",      "sine:1e6:0.5:1.5", "sine:1000:1:0:40:50",
                          "square:10000:3.3", "square:10000:2:1", "sum:1000:1:3000:0.5"};
    for (const char* g : good) EXPECT_TRUE(Waveform::parse(g)) << g;
    const char* bad[] = {"sine",
                         "sine:1000",
                         "sine:0:1",
                         "sine:1000:-1",
                         "sine:1000:1:0:40",
                         "sine:1000:1:0:-3:40",
                         "square:1000:1:0:3",
                         "sum:1000:1:2000",
                         "sine:abc:1",
                         "noise:1:1",
                         "sine:1000:1:0:40:50:60"};
    for (const char* b : bad) EXPECT_FALSE(Waveform::parse(b)) << b;
}

TEST(BenchSignals, VoltsOverTime) {
    const Waveform sine = *Waveform::parse("sine:1000:2:0.5");
    EXPECT_NEAR(sine.volts(0), 0.5, 1e-9);
    EXPECT_NEAR(sine.volts(250 * kUs), 1.5, 1e-9); // a quarter period: the crest
    EXPECT_NEAR(sine.mean(), 0.5, 1e-12);
    EXPECT_NEAR(sine.periodPs(), 1e9, 1);

    // -20 dB second harmonic: a tenth of the fundamental's amplitude.
    const Waveform h = *Waveform::parse("sine:1000:2:0:20:200");
    const Picoseconds t = 100 * kUs;
    const double w = 2 * M_PI * 1000 * 1e-4;
    EXPECT_NEAR(h.volts(t), std::sin(w) + 0.1 * std::sin(2 * w) + 1e-10 * std::sin(3 * w), 1e-9);

    const Waveform sq = *Waveform::parse("square:1000:2:1");
    EXPECT_DOUBLE_EQ(sq.volts(100 * kUs), 2.0);
    EXPECT_DOUBLE_EQ(sq.volts(600 * kUs), 0.0);
    EXPECT_EQ(sq.stableUntil(100 * kUs), 500 * kUs); // the next edge

    const Waveform sum = *Waveform::parse("sum:1000:2:4000:1");
    EXPECT_NEAR(sum.volts(62500000), std::sin(M_PI / 8) + 0.5 * std::sin(M_PI / 2), 1e-9);
    EXPECT_EQ(sum.periodPs(), 0.0); // left to scanning
}

TEST(BenchSignals, CalibratorRingsAsTheBenchSays) {
    // Rising edge at 0, falling edge at 500 us; 0..2 V.
    const Calibrator cal;
    double peak = 0, dipAfterPeak = 3;
    bool pastPeak = false;
    for (Picoseconds t = 0; t < 400 * kPsPerNs; t += 100) {
        const double v = cal.volts(t);
        if (v > peak) peak = v;
        if (v < peak - 0.01) pastPeak = true;
        if (pastPeak) dipAfterPeak = std::min(dipAfterPeak, v);
    }
    EXPECT_NEAR(peak, 2.0 * 1.08, 0.02);       // about 8 % overshoot
    EXPECT_GT(dipAfterPeak, 2.0 * (1 - 0.01)); // the rebound stays within a percent
    // Rising through 10 % .. 90 % within about 8 ns.
    Picoseconds t10 = 0, t90 = 0;
    for (Picoseconds t = 0; t90 == 0; t += 100) {
        if (t10 == 0 && cal.volts(t) >= 0.2) t10 = t;
        if (cal.volts(t) >= 1.8) t90 = t;
    }
    EXPECT_LT(t90 - t10, 8 * kPsPerNs);
    // Settled long before the next edge, and the falling edge mirrors the rising one.
    EXPECT_NEAR(cal.volts(250 * kUs), 2.0, 1e-9);
    EXPECT_NEAR(cal.volts(500 * kUs + 10 * kPsPerNs) + cal.volts(10 * kPsPerNs), 2.0, 1e-9);
}

} // namespace
} // namespace kx::sim
