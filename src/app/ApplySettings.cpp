// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ApplySettings.h"

#include "generator/GeneratorRegisters.h"

namespace kx::app {

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

} // namespace kx::app
