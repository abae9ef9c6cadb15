// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ModelFeatures.h"

#include "core/DeviceModel.h"
#include "core/ScopeTables.h"
#include "core/state/GeneratorState.h"
#include "core/state/TriggerState.h"

namespace kx::app {

ModelFeatureView applyModelFeatures(core::InstrumentState& s) {
    const std::int32_t code = s.system.UiDeviceType;
    ModelFeatureView v;
    auto& scope = s.scope;

    v.generator = core::hasGenerator(code);
    if (!v.generator) {
        s.generator.On = false;
        s.analyzer.NA = false;
        s.analyzer.AA = false;
    }

    v.a2Probe = core::hasA2Input(code);
    if (!v.a2Probe) {
        scope.A2.probe = 0;
        if (s.generator.Mod_Src == core::kModSrcA2) s.generator.Mod_Src = core::kModSrcInternal;
    }
    v.chGenItem = core::hasGenerator(code) && core::hasA2Input(code);
    if (!v.chGenItem) scope.CH_GEN = core::hasGenerator(code);

    v.a2Channel = core::hasA2Channel(code);
    if (!v.a2Channel) {
        if (s.trigger.Src == 1) {
            s.trigger.On = false;
            s.trigger.Src = 0;
        }
        if (scope.fmSource == core::FreqMeterSource::A2) scope.fmSource = core::FreqMeterSource::A1;
        scope.A2.shown = false;
        s.fft.View_A2 = false;
        s.trigger.Lev_Mask &= ~static_cast<std::int32_t>(core::kLevBitA2);
        s.fft.Calc_Both = false;
        for (auto* line : {&s.decoder.RXD, &s.decoder.TXD, &s.decoder.CLK, &s.decoder.CS})
            if (*line == 2) *line = 1;
    }

    const bool compact = core::hasCompactFrontEnd(code);
    v.lowVoltsDivItem = !compact;
    v.a1AcEnabled = !compact;
    v.a1HighRanges = !compact;
    if (compact) {
        scope.A1.AC = true;
        if (scope.A1.voltsDiv <= core::kVoltsDiv02V) scope.A1.voltsDiv = core::kVoltsDiv01V;
        s.system.LowVoltsDiv = false;
        s.generator.DC_Shift = 0;
        s.generator.GEN_DC_Mode = 0;
        s.system.Analog_BW_Flt = false;
        s.system.Digital_BW_Flt = true;
    }

    // The three most sensitive ranges exist only with LowVoltsDiv.
    v.lowRanges = s.system.LowVoltsDiv;
    if (!s.system.LowVoltsDiv)
        for (auto* ch : {&scope.A1, &scope.A2})
            if (ch->voltsDiv >= core::kVoltsDiv2mV) ch->voltsDiv = core::kVoltsDiv5mV;

    // A2 fed from the generator is always read at x1.
    if (scope.CH_GEN) scope.A2.probe = 0;
    return v;
}

} // namespace kx::app
