// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AnalyzerPresets.h"
#include "core/DeviceModel.h"
#include "core/ScopeTables.h"

#include <gtest/gtest.h>

namespace kx::app {
namespace {

struct PresetCase {
    bool antenna;
    std::int32_t model;
    int voltsDiv;
    std::int32_t ampl;
    bool dcSet; // DC_Shift 0 and GEN_DC_Mode 1 (not on a compact front end)
};

TEST(AnalyzerPresets, SwitchingOnAppliesThePresetAndSwitchingOffOnlyClearsTheMode) {
    const PresetCase cases[] = {
        {false, core::kKX4821, 5, 566, true},
        {false, 0x35, core::kVoltsDiv01V, 1131, false},
        {true, core::kKX4821, 2, 2000, true},
        {true, 0x35, core::kVoltsDiv01V, 566, false},
    };
    for (const PresetCase& c : cases) {
        core::InstrumentState s;
        s.system.UiDeviceType = c.model;
        s.generator.FStart = 0;
        s.generator.FSweep = 0;
        s.generator.DC_Shift = 700;
        s.generator.GEN_DC_Mode = 3;
        s.scope.A1.probe = 2;
        s.fft.View_A1 = true;
        s.analyzer.NA = c.antenna; // the other analyzer goes off
        s.analyzer.AA = !c.antenna;
        c.antenna ? setAntennaAnalyzer(s, true) : setNetworkAnalyzer(s, true);
        EXPECT_EQ(s.analyzer.NA, !c.antenna);
        EXPECT_EQ(s.analyzer.AA, c.antenna);
        EXPECT_EQ(s.scope.timeBase, core::kTimeBase02s);
        EXPECT_EQ(s.scope.points, 0); // "2000"
        EXPECT_EQ(s.scope.A1.probe, 0);
        EXPECT_EQ(s.scope.A1.voltsDiv, c.voltsDiv);
        EXPECT_EQ(s.generator.Ampl, c.ampl);
        EXPECT_EQ(s.generator.Function, core::GenFunction::Sweep);
        EXPECT_EQ(s.generator.FStart, 1);
        EXPECT_EQ(s.generator.FSweep, 1);
        EXPECT_EQ(s.generator.DC_Shift, c.dcSet ? 0 : 700);
        EXPECT_EQ(s.generator.GEN_DC_Mode, c.dcSet ? 1 : 3);
        EXPECT_FALSE(s.fft.View_A1);

        // Off again: nothing else changes.
        s.scope.A1.voltsDiv = 1;
        c.antenna ? setAntennaAnalyzer(s, false) : setNetworkAnalyzer(s, false);
        EXPECT_FALSE(c.antenna ? s.analyzer.AA : s.analyzer.NA);
        EXPECT_EQ(s.scope.A1.voltsDiv, 1);
    }
}

} // namespace
} // namespace kx::app
