// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalyzerPresets.h"

#include "core/DeviceModel.h"
#include "core/Rounding.h"
#include "core/ScopeTables.h"

#include <algorithm>
#include <cmath>

namespace kx::app {

namespace {

constexpr int kVoltsDiv50mV = 5;
constexpr int kVoltsDiv05V = 2;
constexpr int kPoints2000 = 0;

// What both presets share.
void commonPreset(core::InstrumentState& s) {
    auto& scope = s.scope;
    scope.timeBase = core::kTimeBase02s;
    scope.A1.probe = 0;
    scope.points = kPoints2000;
    if (s.system.DebugMode) scope.A1.BW = false;
    auto& gen = s.generator;
    gen.FStart = std::max(gen.FStart, 1);
    gen.FSweep = std::max(gen.FSweep, 1);
    gen.Function = core::GenFunction::Sweep;
    if (s.system.DebugMode) gen.Gen_Sinxx_Corr = 1;
    s.fft.View_A1 = false;
    s.fft.View_A2 = false;
}

} // namespace

void setNetworkAnalyzer(core::InstrumentState& s, bool on) {
    if (on) {
        commonPreset(s);
        auto& gen = s.generator;
        if (core::hasCompactFrontEnd(s.system.UiDeviceType)) {
            s.scope.A1.voltsDiv = core::kVoltsDiv01V;
            gen.Ampl = core::roundHalfAway<std::int32_t>(1600.0 / std::sqrt(2.0));
        } else {
            s.scope.A1.voltsDiv = kVoltsDiv50mV;
            gen.Ampl = core::roundHalfAway<std::int32_t>(800.0 / std::sqrt(2.0));
            gen.DC_Shift = 0;
            gen.GEN_DC_Mode = 1;
        }
        s.analyzer.AA = false;
    }
    s.analyzer.NA = on;
}

void setAntennaAnalyzer(core::InstrumentState& s, bool on) {
    if (on) {
        commonPreset(s);
        auto& gen = s.generator;
        if (core::hasCompactFrontEnd(s.system.UiDeviceType)) {
            s.scope.A1.voltsDiv = core::kVoltsDiv01V;
            gen.Ampl = core::roundHalfAway<std::int32_t>(800.0 / std::sqrt(2.0));
        } else {
            s.scope.A1.voltsDiv = kVoltsDiv05V;
            gen.Ampl = 2000;
            gen.DC_Shift = 0;
            gen.GEN_DC_Mode = 1;
        }
        s.analyzer.NA = false;
    }
    s.analyzer.AA = on;
}

} // namespace kx::app
