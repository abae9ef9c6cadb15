// SPDX-License-Identifier: GPL-3.0-or-later
// analyze: runs the network analyzer, the antenna analyzer or the LC meter on the instrument as
// the program does, and writes what they measured (or their calibration files).
#include "AnalyzeRun.h"
#include "Commands.h"

#include "analyzers/AnalyzerFrame.h"
#include "analyzers/AnalyzerSettingsMap.h"
#include "analyzers/AntennaAnalyzer.h"
#include "analyzers/AntennaCalFile.h"
#include "analyzers/NetworkAnalyzer.h"
#include "analyzers/NetworkCalFile.h"
#include "analyzers/SweepExport.h"
#include "app/AnalyzerPresets.h"
#include "core/DeviceModel.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>
#include <string>

namespace kx::tool {

namespace {

constexpr int kSweepSeconds = 120;
constexpr int kLcSeconds = 120;

struct AnalyzeOptions {
    std::string settings, cal, saveResponse, out, s1p, calibrate;
    bool lcCalibrate = false;
};

int usage() {
    std::fprintf(
        stderr,
        "usage: kx48zz-tool analyze na [--settings FILE] [--cal FILE.kxc] [--save-response FILE.kxc] "
        "--out FILE.csv\n"
        "       kx48zz-tool analyze aa [--settings FILE] [--cal FILE.kxo] --out FILE.csv [--s1p FILE.s1p]\n"
        "       kx48zz-tool analyze aa [--settings FILE] --calibrate FILE.kxo\n"
        "       kx48zz-tool analyze lc [--settings FILE] [--calibrate]\n");
    return 2;
}

bool parse(int argc, char** argv, bool lc, AnalyzeOptions& o) {
    for (int i = 1; i < argc; ++i) {
        const bool value = i + 1 < argc;
        const char* a = argv[i];
        if (!std::strcmp(a, "--settings") && value)
            o.settings = argv[++i];
        else if (!lc && !std::strcmp(a, "--cal") && value)
            o.cal = argv[++i];
        else if (!lc && !std::strcmp(a, "--save-response") && value)
            o.saveResponse = argv[++i];
        else if (!lc && !std::strcmp(a, "--out") && value)
            o.out = argv[++i];
        else if (!lc && !std::strcmp(a, "--s1p") && value)
            o.s1p = argv[++i];
        else if (!lc && !std::strcmp(a, "--calibrate") && value)
            o.calibrate = argv[++i];
        else if (lc && !std::strcmp(a, "--calibrate"))
            o.lcCalibrate = true;
        else
            return false;
    }
    return true;
}

// Waits for the user's line; false at the end of the input.
bool waitForLine() {
    std::fflush(stdout);
    std::string line;
    return static_cast<bool>(std::getline(std::cin, line));
}

bool writeText(const std::string& path, const std::string& text, core::Prompt& prompt) {
    if (analyzers::writeTextFile(path, text)) return true;
    prompt.message("kx48zz-tool", path + "\r\nCan't open file for writing.", core::MessageStyle::Error);
    return false;
}

// One calibration sweep; false with the reason on stderr.
bool calibrationSweep(AnalyzeRun& run, app::SweepCalibrationRun& sweep, int standard, std::int32_t spanHz) {
    run.gui([&] { sweep.begin(standard, run.registers(), run.flags(), spanHz); });
    if (!run.waitFor([&] { return sweep.step() == 0; }, kSweepSeconds)) {
        std::fprintf(stderr, "kx48zz-tool analyze: the calibration sweep did not end within %d s\n",
                     kSweepSeconds);
        return false;
    }
    if (sweep.done(standard)) return true;
    std::fprintf(stderr, "kx48zz-tool analyze: %s\n",
                 analyzers::sweepCalStatusText(false, sweep.status(standard), false).c_str());
    return false;
}

std::int32_t planSpan(const core::InstrumentState& s) {
    return analyzers::calibrationPlanSpanHz(s.generator.Gen_200MHz, s.system.DebugMode);
}

// Opens the instrument with `prepare` applied to the settings and waits until it is configured;
// false with the reason on stderr.
bool start(AnalyzeRun& run, const std::string& settings,
           const std::function<void(core::InstrumentState&)>& prepare) {
    if (!run.open("analyze", settings, prepare)) return false;
    if (run.waitConfigured()) return true;
    std::fprintf(stderr, "kx48zz-tool analyze: the instrument did not report ready\n");
    return false;
}

// The analyzer's preset, the generator on and acquisition running, as the menu item leaves them.
std::function<void(core::InstrumentState&)> analyzerOn(void (*preset)(core::InstrumentState&, bool)) {
    return [preset](core::InstrumentState& s) {
        preset(s, true);
        s.generator.On = true;
        s.scope.Running = true;
        s.scope.SingleMode = false;
    };
}

// Opens a calibration sweep as its dialog does; the span of its plan.
std::int32_t openCalibration(AnalyzeRun& run, app::SweepCalibrationRun& sweep) {
    const std::int32_t span = planSpan(run.state);
    run.gui([&] {
        run.engine().setDialogOpen(true);
        sweep.open(run.registers(), run.flags(), span);
    });
    return span;
}

int network(const AnalyzeOptions& o) {
    if (o.out.empty() == o.saveResponse.empty()) return usage();
    AnalyzeRun run;
    if (!o.cal.empty()) {
        analyzers::NetworkCorrectionTable table;
        if (!analyzers::loadNetworkCalibrationWithMessage(o.cal, table, run.prompt(), false)) return 1;
        run.engine().replaceNetworkTable(std::move(table));
        run.engine().setUse(true, false);
    }
    if (!start(run, o.settings, analyzerOn(&app::setNetworkAnalyzer))) return 1;
    if (!o.saveResponse.empty()) {
        auto& sweep = run.engine().networkSweep();
        const std::int32_t span = openCalibration(run, sweep);
        if (!calibrationSweep(run, sweep, 0, span)) return 1;
        const auto table = analyzers::buildNetworkCorrection(sweep.values(0), false,
                                                             analyzers::kCalibrationPlanStartHz, span);
        run.close();
        if (!analyzers::saveNetworkCalibrationWithMessage(o.saveResponse, table, run.prompt(), false))
            return 1;
        std::printf("saved %s\n", o.saveResponse.c_str());
        return 0;
    }
    auto frame = std::make_unique<core::FrameRecord>();
    if (!run.takeSweep(1, *frame, kSweepSeconds)) {
        std::fprintf(stderr, "kx48zz-tool analyze: no complete sweep within %d s\n", kSweepSeconds);
        return 1;
    }
    run.close();
    const std::string csv = analyzers::networkSweepCsv(*frame);
    if (!writeText(o.out, csv, run.prompt())) return 1;
    std::printf("saved %s\n", o.out.c_str());
    return 0;
}

int antenna(const AnalyzeOptions& o) {
    if (o.calibrate.empty() == o.out.empty() || (!o.calibrate.empty() && (!o.cal.empty() || !o.s1p.empty())))
        return usage();
    AnalyzeRun run;
    if (!o.cal.empty()) {
        analyzers::AntennaTermTable table;
        if (!analyzers::loadAntennaCalibrationWithMessage(o.cal, table, run.prompt(), false)) return 1;
        run.engine().replaceAntennaTable(std::move(table));
        run.engine().setUse(false, true);
    }
    if (!start(run, o.settings, analyzerOn(&app::setAntennaAnalyzer))) return 1;
    if (!o.calibrate.empty()) {
        auto& sweep = run.engine().antennaSweep();
        const std::int32_t span = openCalibration(run, sweep);
        constexpr const char* kStandards[] = {"OPEN", "SHORT", "LOAD"};
        for (int i = 0; i < 3; ++i) {
            std::printf("connect %s\n", kStandards[i]);
            if (!waitForLine()) {
                std::fprintf(stderr, "kx48zz-tool analyze: the input ended before the %s step\n",
                             kStandards[i]);
                return 1;
            }
            if (!calibrationSweep(run, sweep, i, span)) return 1;
        }
        const auto table = analyzers::buildAntennaTerms(sweep.values(0), sweep.values(1), sweep.values(2),
                                                        analyzers::kCalibrationPlanStartHz, span);
        run.close();
        if (!analyzers::saveAntennaCalibrationWithMessage(o.calibrate, table, run.prompt(), false)) return 1;
        std::printf("saved %s\n", o.calibrate.c_str());
        return 0;
    }
    auto frame = std::make_unique<core::FrameRecord>();
    if (!run.takeSweep(2, *frame, kSweepSeconds)) {
        std::fprintf(stderr, "kx48zz-tool analyze: no complete sweep within %d s\n", kSweepSeconds);
        return 1;
    }
    run.close();
    const double zo = analyzers::antennaZoFrom(run.state.analyzer);
    if (!writeText(o.out, analyzers::antennaSweepCsv(*frame, zo), run.prompt())) return 1;
    std::printf("saved %s\n", o.out.c_str());
    if (!o.s1p.empty()) {
        if (!writeText(o.s1p, analyzers::touchstoneS1p(*frame), run.prompt())) return 1;
        std::printf("saved %s\n", o.s1p.c_str());
    }
    return 0;
}

void printMemo(const analyzers::LcMeterView& v) {
    for (const std::string& line : v.memo) std::printf("%s\n", plainLines(line).c_str());
}

int lcMeter(const AnalyzeOptions& o) {
    AnalyzeRun run;
    if (!start(run, o.settings, [](core::InstrumentState& s) {
            // The dialog's own start: A1 alone, probe x1, no spectra, no analyzer.
            s.scope.A2.shown = false;
            s.scope.CH_D1 = s.scope.CH_D2 = s.scope.CH_D3 = s.scope.CH_D4 = false;
            s.scope.A1.shown = true;
            s.scope.A1.probe = 0;
            s.fft.View_A1 = s.fft.View_A2 = false;
            s.analyzer.NA = s.analyzer.AA = false;
            s.scope.Running = true;
            s.scope.SingleMode = false;
        }))
        return 1;
    auto& lc = run.engine().lcMeter();
    run.gui([&] {
        app::LcInstrument instrument;
        instrument.compactFrontEnd = core::hasCompactFrontEnd(run.state.system.UiDeviceType);
        instrument.zeroTable = run.state.calibration.ZeroTable;
        instrument.systemTable = run.state.calibration.SystemTable;
        lc.open(instrument, run.state.system.DebugMode, false);
        run.publishPoints(analyzers::lcInitialRegisters(instrument.compactFrontEnd).points);
    });
    auto runOnce = [&](bool calibrating) {
        const std::uint32_t before = lc.view().evaluations;
        run.gui([&] { calibrating ? lc.calibrate(false) : lc.start(); });
        return run.waitFor([&] { return lc.view().evaluations > before; }, kLcSeconds);
    };
    if (o.lcCalibrate) {
        std::printf("connect nothing\n");
        if (!waitForLine()) return 1;
        if (!runOnce(true)) {
            std::fprintf(stderr, "kx48zz-tool analyze: the calibration did not end within %d s\n",
                         kLcSeconds);
            return 1;
        }
        const analyzers::LcMeterView v = lc.view();
        printMemo(v);
        if (!v.startEnabled) return 1;
        std::printf("connect the component\n");
        if (!waitForLine()) return 1;
    }
    if (!runOnce(false)) {
        std::fprintf(stderr, "kx48zz-tool analyze: the measurement did not end within %d s\n", kLcSeconds);
        return 1;
    }
    run.gui([&] { lc.close(); });
    const analyzers::LcMeterView v = lc.view();
    run.close();
    printMemo(v);
    std::printf("%s\n", v.result.c_str());
    return 0;
}

} // namespace

int cmdAnalyze(int argc, char** argv) {
    if (argc < 1) return usage();
    AnalyzeOptions o;
    const std::string what = argv[0];
    if (what != "na" && what != "aa" && what != "lc") return usage();
    if (!parse(argc, argv, what == "lc", o)) return usage();
    if (what == "na") return o.calibrate.empty() && o.s1p.empty() ? network(o) : usage();
    if (what == "aa") return o.saveResponse.empty() ? antenna(o) : usage();
    return lcMeter(o);
}

} // namespace kx::tool
