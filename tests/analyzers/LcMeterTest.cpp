// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/LcMeterEvaluation.h"
#include "analyzers/LcMeterSteps.h"
#include "analyzers/LcMeterSums.h"
#include "core/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <vector>

using namespace kx::analyzers;

namespace {

constexpr double kPi = std::numbers::pi;

// What the meter reads across an impedance z fed through rg from v: amplitude and phase.
void readImpedance(const LcTable& t, const LcCalibration& cal, LcMeasurement& m,
                   const std::function<std::complex<double>(double)>& zOf) {
    for (int k = 0; k < t.count; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const std::complex<double> z = zOf(t.steps[i].frequencyHz);
        const std::complex<double> h = z / (z + cal.rg);
        m.amplitude[i] = std::abs(h) * cal.reference[i];
        m.phase[i] = std::arg(h);
    }
}

bool contains(const std::vector<std::string>& memo, const std::string& line) {
    for (const auto& l : memo)
        if (l == line) return true;
    return false;
}

} // namespace

TEST(LcMeterSteps, TablesAndStepRegisters) {
    const LcTable t = lcStandardTable(false);
    ASSERT_EQ(t.count, 13);
    EXPECT_EQ(t.steps[4].frequencyHz, 1000);
    EXPECT_EQ(t.steps[12].frequencyHz, 10000000);
    EXPECT_EQ(lcStandardTable(true).steps[0].testVolts, 0.5);
    const LcTable s = lcSelfCTable();
    EXPECT_EQ(s.count, 9);
    EXPECT_EQ(s.steps[8].fixedRangeUv, 2000000);

    const LcStepSetup a = lcStepSetup(t.steps[4]);
    EXPECT_EQ(a.genFreqWord, static_cast<std::uint64_t>(std::trunc(1000 * 1.000005 * 703687.44177664 + 0.5)));
    EXPECT_EQ(a.genAmplitudeCode, 1000u);
    EXPECT_EQ(a.genOffsetVolts, -0.5);
    EXPECT_EQ(a.timeDivNs, 100000u);
    EXPECT_EQ(a.decimation, 20u);
    EXPECT_EQ(a.fixedRangeUv, 0);
    // 4 MHz: T = 25 ns, 10 T / 50000 rounds up to 1; 1 MHz: T = 100 gives 1 too.
    EXPECT_EQ(lcStepSetup(t.steps[11]).decimation, 1u);
    // A divider of exactly 3 becomes 4: T = 15000 ns (f = 6666.67 Hz).
    EXPECT_EQ(lcStepSetup({1e8 / 15000, 1.0, 0}).decimation, 4u);
    const LcStepSetup fixed = lcStepSetup(s.steps[0]);
    EXPECT_EQ(fixed.genAmplitudeCode, 25u);
    EXPECT_EQ(fixed.fixedRangeUv, 5000);
    EXPECT_EQ(fixed.range.gainCode, 2);
    EXPECT_EQ(fixed.frontEndByte, 9);
}

TEST(LcMeterSteps, RegistersWhenTheDialogOpens) {
    const auto r = lcInitialRegisters(false);
    EXPECT_EQ(r.timeDivNs, 10000000u);
    EXPECT_EQ(r.decimation, 2000u);
    EXPECT_EQ(r.gainCode, 10);
    const auto c = lcInitialRegisters(true);
    EXPECT_EQ(c.rangeUv, 100000);
    EXPECT_EQ(c.frontEndByte, 8);
}

TEST(LcMeterSteps, AutoRanging) {
    struct Case {
        std::int32_t span, range;
        bool autoRanging;
        LcRangeAction action;
        std::int32_t newRange;
    };
    for (const Case c : {
             Case{-1, 2000000, true, LcRangeAction::Ignore, 2000000},  // overloaded at the top range
             Case{-1, 200000, true, LcRangeAction::Change, 500000},    // overloaded: one up
             Case{10000, 200000, true, LcRangeAction::Change, 100000}, // under 0.3 of full scale: one down
             Case{10000, 5000, true, LcRangeAction::Keep, 5000},       // already the lowest
             Case{30000, 200000, true, LcRangeAction::Keep, 200000},
             Case{-1, 200000, false, LcRangeAction::Ignore, 200000}, // "Self C" or compact front end
             Case{10000, 200000, false, LcRangeAction::Keep, 200000},
         }) {
        const auto d = lcAutoRange(c.span, c.range, c.autoRanging);
        EXPECT_EQ(d.action, c.action) << c.span << " " << c.range;
        EXPECT_EQ(d.rangeUv, c.newRange) << c.span << " " << c.range;
    }
    const auto down = lcAutoRange(100, 10000, true);
    EXPECT_EQ(down.rangeUv, 5000);
    EXPECT_EQ(down.frontEndByte, 9);
    EXPECT_EQ(down.codes.gainCode, 2);
    EXPECT_EQ(lcAutoRange(-1, 500000, true).codes.gainCode, 14);
}

TEST(LcMeterSums, AmplitudeAndPhaseOfARecordedSine) {
    // 10000 samples of 1 kHz at decimation 20 (100 ns per sample): d = 1 cycle.
    constexpr int n = 10000;
    const double amplitudeCodes = 8000, phase = 0.4;
    std::vector<std::int32_t> a1(n);
    for (int i = 0; i < n; ++i)
        a1[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(
            std::lround(0x8000 + amplitudeCodes * std::sin(2 * kPi * i / n + phase)));
    const LcSums sums = lcFourierSums(a1, n, 1000, 20);
    EXPECT_EQ(sums.cycles, 1);
    // atan2(C, S) of sin(x + p) is p.
    const std::uint64_t word = 123456789;
    const auto expected = static_cast<std::uint64_t>(std::trunc(word * 100.1));
    EXPECT_NEAR(lcFramePhase(sums, static_cast<std::uint32_t>(expected & 0xFFFF), word, 0), phase, 1e-3);
    // A phase word 16384 counts ahead turns it back by a quarter turn, wrapped into -pi..pi.
    EXPECT_NEAR(lcFramePhase(sums, static_cast<std::uint32_t>((expected + 16384) & 0xFFFF), word, 0),
                phase - kPi / 2, 1e-3);
    EXPECT_NEAR(lcFramePhase(sums, static_cast<std::uint32_t>(expected & 0xFFFF), word, 3.0),
                phase + 3.0 - 2 * kPi, 1e-3);

    LcStepAverager avg;
    avg.restart();
    EXPECT_FALSE(avg.add(sums, 0.4, 5)); // discarded
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(avg.add(sums, 0.4, 5));
    EXPECT_TRUE(avg.add(sums, 0.4, 5));
    // 8000 codes at 200 mV/div: 8000 x 1.6 V / 65536 peak, twice that peak to peak.
    EXPECT_NEAR(avg.amplitude(200000, n, 5), 2 * 8000 * 1.6 / 65536, 1e-4);
    EXPECT_NEAR(avg.phase(5), 0.4, 1e-12);
}

class LcEvaluationTest : public ::testing::Test {
protected:
    void SetUp() override { resetLcCalibration(cal, table); }
    LcEvaluation run(bool calibrating) {
        LcEvaluationInput in;
        in.table = &table;
        in.measured = m;
        in.calibrating = calibrating;
        return evaluateLcMeter(in, cal);
    }
    LcTable table = lcStandardTable(false);
    LcCalibration cal;
    LcMeasurement m;
};

TEST_F(LcEvaluationTest, CalibrationRatiosDecide) {
    for (int k = 0; k < 13; ++k) m.amplitude[static_cast<std::size_t>(k)] = 0.95;
    m.phase[3] = 0.01;
    auto e = run(true);
    EXPECT_TRUE(e.calibrationOk);
    EXPECT_TRUE(e.startEnabled);
    EXPECT_TRUE(contains(e.memo, "Calibration ok"));
    EXPECT_EQ(e.result, "...");
    EXPECT_EQ(cal.reference[5], 0.95);
    EXPECT_EQ(cal.phaseCorrection[3], -0.01);
    EXPECT_FALSE(cal.lowCapMode);
    EXPECT_EQ(cal.rg, 50);
    EXPECT_EQ(e.memo[0], "F          |U| %    Ph(Grad)");
    EXPECT_EQ(e.memo[5], "1.000 KHz   95.00     0.00   "); // padded to 29 after the phase

    for (const double bad : {0.1, 1.1}) {
        resetLcCalibration(cal, table);
        m.amplitude.fill(0.95);
        m.amplitude[7] = bad;
        e = run(true);
        EXPECT_FALSE(e.calibrationOk) << bad;
        EXPECT_FALSE(e.startEnabled);
        EXPECT_TRUE(e.resetProgress);
        EXPECT_TRUE(contains(e.memo, "Calibration failed.")) << bad;
        EXPECT_EQ(cal.reference[7], 1.0); // unchanged
    }
}

TEST_F(LcEvaluationTest, LowCapacitanceModeFromTheTenMegahertzStep) {
    m.amplitude.fill(0.95);
    m.amplitude[12] = 0.95 / 1.1 - 0.001;
    const auto e = run(true);
    ASSERT_TRUE(e.calibrationOk);
    EXPECT_TRUE(cal.lowCapMode);
    EXPECT_DOUBLE_EQ(cal.rg, 2050.5 * 1e6 / (2050.5 + 1e6));
    const std::string& text = e.memo.back();
    EXPECT_EQ(text.rfind("Calibration ok\r\nLow cap. mode assumed  Rg = ", 0), 0u) << text;
}

TEST_F(LcEvaluationTest, ResistorCapacitorAndInductor) {
    // 1 kOhm: no reactive step; R read at 1 kHz.
    readImpedance(table, cal, m, [](double) { return std::complex<double>(1000, 0); });
    auto e = run(false);
    EXPECT_EQ(e.chosenStep, -1);
    EXPECT_NEAR(e.rser[4], 1000, 1e-6);
    EXPECT_EQ(e.result, "R = " + kx::core::formatNumber(e.rser[4], kx::core::UnitType::Resistance, -3));
    EXPECT_TRUE(contains(e.memo, "Test Frequency R = " + kx::core::formatNumber(1000.0, 2, -3)));
    EXPECT_TRUE(contains(e.memo, "Test Voltage SIN 1.00 Vpp. DC Bias = 0.0 V"));
    EXPECT_EQ(e.memo[0], "F          |U| %    Ph(Grad) Rs         C         L");

    readImpedance(table, cal, m, [](double) { return std::complex<double>(20000, 0); });
    EXPECT_EQ(run(false).result, "...");

    // 100 nF with 0.5 Ohm ESR.
    readImpedance(table, cal, m,
                  [](double f) { return std::complex<double>(0.5, -1 / (2 * kPi * f * 100e-9)); });
    e = run(false);
    ASSERT_GE(e.chosenStep, 0);
    EXPECT_NEAR(e.capacitance[static_cast<std::size_t>(e.chosenStep)], 100e-9, 1e-12);
    EXPECT_EQ(e.result.rfind("C = 100", 0), 0u) << e.result;
    EXPECT_EQ(e.result.find("ESR"), std::string::npos); // 100 nF is not above 0.5 uF

    readImpedance(table, cal, m,
                  [](double f) { return std::complex<double>(0.05, -1 / (2 * kPi * f * 10e-6)); });
    e = run(false);
    EXPECT_NE(e.result.find("      ESR = "), std::string::npos) << e.result;

    // 100 uH with 2 Ohm.
    readImpedance(table, cal, m, [](double f) { return std::complex<double>(2, 2 * kPi * f * 100e-6); });
    e = run(false);
    ASSERT_GE(e.chosenStep, 0);
    EXPECT_NEAR(e.inductance[static_cast<std::size_t>(e.chosenStep)], 100e-6, 1e-9);
    EXPECT_EQ(e.result.rfind("L = 100", 0), 0u) << e.result;
    EXPECT_NE(e.result.find("      Rs = 2"), std::string::npos) << e.result;
    cal.lowCapMode = true;
    EXPECT_EQ(run(false).result, "...");
}

TEST_F(LcEvaluationTest, SelfCMeasurementEndsWithTheTestFrequency) {
    table = lcSelfCTable();
    resetLcCalibration(cal, table);
    m.amplitude.fill(0.5);
    const auto e = run(false);
    EXPECT_FALSE(e.resultChanged);
    EXPECT_EQ(e.memo.back(), "Test Freq. = " + kx::core::formatNumber(400000.0, 2, -3));
    EXPECT_EQ(e.memo[1].rfind("5 mV/Div", 0), 0u);
}
