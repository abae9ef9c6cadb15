// SPDX-License-Identifier: GPL-3.0-or-later
// Sections "Common" and "Scope".
#include "core/ScopeTables.h"
#include "files/SettingsSections.h"

#include <array>

namespace kx::files {

using core::InstrumentState;

namespace {

const std::array<std::string, 2> kCursorKeys{"Markers_1", "Markers_2"};
const std::array<std::string, 3> kDrawKeys{"Dots", "Vectors", "Sinxx"};
const std::array<std::string, 5> kPointKeys{"Smpl_N_2000", "Smpl_N_5000", "Smpl_N_10000", "Smpl_N_20000",
                                            "Smpl_N_40000"};
const std::array<std::string, 3> kFmModeKeys{"FM_Off", "FM_Freq", "FM_Period"};
const std::array<std::string, 7> kFmSourceKeys{"FM_A1", "FM_A2", "FM_D1",  "FM_D2",
                                               "FM_D3", "FM_D4", "FM_TRIG"};
const std::array<std::string, 2> kLanguageKeys{"Russian", "English"};

} // namespace

void bindCommon(SettingsKeyIo& io, InstrumentState& s) {
    io.section("Common");
    auto& d = s.display;
    auto& a = s.scope;
    {
        // Cursors: both items unchecked is "no cursors".
        EnumIndex cursors(d.cursors);
        std::int32_t item = cursors.index - 1;
        io.releasable(kCursorKeys, item, -1);
        cursors.index = item + 1;
    }
    io.integer("Marker_x", d.CursorX, KeyScope::UserWrite, 0, 5000);
    io.integer("Marker_y", d.CursorY, KeyScope::UserWrite, 0, 65536);
    io.integer("Marker1_x", d.CursorX1, KeyScope::UserWrite, 0, 5000);
    io.integer("Marker1_y", d.CursorY1, KeyScope::UserWrite, 0, 65536);
    io.integer("Marker2_x", d.CursorX2, KeyScope::UserWrite, 0, 5000);
    io.integer("Marker2_y", d.CursorY2, KeyScope::UserWrite, 0, 65536);
    io.boolean("CH_A1", a.A1.shown);
    io.boolean("CH_A2", a.A2.shown);
    io.boolean("CH_GEN", a.CH_GEN);
    io.boolean("CH_D1", a.CH_D1);
    io.boolean("CH_D2", a.CH_D2);
    io.boolean("CH_D3", a.CH_D3);
    io.boolean("CH_D4", a.CH_D4);
    io.boolean("Measure", d.Measure);
    io.boolean("Grid", d.Grid);
    io.boolean("TrigPosL", d.TrigPosL);
    io.boolean("Smpl_Info", d.Smpl_Info);
    io.boolean("Extra_Info", d.Extra_Info);
    io.boolean("Trig_T", d.Trig_T);
    io.boolean("Distortion", d.Distortion);
    io.boolean("Generator", d.Generator);
    {
        EnumIndex draw(d.drawMode);
        io.radio(kDrawKeys, draw.index);
    }
    io.boolean("USB_Stat", d.USB_Stat, KeyScope::Program);
    io.boolean("ETS_Stat", d.ETS_Stat, KeyScope::Program);
    io.boolean("Persistence", d.Persistence, KeyScope::Program);
    io.boolean("On_Top", d.On_Top, KeyScope::Program);
    io.boolean("SmplPeakDet", a.SmplPeakDet);
    io.boolean("Smpl_Hi_Res", a.Smpl_Hi_Res);
    io.radio(kPointKeys, a.points);
    {
        static const std::vector<std::string> kWps(core::kWpsKeys.begin(), core::kWpsKeys.end());
        io.radio(kWps, a.wps, KeyScope::Program);
    }
    io.boolean("M_DEBUG", s.system.DebugMode, KeyScope::Program);
    io.boolean("LOW_V_DIV", s.system.LowVoltsDiv);
    {
        static const auto kA1 = keyList("A1_", core::kProbeKeys);
        static const auto kA2 = keyList("A2_", core::kProbeKeys);
        io.radio(kA1, a.A1.probe);
        io.radio(kA2, a.A2.probe);
    }
    {
        EnumIndex mode(a.fmMode);
        io.radio(kFmModeKeys, mode.index);
    }
    {
        EnumIndex source(a.fmSource);
        io.radio(kFmSourceKeys, source.index);
    }
    {
        std::int32_t language = s.system.RussianUi ? 0 : 1;
        io.radio(kLanguageKeys, language, KeyScope::Program);
        s.system.RussianUi = language == 0;
    }
    io.boolean("Lenta", a.Lenta);
    io.integer("X_Pos", a.X_Pos, KeyScope::Both, 0);
}

void bindScope(SettingsKeyIo& io, InstrumentState& s) {
    io.section("Scope");
    static const std::vector<std::string> kTimeKeys = [] {
        std::vector<std::string> keys;
        for (const auto& step : core::kTimeBases) keys.emplace_back(step.key);
        return keys;
    }();
    io.radio(kTimeKeys, s.scope.timeBase);
    struct Channel {
        const char* prefix;
        core::AnalogChannelState& ch;
        std::int32_t& bgZero;
    };
    const Channel channels[] = {{"A1_", s.scope.A1, s.display.BgScreenZeroA1},
                                {"A2_", s.scope.A2, s.display.BgScreenZeroA2}};
    for (const Channel& c : channels) {
        std::vector<std::string> keys;
        for (const auto& step : core::kVoltsDiv) keys.push_back(std::string(c.prefix) + step.key);
        const std::string p(c.prefix);
        io.radio(keys, c.ch.voltsDiv);
        io.boolean(p + "BW", c.ch.BW);
        io.boolean(p + "AC", c.ch.AC);
        io.integer(p + "Zero", c.ch.Zero, KeyScope::Both, 0, 65535);
        io.integer("bg" + p + "Zero", c.bgZero, KeyScope::Both, 0, 65535);
    }
    std::int32_t swap = s.display.BgLaneSwap ? 1 : 0;
    io.integer("bgD_Zero", swap);
    s.display.BgLaneSwap = swap != 0;
}

} // namespace kx::files
