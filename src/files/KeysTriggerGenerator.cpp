// SPDX-License-Identifier: GPL-3.0-or-later
// Sections "Trigger" and "Generator".
#include "files/SettingsSections.h"

#include <array>

namespace kx::files {

using core::InstrumentState;

void bindTrigger(SettingsKeyIo& io, InstrumentState& s) {
    io.section("Trigger");
    auto& t = s.trigger;
    io.boolean("On", t.On);
    io.integer("Src", t.Src, KeyScope::Both, 0, 5);
    io.boolean("Edge", t.Edge);
    io.boolean("Auto", t.Auto);
    io.boolean("TPLUS", t.TPLUS);
    io.level("Lev_A1", t.Lev_A1);
    io.level("Lev_A2", t.Lev_A2);
    io.level("bgLev_A1", s.display.BgTrigLevelA1);
    io.level("bgLev_A2", s.display.BgTrigLevelA2);
    io.integer("Pre", t.Pre, KeyScope::Both, 0, 9);
    io.integer("Hyst", t.Hyst, KeyScope::Both, 0, 9);
    io.integer("Tmin", t.Tmin);
    io.integer("Tmax", t.Tmax);
    io.integer("Tmult", t.Tmult, KeyScope::Both, 0, 5);
    io.integer("T_Mode", t.T_Mode, KeyScope::Both, 0, 2);
    io.integer("Levels", t.Levels);
    io.integer("Lev_Mask", t.Lev_Mask);
    io.integer("Extra_N", t.Extra_N, KeyScope::Both, 1, 1000);
    const std::int32_t mode = t.Mode;
    io.integer("Mode", t.Mode);
    // The condition kind selects a register encoding: an unknown kind keeps the current one.
    if (!(t.Mode >= core::kTrigModeNone && t.Mode <= core::kTrigModePulseNLevels) &&
        t.Mode != core::kTrigModeVideo)
        t.Mode = mode;
    io.integer("D123_Lev", t.D123_Lev);
    io.integer("D4_Lev", t.D4_Lev);
    io.boolean("Same_Lev", t.Same_Lev);
}

namespace {

const std::array<std::string, 5> kShapeKeys{"Sin", "Rect", "Trian", "Up_Trian", "Dn_Trian"};
const std::array<std::string, 4> kFunctionKeys{"Mod", "Pulse", "F_Sweep", "AWG"};
constexpr std::array<core::GenFunction, 4> kFunctions{core::GenFunction::Modulation, core::GenFunction::Pulse,
                                                      core::GenFunction::Sweep, core::GenFunction::Awg};

} // namespace

void bindGenerator(SettingsKeyIo& io, InstrumentState& s, bool awgLoaded, std::string& awgToLoad) {
    io.section("Generator");
    auto& g = s.generator;
    {
        EnumIndex shape(g.Shape);
        io.radio(kShapeKeys, shape.index);
    }
    {
        // The function buttons may all be up: that is the plain generator.
        std::int32_t item = -1;
        for (std::size_t i = 0; i < kFunctions.size(); ++i)
            if (g.Function == kFunctions[i]) item = static_cast<std::int32_t>(i);
        io.releasable(kFunctionKeys, item, -1);
        g.Function = item < 0 ? core::GenFunction::Plain : kFunctions[static_cast<std::size_t>(item)];
    }
    io.integer("Ampl", g.Ampl);
    io.integer("FFast", g.FFast);
    io.integer("FSlow", g.FSlow);
    io.integer("FStart", g.FStart);
    io.integer("FSweep", g.FSweep);
    io.integer("FMult", g.FMult, KeyScope::Both, 0, core::kFMultNoise);
    io.integer("TPulse", g.TPulse);
    io.integer("TPer", g.TPer);
    io.integer("TMult", g.TMult, KeyScope::Both, 0, 5);
    io.integer("DC_Shift", g.DC_Shift);
    io.integer("GEN_DC_Mode", g.GEN_DC_Mode, KeyScope::Both, 0, 3);
    io.integer("Mod_Type", g.Mod_Type, KeyScope::Both, core::kModAm, core::kModSum);
    io.integer("Mod_Src", g.Mod_Src, KeyScope::Both, 0, 8);
    io.integer("Inv", g.Inv);
    io.integer("MF_Fast", g.MF_Fast);
    io.integer("MF_Slow", g.MF_Slow);
    io.integer("MF_Mult", g.MF_Mult, KeyScope::Both, 0, 4);
    io.integer("MF_Shape", g.MF_Shape, KeyScope::Both, 0, core::kMfShapeNoise);
    io.integer("Mod_Param", g.Mod_Param);
    io.integer("DF_Mult", g.DF_Mult, KeyScope::Both, 0, 1);
    io.integer("Gen_Extra_Sel", g.Gen_Extra_Sel, KeyScope::Both, 0, 6);
    io.boolean("Gen_Extra_Inv", g.Gen_Extra_Inv);
    io.integer("Gen_Match", g.Gen_Match, KeyScope::Program);
    io.integer("Gen_Sinxx_Corr", g.Gen_Sinxx_Corr, KeyScope::Program, 0, 2);
    io.boolean("Gen_Corr", g.Gen_Corr, KeyScope::Program);
    io.boolean("Gen_200MHz", g.Gen_200MHz, KeyScope::Program);
    io.boolean("Gen_Test", g.Gen_Test, KeyScope::Program);
    io.integer("Gen_Load", g.Gen_Load);
    if (!io.active(KeyScope::Program) || g.Function != core::GenFunction::Awg) return;
    if (io.writing()) {
        if (awgLoaded) io.put("AWG_File", g.AWG_File);
    } else {
        awgToLoad = io.fetch("AWG_File").value_or(std::string{});
        if (!awgToLoad.empty()) g.AWG_File = awgToLoad;
    }
}

} // namespace kx::files
