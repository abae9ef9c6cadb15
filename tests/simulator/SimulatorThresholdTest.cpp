// SPDX-License-Identifier: GPL-3.0-or-later
// The logic inputs on the generator's output: each compares the 0..3 V test sine against its own
// threshold DAC, so the share of low samples tells the threshold back, as the system calibration's
// digital test reads it.
#include "SimulatorDataFixture.h"
#include "calibration/SystemMeasurement.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace kxtest;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr std::array<double, 3> kThresholds = {500000.0, 1500000.0, 2500000.0}; // uV

// A quarter of the threshold against a 3.3 V, 16-bit DAC.
std::uint32_t thresholdCode(double microvolts) {
    return static_cast<std::uint32_t>(std::lround(microvolts / 1000.0 * 0.001 * 0.25 * 65536.0 / 3.3));
}

// The threshold at which the 0..3 V sine spends the fraction z of its period below it (uV).
double estimatedThreshold(double z) {
    return (std::cos((1.0 - z) * kPi) * 0.5 + 0.5) * 3000000.0;
}

bool passes(double estimate, double threshold) {
    return 0.99 * threshold - 100000.0 <= estimate && estimate <= 1.01 * threshold + 100000.0;
}

class SimulatorThreshold : public SimulatorData {};

TEST_F(SimulatorThreshold, GeneratorSineOnTheLogicInputsTellsTheirThresholds) {
    using namespace kx::calibration;
    ASSERT_EQ(d2xx().control("d1=generator;d2=generator;d3=generator;d4=generator"), 0);
    struct Case {
        double d123; // uV, D1..D3 threshold
        double d4;   // uV, D4 threshold
    };
    const Case cases[] = {
        {500000.0, 500000.0},
        {1500000.0, 1500000.0},
        {2500000.0, 2500000.0},
        {500000.0, 2500000.0}, // D4 has a DAC of its own
    };
    constexpr std::size_t kPoints = kCalibrationPoints;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "D1..D3 " << c.d123 << " uV, D4 " << c.d4 << " uV");
        Registers g = calibrationBase();
        g.set16(72, thresholdCode(c.d123));
        g.set16(74, thresholdCode(c.d4));
        SystemMeasurement m;
        std::array<std::vector<std::int32_t>, 4> d;
        std::vector<std::int32_t> a1, a2;
        bool ready = false;
        for (int i = 0; i < kSystemFramesPerResult; ++i) {
            const Frame f = frame(g, kPoints);
            ASSERT_EQ(f.analog[0].size(), kPoints);
            a1.assign(f.analog[0].begin(), f.analog[0].end());
            a2.assign(f.analog[1].begin(), f.analog[1].end());
            SystemFrame sf;
            sf.a1 = a1;
            sf.a2 = a2;
            for (std::size_t ch = 0; ch < 4; ++ch) {
                ASSERT_EQ(f.digital[ch].size(), kPoints);
                // The program's frame record holds logic samples as 0 or 256.
                d[ch].clear();
                for (const int bit : f.digital[ch]) d[ch].push_back(bit * 256);
                sf.digital[ch] = d[ch];
            }
            sf.count = kPoints;
            sf.rangeA1 = sf.rangeA2 = 500000.0;
            ready = m.frame(sf);
        }
        ASSERT_TRUE(ready);
        for (std::size_t ch = 0; ch < 4; ++ch) {
            const double set = ch == 3 ? c.d4 : c.d123;
            const double tn = estimatedThreshold(m.results().lowFraction[ch]);
            EXPECT_NEAR(tn, set, 20000.0) << "D" << ch + 1;
            for (const double t : kThresholds)
                EXPECT_EQ(passes(tn, t), t == set) << "D" << ch + 1 << " at " << t;
        }
    }
}

TEST_F(SimulatorThreshold, LogicTriggerFindsTheSineCrossingItsThreshold) {
    // D1 rising at 1.5 V, normal trigger, 5 ns per sample: the search has a millisecond of sine
    // to cover before the crossing.
    ASSERT_EQ(d2xx().control("d1=generator"), 0);
    constexpr std::size_t kPoints = 5000;
    Registers g = calibrationBase();
    g.r[1] = 0x02;
    g.r[2] = 0x80;
    g.set32(5, 1);
    g.set16(9, kPoints / 2);
    g.set16(11, kPoints / 2);
    g.set16(72, thresholdCode(1500000.0));
    for (int i = 0; i < 3; ++i) {
        const Frame f = frame(g, kPoints);
        ASSERT_EQ(f.digital[0].size(), kPoints);
        EXPECT_EQ(f.info[0] & 0x04, 0) << "triggered";
        EXPECT_EQ(f.digital[0][kPoints / 2], 0);
        EXPECT_EQ(f.digital[0][kPoints / 2 + 1], 1);
    }
}

TEST_F(SimulatorThreshold, LogicInputsGoBackToTheirBenchSignals) {
    // A 1.65 V threshold splits the 0..3 V sine nearly in half; the default D2 clock is half high too,
    // but a fixed level and the default D4 pulse (10 % high) are not.
    ASSERT_EQ(d2xx().control("d1=generator;d3=low;d4=generator"), 0);
    Registers g = calibrationBase();
    g.set16(72, thresholdCode(1650000.0));
    g.set16(74, thresholdCode(1650000.0));
    const auto lowShare = [](const std::vector<int>& v) {
        double low = 0.0;
        for (const int bit : v) low += bit == 0 ? 1.0 : 0.0;
        return v.empty() ? -1.0 : low / static_cast<double>(v.size());
    };
    Frame f = frame(g, kCalibrationPoints);
    EXPECT_NEAR(lowShare(f.digital[0]), std::acos(1.0 - 2.0 * 1.65 / 3.0) / kPi, 0.01);
    EXPECT_EQ(lowShare(f.digital[2]), 1.0);
    EXPECT_NEAR(lowShare(f.digital[3]), lowShare(f.digital[0]), 0.01);

    ASSERT_EQ(d2xx().control("d4=default"), 0);
    f = frame(g, kCalibrationPoints);
    EXPECT_NEAR(lowShare(f.digital[3]), 0.9, 0.01);
}

} // namespace
