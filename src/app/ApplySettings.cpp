// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApplySettings.h"

#include "core/DeviceModel.h"
#include "generator/GeneratorRegisters.h"

#include <algorithm>

namespace kx::app {

namespace {

ChannelInputs channelInputs(const core::AnalogChannelState& ch) {
    ChannelInputs c;
    c.voltsDivIndex = ch.voltsDiv;
    c.acCoupling = ch.AC;
    c.bwLimit = ch.BW;
    c.zeroPosition = ch.Zero;
    return c;
}

} // namespace

RegisterInputs registerInputsFrom(const core::InstrumentState& state, const DerivedQuantities& d) {
    const auto& scope = state.scope;
    const auto& sys = state.system;
    RegisterInputs in;
    in.running = scope.Running;
    in.singleMode = scope.SingleMode;
    in.etsDown = d.EtsDown;
    in.rollMode = d.RollMode;
    in.maxPointsMode = d.MaxPointsMode;
    in.triggerActive = d.TriggerActive;
    in.fastDigital = d.FastDigital;
    in.analyzerOn = d.AnalyzerOn;
    in.debugMode = sys.DebugMode;
    in.compactFrontEnd = core::hasCompactFrontEnd(sys.UiDeviceType);
    in.peakDetect = scope.SmplPeakDet;
    in.hiRes = scope.Smpl_Hi_Res;
    in.decimation = d.Decimation;
    in.preTrigger = d.PreTrigger;
    in.postTrigger = d.PostTrigger;
    in.framePeriodMs = static_cast<std::uint8_t>(std::clamp(d.MinFramePeriodMs, 0, 255));
    in.freqMeterCode = static_cast<std::uint8_t>(std::clamp(d.FreqMeterCode, 0, 0x7F));
    in.a1InUse = d.a1InUse;
    in.a2InUse = d.a2InUse;
    in.d12InUse = d.dInUse[0] || d.dInUse[1];
    in.d34InUse = d.dInUse[2] || d.dInUse[3];
    in.a1 = channelInputs(scope.A1);
    in.a2 = channelInputs(scope.A2);
    in.a2FromGenerator = scope.CH_GEN;
    in.adMatch = static_cast<std::uint8_t>(std::clamp(sys.AD_Match, 0, 255));
    in.ditherEn = sys.Dither_En;
    in.useAdc0 = sys.Use_ADC_0;
    in.analogBwFlt = sys.Analog_BW_Flt;
    in.digitalBwFlt = sys.Digital_BW_Flt;
    in.iqWinEn = sys.IQ_Win_En;
    in.freqClbr = sys.Freq_Clbr;
    in.flowCtrlOff = sys.FlowCtrlOff; // no Wine bridge on Linux
    return in;
}

PublishResult publishRegisters(core::InstrumentState& state, const RegisterInputs& inputs,
                               device::RegisterImageHolder& holder) {
    const generator::GeneratorContext ctx = generatorContext(inputs);
    generator::applyImpliedValues(state.generator, ctx);

    device::RegisterImage image = holder.snapshot();
    fillRegisterImage(image, inputs, state.trigger, state.generator, state.calibration);
    holder.setFlowControl(!inputs.flowCtrlOff);
    holder.publish(image);

    PublishResult result;
    result.genAppliedAmplitude = generator::levelLimit(state.generator).amplitude;
    return result;
}

DerivedQuantities applySettings(core::InstrumentState& state, device::RegisterImageHolder& holder,
                                PublishResult* result, trigger::TriggerMemo* trigger) {
    const DerivedQuantities derived = computeDerived(state);
    if (state.scope.fmCounterReset) {
        holder.raise(device::OnceFlag::CounterReset);
        state.scope.fmCounterReset = false;
    }
    if (trigger != nullptr && trigger::triggerChanged(state.trigger, *trigger))
        holder.raise(device::OnceFlag::TriggerChanged);
    const PublishResult r = publishRegisters(state, registerInputsFrom(state, derived), holder);
    if (result != nullptr) *result = r;
    return derived;
}

} // namespace kx::app
