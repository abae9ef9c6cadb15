// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModelFeatures.h"
#include "core/ScopeControls.h"
#include "core/DeviceModel.h"

#include <gtest/gtest.h>

using namespace kx;

TEST(ModelNames, KnownAndUnknown) {
    EXPECT_EQ(core::modelName(0x23), "KX4823");
    EXPECT_EQ(core::modelName(0x35), "TRM207 Mini");
    EXPECT_EQ(core::modelName(0x7), "Unknown Type = 0007");
    EXPECT_EQ(core::modelName(0xABCD), "Unknown Type = ABCD");
}

TEST(ModelFeatures, Kx4823ToKx4821HidesTheA2ProbeAndChecksChGen) {
    core::InstrumentState s;
    s.system.UiDeviceType = 0x23;
    s.scope.A2.probe = 2;
    s.generator.Mod_Src = core::kModSrcA2;
    auto v = app::applyModelFeatures(s);
    EXPECT_TRUE(v.a2Probe && v.chGenItem && v.a2Channel);
    EXPECT_FALSE(s.scope.CH_GEN);

    s.system.UiDeviceType = 0x21;
    v = app::applyModelFeatures(s);
    EXPECT_FALSE(v.a2Probe);
    EXPECT_FALSE(v.chGenItem);
    EXPECT_TRUE(v.a2Channel);
    EXPECT_TRUE(s.scope.CH_GEN);
    EXPECT_EQ(s.scope.A2.probe, 0);
    EXPECT_EQ(s.generator.Mod_Src, core::kModSrcInternal);
}

TEST(ModelFeatures, WithoutA2EverythingOnA2FallsBackToA1) {
    core::InstrumentState s;
    s.system.UiDeviceType = 0x20;
    s.trigger.On = true;
    s.trigger.Src = 1;
    s.trigger.Lev_Mask = 0x03;
    s.scope.fmSource = core::FreqMeterSource::A2;
    s.scope.A2.shown = true;
    s.fft.Calc_Both = true;
    s.decoder.TXD = 2;
    auto v = app::applyModelFeatures(s);
    EXPECT_FALSE(v.a2Channel || v.generator);
    EXPECT_FALSE(s.trigger.On);
    EXPECT_EQ(s.trigger.Src, 0);
    EXPECT_EQ(s.trigger.Lev_Mask, 0x01);
    EXPECT_EQ(s.scope.fmSource, core::FreqMeterSource::A1);
    EXPECT_FALSE(s.scope.A2.shown || s.fft.Calc_Both || s.scope.CH_GEN);
    EXPECT_EQ(s.decoder.TXD, 1);
}

TEST(ModelFeatures, CompactFrontEndForcesItsValues) {
    core::InstrumentState s;
    s.system.UiDeviceType = 0x35;
    s.system.LowVoltsDiv = true;
    s.scope.A1.voltsDiv = 0;  // 2 V
    s.scope.A2.voltsDiv = 10; // 1 mV: needs LowVoltsDiv, which goes off
    s.generator.DC_Shift = 500;
    auto v = app::applyModelFeatures(s);
    EXPECT_FALSE(v.a1HighRanges || v.lowVoltsDivItem || v.a1AcEnabled);
    EXPECT_TRUE(s.scope.A1.AC);
    EXPECT_EQ(s.scope.A1.voltsDiv, 4);
    EXPECT_EQ(s.scope.A2.voltsDiv, 8);
    EXPECT_FALSE(s.system.LowVoltsDiv || s.system.Analog_BW_Flt);
    EXPECT_TRUE(s.system.Digital_BW_Flt);
    EXPECT_EQ(s.generator.DC_Shift, 0);
}

TEST(ModelFeatures, TrmItemsRule) {
    EXPECT_FALSE(core::trmItemsVisible(false, 0x23, 0, 0x21));
    EXPECT_TRUE(core::trmItemsVisible(true, 0x23, 0, 0));
    EXPECT_TRUE(core::trmItemsVisible(false, 0x23, 0x31, 0));
    EXPECT_TRUE(core::trmItemsVisible(false, 0x23, 0, 0x35));
}

TEST(ScopeControls, RangeAndProbeChangesKeepTheTriggerVoltage) {
    core::InstrumentState s;
    s.scope.A1.Zero = 0x8000;
    s.trigger.Lev_A1 = 0x8000 + 8192; // one division above zero at 1 V/div
    s.display.BgScreenZeroA1 = 0x4000;
    s.display.BgTrigLevelA1 = 0x4000 + 4096;
    core::setVoltsDiv(s, core::AnalogInput::A1, 0); // 2 V/div: half a division
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A1, 0x8000 + 4096);
    EXPECT_DOUBLE_EQ(s.display.BgTrigLevelA1, 0x4000 + 2048);
    EXPECT_TRUE(core::toggleProbe(s, core::AnalogInput::A1)); // x10: 20 V/div
    EXPECT_EQ(s.scope.A1.probe, 1);
    EXPECT_DOUBLE_EQ(s.trigger.Lev_A1, 0x8000 + 409.6);
    s.scope.A1.probe = 3;
    core::toggleProbe(s, core::AnalogInput::A1);
    EXPECT_EQ(s.scope.A1.probe, 0);
    s.analyzer.AA = true;
    EXPECT_FALSE(core::toggleProbe(s, core::AnalogInput::A1));
}
