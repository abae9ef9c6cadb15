// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/LcMeterRun.h"
#include "analyzers/SweepCalibration.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

using namespace kx::analyzers;

namespace {

constexpr int kN = 10000;
constexpr std::int32_t kRange = 200000; // µV per division

// A1 record of the current step: a sine of `volts` peak to peak at the step's cycle count,
// with the phase word the generator reports for no delay.
class LcBench {
public:
    explicit LcBench(LcMeterRun& run) : m_run(run), m_samples(kN) {}
    LcFrameActions frame(double volts, std::int32_t peakToPeak = 40000) {
        const LcStep& step = m_run.table().steps[static_cast<std::size_t>(m_run.step())];
        const LcStepSetup s = lcStepSetup(step);
        const double d = std::round(step.frequencyHz * kN * 5 * s.decimation * 1e-9);
        const double codes = volts / 2 / (kRange * 8e-6 / 65536);
        for (int i = 0; i < kN; ++i)
            m_samples[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(
                std::lround(0x8000 + codes * std::sin(2 * std::numbers::pi * d * i / kN)));
        LcFrame f;
        f.analogCount = kN;
        f.peakToPeak = peakToPeak;
        f.scaleUv = kRange;
        f.infoWord36 = static_cast<std::uint32_t>(
            static_cast<std::uint64_t>(std::trunc(static_cast<double>(s.genFreqWord) * 100.1)) & 0xFFFF);
        f.a1 = m_samples;
        return m_run.onFrame(f, false);
    }

private:
    LcMeterRun& m_run;
    std::vector<std::int32_t> m_samples;
};

} // namespace

TEST(LcMeterRun, CalibrationWalksEveryStepThenStops) {
    LcMeterRun run;
    run.configure(false, false, false);
    LcBench bench(run);
    run.startCalibration(false);
    auto a = bench.frame(1.0);
    EXPECT_TRUE(a.stepSetup); // first skipped frame sets step 0 up
    EXPECT_TRUE(a.sendSettings);
    EXPECT_EQ(a.progress, 0);
    EXPECT_EQ(a.setup.genAmplitudeCode, 1000u);
    EXPECT_FALSE(bench.frame(1.0).stepSetup); // second skipped frame
    int frames = 0;
    LcFrameActions last;
    while (run.running() && frames < 1000) {
        last = bench.frame(1.0);
        ++frames;
        if (last.progress > 0 && !last.evaluated) {
            EXPECT_EQ(last.progress, run.step()); // step k done: progress k + 1, step k + 1 set up
            EXPECT_TRUE(last.stepSetup);
        }
    }
    EXPECT_EQ(frames, 13 * 11); // one discarded and ten averaged frames per step
    ASSERT_TRUE(last.evaluated);
    EXPECT_TRUE(last.runEnded);
    EXPECT_TRUE(last.evaluation.calibrationOk);
    for (int k = 0; k < 13; ++k)
        EXPECT_NEAR(run.calibration().reference[static_cast<std::size_t>(k)], 1.0, 2e-3) << k;
    EXPECT_FALSE(run.calibration().lowCapMode);
}

TEST(LcMeterRun, AutoRangingAndIgnoredFrames) {
    LcMeterRun run;
    run.configure(false, false, false);
    LcBench bench(run);
    run.startMeasuring();
    for (int i = 0; i < 5; ++i) bench.frame(1.0);
    auto a = bench.frame(1.0, -1); // overloaded at 0.2 V/div: one range up
    ASSERT_TRUE(a.rangeChange);
    EXPECT_EQ(a.range.rangeUv, 500000);
    EXPECT_TRUE(a.sendSettings);
    a = bench.frame(1.0, 1000); // a small span: one range down
    ASSERT_TRUE(a.rangeChange);
    EXPECT_EQ(a.range.rangeUv, 100000);
    // While the settings frame is pending nothing is measured.
    LcFrame f;
    f.analogCount = kN;
    EXPECT_FALSE(run.onFrame(f, true).stepSetup);

    // "Self C": no range changes, overloaded frames ignored.
    run.startCalibration(true);
    bench.frame(0.025);
    bench.frame(0.025);
    a = bench.frame(0.025, -1);
    EXPECT_FALSE(a.rangeChange);
    EXPECT_FALSE(a.sendSettings);
}

TEST(SweepCalibration, FrameOutcomes) {
    SweepCalFrame f{500, 2000, false, 566, 50000};
    auto o = networkCalibrationFrame(f);
    EXPECT_EQ(o.progress, 500);
    EXPECT_FALSE(o.aborted);
    EXPECT_FALSE(o.complete);
    f.analogCount = 2000;
    EXPECT_TRUE(networkCalibrationFrame(f).complete);
    f.genAmplitudeWord = 0;
    o = networkCalibrationFrame(f);
    EXPECT_TRUE(o.aborted);
    EXPECT_EQ(o.status, SweepCalStatus::AmplitudeLow);
    f.overdriveA1 = true;
    EXPECT_EQ(networkCalibrationFrame(f).status, SweepCalStatus::Overdriven);

    // Antenna: 0.5 V/div spans 4000 mV, more than 5 x an amplitude of 700 mV.
    SweepCalFrame a{2000, 2000, false, 700, 500000};
    EXPECT_EQ(antennaCalibrationFrame(a).status, SweepCalStatus::AmplitudeLow);
    a.genAmplitudeWord = 800;
    EXPECT_TRUE(antennaCalibrationFrame(a).complete);

    EXPECT_EQ(sweepCalStatusText(true, SweepCalStatus::Overdriven, false), "Done");
    EXPECT_EQ(sweepCalStatusText(false, SweepCalStatus::Overdriven, true), "Перегрузка входа");
    EXPECT_EQ(sweepCalStatusText(false, SweepCalStatus::None, false), "-");
    EXPECT_EQ(useCalibrationCaption("/home/u/cal/a.kxc", false), "Use Calibration (a.kxc)");
    EXPECT_EQ(useCalibrationCaption("", true), "Исп. калибровку (файл не загружен)");
    EXPECT_EQ(calibrationInfoText(0, 10000, 100000000), "");
    EXPECT_EQ(calibrationInfoText(1000, 10000, 100000000).rfind("Points = 1000, Fstart = ", 0), 0u);

    auto points = std::make_unique<kx::core::AnalyzerPointArrays>();
    points->clear();
    points->re[1] = 0.5;
    const auto copy = copySweepPoints(*points, 1000);
    ASSERT_EQ(copy.size(), 1000u);
    EXPECT_EQ(copy[1].real(), 0.5);
}
