// SPDX-License-Identifier: GPL-3.0-or-later
// The analyzers measure the simulated circuits: the antenna analyzer after an open/short/load
// calibration, the LC meter after its calibration with nothing connected. The instrument runs in
// this process so the bench can change between the steps, as a person would change it.
#include "AnalyzeRun.h"

#include "analyzers/AnalyzerFrame.h"
#include "analyzers/AntennaAnalyzer.h"
#include "analyzers/NetworkAnalyzer.h"
#include "app/AnalyzerPresets.h"
#include "core/DeviceModel.h"
#include "support/SimDevice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace kx::tool {
namespace {

constexpr int kSeconds = 60;

class AnalyzerBenchTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KX48ZZ_D2XX", KX_SIM_LIBRARY, 1);
        setenv("KX48ZZ_SIM", "pacing=off;seed=3", 1);
        ASSERT_EQ(kx::testing::simControl("reset"), 0);
        ASSERT_EQ(kx::testing::simControl("pacing=off;seed=3"), 0);
    }
    void TearDown() override {
        run.reset();
        kx::testing::simControl("reset");
    }
    void bench(const std::string& circuit) {
        ASSERT_EQ(kx::testing::simControl(("bench=" + circuit).c_str()), 0);
    }

    void openAntenna() {
        run = std::make_unique<AnalyzeRun>();
        ASSERT_TRUE(run->open("test", {}, [](core::InstrumentState& s) {
            app::setAntennaAnalyzer(s, true);
            // 1 .. 100 MHz.
            s.generator.FMult = 3;
            s.generator.FStart = 1000;
            s.generator.FSweep = 100000;
            s.generator.On = true;
            s.scope.Running = true;
        }));
        ASSERT_TRUE(run->waitConfigured());
    }

    // Open, short and load in turn; then the terms are in use and the analyzer runs again.
    void calibrateAntenna() {
        auto& engine = run->engine();
        auto& sweep = engine.antennaSweep();
        const std::int32_t span = analyzers::kCalibrationPlanSpanHz;
        run->gui([&] {
            engine.setDialogOpen(true);
            sweep.open(run->registers(), run->flags(), span);
        });
        const char* standards[] = {"open", "short", "load"};
        for (int i = 0; i < 3; ++i) {
            bench(standards[i]);
            run->gui([&] { sweep.begin(i, run->registers(), run->flags(), span); });
            ASSERT_TRUE(run->waitFor([&] { return sweep.step() == 0; }, kSeconds));
            ASSERT_TRUE(sweep.done(i)) << standards[i];
        }
        engine.replaceAntennaTable(analyzers::buildAntennaTerms(
            sweep.values(0), sweep.values(1), sweep.values(2), analyzers::kCalibrationPlanStartHz, span));
        run->gui([&] {
            engine.setDialogOpen(false);
            engine.setUse(false, true);
            run->state.scope.Running = true;
            run->state.scope.SingleMode = false;
            run->settingsChanged();
        });
    }

    std::unique_ptr<core::FrameRecord> sweep(int kind) {
        auto frame = std::make_unique<core::FrameRecord>();
        EXPECT_TRUE(run->takeSweep(kind, *frame, kSeconds));
        return frame;
    }
    // A sweep wholly taken after the last bench change: the one in flight is let go.
    std::unique_ptr<core::FrameRecord> freshSweep(int kind) {
        sweep(kind);
        return sweep(kind);
    }

    std::unique_ptr<AnalyzeRun> run;
};

// The frequency and the value of each point with data.
template <typename F> void forPoints(const core::FrameRecord& f, F&& each) {
    const auto& h = f.header;
    const int n = h.signedWord(core::fh::CaptureLength);
    for (int k = 0; k < n; ++k) {
        const auto i = static_cast<std::size_t>(k);
        if (!analyzers::hasAnalyzerData(f.points.re[i], f.points.im[i])) continue;
        each(analyzers::analyzerPointFrequency(h.get64(core::fh::SweepStart), h.get64(core::fh::SweepSpan), n,
                                               h.signedWord(core::fh::PreTrigger), k),
             std::complex<double>(f.points.re[i], f.points.im[i]));
    }
}

TEST_F(AnalyzerBenchTest, OpenShortLoadCalibrationCorrectsTheBridge) {
    bench("load");
    openAntenna();
    // Uncorrected, the bridge's own mismatch shows.
    double worst = 0;
    forPoints(*sweep(2), [&](double, std::complex<double> g) { worst = std::max(worst, std::abs(g)); });
    EXPECT_GT(worst, 0.02);

    calibrateAntenna();
    bench("load");
    int points = 0;
    double swrMax = 0;
    forPoints(*freshSweep(2), [&](double, std::complex<double> g) {
        ++points;
        swrMax = std::max(swrMax, analyzers::antennaQuantities(g, 50).swr);
    });
    EXPECT_EQ(points, 1000);
    EXPECT_LT(swrMax, 1.05);

    // A series circuit: resonance at 1 / (2 pi sqrt(L C)) = 15.92 MHz, where Z = R.
    bench("rlc:20:1u:100p");
    const double f0 = 1.0 / (2.0 * M_PI * std::sqrt(1e-6 * 100e-12));
    double prevHz = 0, prevX = 0, resonance = 0, rAt = 0;
    forPoints(*freshSweep(2), [&](double hz, std::complex<double> g) {
        const analyzers::AntennaQuantities q = analyzers::antennaQuantities(g, 50);
        if (resonance == 0 && prevHz > 0 && prevX < 0 && q.xs >= 0) {
            const double t = -prevX / (q.xs - prevX);
            resonance = prevHz + t * (hz - prevHz);
            rAt = std::abs(q.z);
        }
        prevHz = hz;
        prevX = q.xs;
    });
    EXPECT_NEAR(resonance, f0, 0.01 * f0);
    EXPECT_NEAR(rAt, 20.0, 0.05 * 20.0);
}

struct LcCase {
    const char* circuit;
    const char* label;
    double value; // in the result's unit after its prefix
};

double resultValue(const std::string& result, const char* label) {
    const auto at = result.find(label);
    if (at == std::string::npos) return -1;
    std::size_t used = 0;
    const double v = std::stod(result.substr(at + std::strlen(label)), &used);
    const std::string unit = result.substr(at + std::strlen(label) + used + 1, 3);
    const double scale = unit[0] == 'p'                    ? 1e-12
                         : unit[0] == 'n'                  ? 1e-9
                         : unit[0] == 'u'                  ? 1e-6
                         : unit[0] == 'm' && unit != "mOh" ? 1e-3
                         : unit[0] == 'K'                  ? 1e3
                                                           : 1.0;
    return v * scale;
}

TEST_F(AnalyzerBenchTest, LcMeterReadsTheComponentsAfterCalibration) {
    bench("lc:open");
    run = std::make_unique<AnalyzeRun>();
    ASSERT_TRUE(run->open("test", {}, [](core::InstrumentState& s) {
        s.scope.A2.shown = false;
        s.scope.CH_D1 = s.scope.CH_D2 = s.scope.CH_D3 = s.scope.CH_D4 = false;
        s.scope.Running = true;
    }));
    ASSERT_TRUE(run->waitConfigured());
    auto& lc = run->engine().lcMeter();
    run->gui([&] {
        app::LcInstrument instrument;
        instrument.zeroTable = run->state.calibration.ZeroTable;
        instrument.systemTable = run->state.calibration.SystemTable;
        lc.open(instrument, false, false);
        run->publishPoints(analyzers::lcInitialRegisters(false).points);
    });
    auto once = [&](bool calibrating) {
        const std::uint32_t before = lc.view().evaluations;
        run->gui([&] { calibrating ? lc.calibrate(false) : lc.start(); });
        return run->waitFor([&] { return lc.view().evaluations > before; }, kSeconds);
    };
    ASSERT_TRUE(once(true));
    ASSERT_TRUE(lc.view().startEnabled) << lc.view().memo.back();

    const LcCase cases[] = {
        {"lc:0.05:0:100n", "C = ", 100e-9},
        {"lc:0.1:10u:0", "L = ", 10e-6},
        {"lc:1k:0:0", "R = ", 1000.0},
    };
    for (const LcCase& c : cases) {
        bench(c.circuit);
        run->gui([&] { lc.stop(); });
        ASSERT_TRUE(once(false)) << c.circuit;
        const std::string result = lc.view().result;
        EXPECT_NEAR(resultValue(result, c.label), c.value, 0.02 * c.value) << c.circuit << ": " << result;
    }
}

} // namespace
} // namespace kx::tool
