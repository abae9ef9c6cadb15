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

} // namespace
} // namespace kx::app
