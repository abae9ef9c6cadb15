// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApplySettings.h"

#include <gtest/gtest.h>

#include <array>

namespace kx::app {
namespace {

namespace reg = device::reg;

class PublishTest : public ::testing::Test {
protected:
    std::size_t take() { return holder.takeSettingsBody(body); }

    core::InstrumentState state;
    RegisterInputs inputs;
    device::RegisterImageHolder holder;
    std::array<std::uint8_t, device::kMaxSettingsBodySize> body{};
};

TEST_F(PublishTest, PublishedImageReachesTheFrame) {
    inputs.running = true;
    inputs.decimation = 800;
    publishRegisters(state, inputs, holder);
    ASSERT_EQ(take(), device::kPlainBodySize);
    EXPECT_EQ(body[reg::kRunFlags], device::kRunFlagRunning | device::kRunFlagFlowControl);
    EXPECT_EQ(body[reg::kDecimation], 800 & 0xFF);
    EXPECT_EQ(body[reg::kSequence], 1);
    EXPECT_EQ(body[reg::kCondFlags], device::kCondOnceTriggerChanged) << "start-up once flag";

    inputs.flowCtrlOff = true;
    publishRegisters(state, inputs, holder);
    ASSERT_EQ(take(), device::kPlainBodySize);
    EXPECT_EQ(body[reg::kRunFlags], device::kRunFlagRunning);
    EXPECT_EQ(body[reg::kCondFlags], 0);
}

TEST_F(PublishTest, ImpliedGeneratorValuesAndAppliedAmplitude) {
    state.generator.On = true;
    state.generator.Ampl = 9000;
    state.generator.Function = core::GenFunction::Sweep;
    state.generator.FStart = 500;
    state.generator.FSweep = 100;
    state.generator.GEN_DC_Mode = 0;
    state.generator.DC_Shift = 3000;
    const PublishResult r = publishRegisters(state, inputs, holder);
    EXPECT_EQ(state.generator.Ampl, 4000);
    EXPECT_EQ(state.generator.FSweep, 500);
    EXPECT_EQ(r.genAppliedAmplitude, 300);
    EXPECT_EQ(holder.snapshot().get16(reg::kGenAmpCode), 300);
}

TEST_F(PublishTest, TimeLimitsSurviveAcrossApplies) {
    state.trigger.TPLUS = true;
    state.trigger.Tmin = 12;
    state.trigger.Tmult = 2;
    publishRegisters(state, inputs, holder);
    state.trigger.TPLUS = false;
    state.trigger.Tmin = 50;
    publishRegisters(state, inputs, holder);
    EXPECT_EQ(holder.snapshot().get32(reg::kTimeLow), 1200u);
}

TEST_F(PublishTest, ApplyDefaultStateEndToEnd) {
    const DerivedQuantities d = applySettings(state, holder);
    ASSERT_EQ(take(), device::kPlainBodySize);
    EXPECT_EQ(body[reg::kDecimation] | (body[reg::kDecimation + 1] << 8), static_cast<int>(d.Decimation));
    EXPECT_EQ(body[reg::kPreTrigger] | (body[reg::kPreTrigger + 1] << 8), static_cast<int>(d.PreTrigger));
    EXPECT_EQ(body[reg::kPostTrigger] | (body[reg::kPostTrigger + 1] << 8), static_cast<int>(d.PostTrigger));
    EXPECT_EQ(body[reg::kHiResExponent], hiResExponent(d.Decimation));
    EXPECT_EQ(body[reg::kFramePeriod], 25);
    EXPECT_EQ(body[reg::kFreqMeter], 1);
    // Default zero lines: A1 at 0xC000, A2 at 0x4000, 1 V/div, built-in zero table.
    EXPECT_EQ(body[reg::kZeroDacA1] | (body[reg::kZeroDacA1 + 1] << 8), 16830);
    EXPECT_EQ(body[reg::kZeroDacA2] | (body[reg::kZeroDacA2 + 1] << 8), 10277);
    EXPECT_EQ(body[reg::kZeroPosA1] | (body[reg::kZeroPosA1 + 1] << 8), 3072);
    EXPECT_EQ(body[reg::kZeroPosA2] | (body[reg::kZeroPosA2 + 1] << 8), 1024);
    EXPECT_EQ(body[reg::kLevA1Low], 189);
    EXPECT_EQ(body[reg::kLevA1High], 195);
    EXPECT_EQ(body[reg::kGenShapeReg], 45) << "generator off";
}

TEST_F(PublishTest, ApplyCounterResetGoesOutOnce) {
    state.scope.fmCounterReset = true;
    applySettings(state, holder);
    EXPECT_FALSE(state.scope.fmCounterReset);
    ASSERT_EQ(take(), device::kPlainBodySize);
    EXPECT_EQ(body[reg::kFreqMeter] & device::kFreqMeterOnceReset, device::kFreqMeterOnceReset);
    applySettings(state, holder);
    ASSERT_EQ(take(), device::kPlainBodySize);
    EXPECT_EQ(body[reg::kFreqMeter] & device::kFreqMeterOnceReset, 0);
}

TEST_F(PublishTest, ApplySweepSuspendsTheTrigger) {
    state.trigger.On = true;
    applySettings(state, holder);
    EXPECT_EQ(holder.snapshot().get8(reg::kChanFlags) & 0x80, 0x80);
    state.generator.On = true;
    state.generator.Function = core::GenFunction::Sweep;
    const DerivedQuantities d = applySettings(state, holder);
    EXPECT_TRUE(d.SweepActive);
    const device::RegisterImage img = holder.snapshot();
    EXPECT_EQ(img.get8(reg::kChanFlags) & 0x80, 0);
    EXPECT_EQ(img.get16(reg::kPreTrigger), 0);
    EXPECT_EQ(img.get8(reg::kGenFuncReg), 1);
    EXPECT_NE(img.get48(reg::kGenStepWord), 0u);
}

TEST_F(PublishTest, ApplyModelAndSystemOptions) {
    state.system.UiDeviceType = 0x35; // compact front end
    state.scope.A1.voltsDiv = 5;      // 50 mV
    state.scope.A1.AC = true;
    state.system.FlowCtrlOff = true;
    state.system.Freq_Clbr = 300;
    state.system.AD_Match = 77;
    applySettings(state, holder);
    ASSERT_EQ(take(), device::kPlainBodySize);
    EXPECT_EQ(body[reg::kGainA1], 7);
    EXPECT_EQ(body[reg::kFrontEndA1] & 0x1F, 9);
    EXPECT_EQ(body[reg::kRunFlags] & device::kRunFlagFlowControl, 0);
    EXPECT_EQ(body[reg::kRefOscCode + 1], 0xA0);
    EXPECT_EQ(body[reg::kAdMatch], 77);
}

} // namespace
} // namespace kx::app
