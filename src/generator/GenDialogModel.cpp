// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GenDialogModel.h"

#include "core/DeviceModel.h"
#include "core/NumberFormat.h"
#include "generator/GeneratorQuantities.h"
#include "generator/GeneratorTexts.h"

#include <algorithm>

namespace kx::generator {

namespace {

using core::GeneratorState;
using core::UnitType;

// The first range at which only a sine modulates.
constexpr int kSineOnlyRange = 3;

template <typename T> bool store(T& field, T value) {
    if (field == value) return false;
    field = value;
    return true;
}

bool storeInt(std::int32_t& field, int value, int lo, int hi) {
    return store(field, static_cast<std::int32_t>(std::clamp(value, lo, hi)));
}

} // namespace

bool applyGenControl(GeneratorState& g, GenControl control, int value) {
    bool changed = false;
    switch (control) {
    case GenControl::DcShift:
        changed = storeInt(g.DC_Shift, value, kDcShiftMin, kDcShiftMax);
        break;
    case GenControl::DcZero:
        changed = store(g.DC_Shift, 0);
        break;
    case GenControl::DcMode:
        changed = storeInt(g.GEN_DC_Mode, value, 0, 3);
        break;
    case GenControl::ModType:
        changed = storeInt(g.Mod_Type, value, 0, 3);
        break;
    case GenControl::ModSource:
        changed = storeInt(g.Mod_Src, value, 0, kModSources - 1);
        break;
    case GenControl::Inversion:
        changed = store(g.Inv, value != 0 ? 1 : 0);
        break;
    case GenControl::ModRange:
        changed = storeInt(g.MF_Mult, value, 0, kModRanges - 1);
        break;
    case GenControl::ModShape:
        changed = storeInt(g.MF_Shape, value, 0, kModShapes - 1);
        break;
    case GenControl::ModNoise:
        // Letting the noise go leaves the sine; the other shapes are chosen again by hand.
        changed = store(g.MF_Shape, value != 0 ? core::kMfShapeNoise : 0);
        break;
    case GenControl::MfFast:
        changed = storeInt(g.MF_Fast, value, 0, 10000);
        break;
    case GenControl::MfSlow:
        changed = storeInt(g.MF_Slow, value, 0, 10000);
        break;
    case GenControl::ModParam:
        changed = storeInt(g.Mod_Param, value, 0, kModParamMax);
        break;
    case GenControl::DeviationRange:
        changed = storeInt(g.DF_Mult, value, 0, 1);
        break;
    case GenControl::AuxOutput:
        changed = storeInt(g.Gen_Extra_Sel, value, 0, kAuxOutputs - 1);
        break;
    case GenControl::AuxInv:
        changed = store(g.Gen_Extra_Inv, value != 0);
        break;
    case GenControl::TimeMatch:
        changed = storeInt(g.Gen_Match, value, kMatchMin, kMatchMax);
        break;
    case GenControl::Load:
        changed = storeInt(g.Gen_Load, value, 0, kLoadMax);
        break;
    case GenControl::Load50Ohm:
        changed = store(g.Gen_Load, kLoad50Ohm);
        break;
    case GenControl::SinxCorr:
        changed = storeInt(g.Gen_Sinxx_Corr, value, 0, 2);
        break;
    case GenControl::DacCorr:
        changed = store(g.Gen_Corr, value != 0);
        break;
    case GenControl::UpTo200:
        changed = store(g.Gen_200MHz, value != 0);
        break;
    case GenControl::Test:
        changed = store(g.Gen_Test, value != 0);
        break;
    }
    // The fast modulation ranges carry a sine only.
    if (g.MF_Mult >= kSineOnlyRange && g.MF_Shape > 0 && g.MF_Shape < kModShapes)
        changed = store(g.MF_Shape, 0) || changed;
    return changed;
}

GenDialogView genDialogView(const core::InstrumentState& s, char dec) {
    const GeneratorState& g = s.generator;
    const bool ru = s.system.RussianUi;
    const bool debug = s.system.DebugMode;
    const std::int32_t model = s.system.UiDeviceType;
    GenDialogView v;

    v.dcGroupVisible = !core::hasCompactFrontEnd(model);
    v.dcShift = std::clamp(g.DC_Shift, kDcShiftMin, kDcShiftMax);
    v.dcMode = std::clamp(g.GEN_DC_Mode, 0, 3);
    const bool awg = g.Function == core::GenFunction::Awg;
    v.dcModesEnabled = !awg;
    v.dcLabel = gentext::kDcLabel[static_cast<std::size_t>(awg ? 0 : v.dcMode)].pick(ru);
    v.dcLabel += core::formatFixed(g.DC_Shift * 0.001, 3, dec) + " V";

    v.modType = std::clamp(g.Mod_Type, 0, 3);
    v.modSource = std::clamp(g.Mod_Src, 0, kModSources - 1);
    // Equivalent-time sampling of a modulated output cannot follow an input-driven modulation.
    const bool inputsLocked = s.scope.Strobo && g.Function == core::GenFunction::Modulation && g.On;
    for (int i = 0; i < kModSources; ++i) {
        const auto k = static_cast<std::size_t>(i);
        v.sourceVisible[k] = i != core::kModSrcA2 || core::hasA2Input(model);
        v.sourceEnabled[k] = !(inputsLocked && i >= core::kModSrcA1 && i <= 6);
    }
    if (!core::hasA2Channel(model)) v.sourceEnabled[core::kModSrcA2] = false;
    v.inversion = g.Inv != 0;

    const bool internal = g.Mod_Src == core::kModSrcInternal;
    v.modRange = std::clamp(g.MF_Mult, 0, kModRanges - 1);
    for (std::size_t i = 0; i < kModRanges; ++i) v.modRangeCaption[i] = gentext::kModRanges[i];
    if (fast200(g, debug)) v.modRangeCaption[kModRanges - 1] = gentext::kModRange200M;
    v.modRangeEnabled = internal;
    v.noiseDown = g.MF_Shape == core::kMfShapeNoise;
    v.noiseEnabled = internal;
    v.modShape = v.noiseDown ? -1 : std::clamp(g.MF_Shape, 0, kModShapes - 1);
    const bool shapes = internal && !v.noiseDown;
    v.shapeEnabled[0] = shapes;
    for (std::size_t i = 1; i < kModShapes; ++i) v.shapeEnabled[i] = shapes && g.MF_Mult < kSineOnlyRange;
    v.mfFast = g.MF_Fast;
    v.mfSlow = g.MF_Slow;
    v.mfBarsEnabled = shapes;
    v.mfLabelEnabled = internal;
    v.mfLabel = (g.Mod_Type == core::kModSum ? gentext::kSumFreq : gentext::kModFreq).pick(ru);
    v.mfLabel += v.noiseDown ? std::string(gentext::kNoiseFrequency) : modFrequencyText(g, debug, dec);

    v.modParam = std::clamp(g.Mod_Param, 0, kModParamMax);
    v.modParamLabel = gentext::kModParam[static_cast<std::size_t>(v.modType)].pick(ru);
    v.modParamLabel += modParamValueText(g, ru, dec);
    v.deviationRange = std::clamp(g.DF_Mult, 0, 1);
    const auto& devCaptions =
        externalModSource(g) ? gentext::kDeviationRangesPerDiv : gentext::kDeviationRanges;
    v.deviationCaption = {devCaptions[0], devCaptions[1]};
    v.deviationEnabled = g.Mod_Type == core::kModFm;

    v.auxOutput = std::clamp(g.Gen_Extra_Sel, 0, kAuxOutputs - 1);
    v.auxInv = g.Gen_Extra_Inv;
    v.timeMatch = std::clamp(g.Gen_Match, kMatchMin, kMatchMax);
    v.timeMatchLabel = gentext::kTimeMatching.pick(ru);
    v.timeMatchLabel += core::formatNumber((g.Gen_Match - 195) * 5 * 0.03125, UnitType::Time, 1, dec);
    v.timeMatchRaw = std::to_string(g.Gen_Match);
    v.load = std::clamp(g.Gen_Load, 0, kLoadMax);
    v.loadLabel = gentext::kExternalLoad.pick(ru);
    if (v.load >= kLoadMax) {
        v.loadLabel += gentext::kLoadInfinite;
    } else {
        v.loadLabel += gentext::kLoadR;
        v.loadLabel += core::formatNumber(v.load * 50.0 / (kLoadMax - v.load), UnitType::Resistance, -4, dec);
    }
    v.loadLabel += "  (" + core::formatFixed(v.load * 0.001, 3, dec) + ")";
    v.sinxCorr = std::clamp(g.Gen_Sinxx_Corr, 0, 2);
    v.sinxEnabled = !s.analyzer.analyzerOn() || debug;
    v.dacCorr = g.Gen_Corr;
    v.upTo200 = g.Gen_200MHz;
    v.test = g.Gen_Test;
    v.debugControlsVisible = debug;
    return v;
}

GenDialogFields genDialogFields(const GeneratorState& g) {
    return {g.DC_Shift,       g.GEN_DC_Mode,   g.Mod_Type,      g.Mod_Src,   g.Inv,
            g.MF_Fast,        g.MF_Slow,       g.MF_Mult,       g.MF_Shape,  g.Mod_Param,
            g.DF_Mult,        g.Gen_Extra_Sel, g.Gen_Extra_Inv, g.Gen_Match, g.Gen_Load,
            g.Gen_Sinxx_Corr, g.Gen_Corr,      g.Gen_200MHz,    g.Gen_Test};
}

GenDialogFields openGenDialog(GeneratorState& g) {
    g.DC_Shift = std::clamp(g.DC_Shift, kDcShiftMin, kDcShiftMax);
    return genDialogFields(g);
}

bool restoreGenDialog(const GenDialogFields& f, GeneratorState& g) {
    if (genDialogFields(g) == f) return false;
    g.DC_Shift = f.DC_Shift;
    g.GEN_DC_Mode = f.GEN_DC_Mode;
    g.Mod_Type = f.Mod_Type;
    g.Mod_Src = f.Mod_Src;
    g.Inv = f.Inv;
    g.MF_Fast = f.MF_Fast;
    g.MF_Slow = f.MF_Slow;
    g.MF_Mult = f.MF_Mult;
    g.MF_Shape = f.MF_Shape;
    g.Mod_Param = f.Mod_Param;
    g.DF_Mult = f.DF_Mult;
    g.Gen_Extra_Sel = f.Gen_Extra_Sel;
    g.Gen_Extra_Inv = f.Gen_Extra_Inv;
    g.Gen_Match = f.Gen_Match;
    g.Gen_Load = f.Gen_Load;
    g.Gen_Sinxx_Corr = f.Gen_Sinxx_Corr;
    g.Gen_Corr = f.Gen_Corr;
    g.Gen_200MHz = f.Gen_200MHz;
    g.Gen_Test = f.Gen_Test;
    return true;
}

} // namespace kx::generator
