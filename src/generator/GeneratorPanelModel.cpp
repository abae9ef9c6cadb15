// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GeneratorPanelModel.h"

#include "core/NumberFormat.h"
#include "generator/AwgCompiler.h"
#include "generator/GeneratorQuantities.h"
#include "generator/GeneratorRegisters.h"
#include "generator/GeneratorTexts.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <type_traits>

namespace kx::generator {

namespace {

using core::GeneratorState;
using core::GenFunction;
using core::UnitType;

bool coupled(const GeneratorState& g) {
    return g.Function == GenFunction::Sweep || g.Function == GenFunction::Pulse;
}

// The two values the scroll bars edit in the current function.
template <typename Field> struct ValuePair {
    Field* first;
    Field* second;
};
template <typename State> auto valuesOf(State& g) -> ValuePair<std::remove_reference_t<decltype((g.FFast))>> {
    switch (g.Function) {
    case GenFunction::Sweep:
        return {&g.FStart, &g.FSweep};
    case GenFunction::Pulse:
        return {&g.TPulse, &g.TPer};
    case GenFunction::Awg:
        return {&g.AwgCoarse, &g.AwgFine};
    default:
        return {&g.FFast, &g.FSlow};
    }
}

bool store(std::int32_t& field, std::int32_t value) {
    if (field == value) return false;
    field = value;
    return true;
}

void frequencyLabel(const GeneratorState& g, bool debug, char dec, std::string& out) {
    const MainFrequency f = mainFrequency(g, debug);
    const double start = static_cast<double>(f.start) * 0.001;
    if (g.Function == GenFunction::Sweep) {
        const double stop = static_cast<double>(f.start + f.span) * 0.001;
        out = core::formatNumber(start, UnitType::Frequency, g.FMult + 4, dec);
        out += gentext::kSweepDots;
        out += core::formatNumber(stop, UnitType::Frequency, g.FMult + 4, dec);
        return;
    }
    if (noiseRange(g)) {
        out = gentext::kNoiseFrequency;
        return;
    }
    out = core::formatNumber(start, UnitType::Frequency, g.FMult + 1 + (g.FSlow == 0 ? 3 : 0), dec);
}

void pulseLabels(const GeneratorState& g, char dec, std::string& f, std::string& pulse) {
    const PulseTimes t = pulseTimes(g);
    const int precision = g.TMult + 4;
    f = core::formatNumber(static_cast<double>(t.width), UnitType::Time, precision, dec);
    f += gentext::kPulseSlash;
    f += core::formatNumber(static_cast<double>(t.period), UnitType::Time, precision, dec);

    if (t.period == 0) {
        pulse = gentext::kDutyUnknown;
    } else {
        pulse =
            core::formatFixed(static_cast<double>(t.width) * 100.0 / static_cast<double>(t.period), 3, dec);
        pulse += gentext::kDutyUnit;
    }
    if (t.period == 0 || t.width == 0 || t.width == t.period)
        pulse += gentext::kPulseFreqUnknown;
    else
        pulse += core::formatNumber(1e9 / static_cast<double>(t.period), UnitType::Frequency, -5, dec);
}

void modulationLabel(const GeneratorState& g, bool debug, bool ru, char dec, std::string& out) {
    out = gentext::kModTypePrefix[static_cast<std::size_t>(std::clamp(g.Mod_Type, 0, 3))];
    out += modParamValueText(g, ru, dec);
    const std::size_t src = static_cast<std::size_t>(std::clamp(g.Mod_Src, 0, 8));
    if (src != core::kModSrcInternal) {
        out += gentext::kModSourceSuffix[src];
    } else if (g.MF_Shape == core::kMfShapeNoise) {
        out += gentext::kNoiseSource;
    } else {
        out += gentext::kInternalGap;
        out += modFrequencyText(g, debug, dec);
    }
}

void awgStatusLabel(const GeneratorState& g, const AwgPanelStatus& awg, bool ru, std::string& out) {
    if (awg.statusCountdown > 0) {
        out = awgStatusShown(awg.statusText, awg.statusCountdown);
    } else if (awg.loaded) {
        out = std::filesystem::path(g.AWG_File).stem().string();
    } else {
        out = gentext::kFileNotLoaded.pick(ru);
    }
}

AwgRunIndicator runIndicatorOf(int awgState) {
    if (awgState < 0 || (awgState & 0x01) != 0) return AwgRunIndicator::ButtonFace;
    return (awgState & 0x02) != 0 ? AwgRunIndicator::Faded : AwgRunIndicator::Full;
}

} // namespace

void generatorPanelView(const core::InstrumentState& s, const AwgPanelStatus& awg, GeneratorPanelView& v,
                        char dec) {
    const GeneratorState& g = s.generator;
    const bool analyzerOn = s.analyzer.analyzerOn();
    const bool debug = s.system.DebugMode;
    const bool ru = s.system.RussianUi;
    const bool pulse = g.Function == GenFunction::Pulse;
    const bool awgFn = g.Function == GenFunction::Awg;
    const bool sweep = g.Function == GenFunction::Sweep;
    const bool modulation = g.Function == GenFunction::Modulation;

    v.on = g.On;

    // Range buttons: pulse ranges in pulse and AWG function, frequency ranges otherwise.
    for (std::size_t i = 0; i < kRangeButtons; ++i) {
        if (pulse || awgFn)
            v.rangeCaption[i] = gentext::kPulseRanges[i];
        else if (i == 4 && fast200(g, debug))
            v.rangeCaption[i] = gentext::k200M;
        else
            v.rangeCaption[i] = gentext::kFrequencyRanges[i].pick(ru);
        v.rangeVisible[i] = !awgFn && !(sweep && i == kRangeButtons - 1);
    }
    if (awgFn)
        v.rangeDown = -1;
    else if (pulse)
        v.rangeDown = kRangeButtons - 1 - std::clamp(g.TMult, 0, kRangeButtons - 1);
    else
        v.rangeDown = std::clamp(g.FMult, 0, kRangeButtons - 1);

    v.shapesVisible = !pulse && !awgFn;
    v.shapesEnabled = g.FMult <= 2 && !analyzerOn;
    v.shapeDown = static_cast<int>(g.Shape);

    for (std::size_t f = 0; f < kFunctionButtons; ++f) {
        const auto fn = static_cast<GenFunction>(f);
        v.functionDown[f] = g.Function == fn;
        v.functionEnabled[f] = fn == GenFunction::Sweep || !analyzerOn;
    }

    const auto pair = valuesOf(g);
    const int low = (sweep && analyzerOn && !debug) ? 1 : 0;
    v.first = {low, kValueMax, *pair.first};
    v.second = {low, kValueMax, *pair.second};

    const GenLevels levels = levelLimit(g);
    const std::int32_t a = levels.amplitude;
    v.amplitudePosition = kAmplitudeMax - a;

    if (pulse)
        pulseLabels(g, dec, v.labelF, v.labelPulse);
    else if (awgFn)
        v.labelF = core::formatNumber(static_cast<double>(5 * awgStepTicks(g)), UnitType::Time,
                                      g.AwgFine != 0 ? 4 : 8, dec);
    else
        frequencyLabel(g, debug, dec, v.labelF);
    if (!pulse) v.labelPulse.clear();

    if (modulation)
        modulationLabel(g, debug, ru, dec, v.labelMod);
    else if (awgFn)
        awgStatusLabel(g, awg, ru, v.labelMod);
    else
        v.labelMod.clear();

    if (awgFn) {
        v.labelV = core::formatFixed(a * 0.025, a == kAmplitudeMax ? 2 : 3, dec);
        v.labelV += gentext::kPercent;
    } else if (modulation && (g.Mod_Type == core::kModAm || g.Mod_Type == core::kModSum)) {
        v.labelV = core::formatNumber(a * 500.0, UnitType::Voltage, 6, dec);
    } else {
        v.labelV = core::formatNumber(a * 1000.0, UnitType::Voltage, 7, dec);
    }
    v.labelVrms = core::formatNumber(a * 1000.0 / (2.0 * std::sqrt(2.0)), UnitType::Voltage, 6, dec);
    v.labelVrms += gentext::kRms;

    v.modVisible = modulation || awgFn;
    v.pulseVisible = pulse;
    v.vrmsVisible = analyzerOn;
    v.awgRunVisible = awgFn && g.On;
    v.markListVisible = awgFn;
    v.textLit = g.On;
    v.runIndicator = runIndicatorOf(awg.awgState);
}

bool clickRange(GeneratorState& g, int button) {
    const int b = std::clamp(button, 0, kRangeButtons - 1);
    if (g.Function == GenFunction::Pulse) return store(g.TMult, kRangeButtons - 1 - b);
    return store(g.FMult, b);
}

bool clickShape(GeneratorState& g, core::GenShape shape) {
    if (g.Shape == shape) return false;
    g.Shape = shape;
    return true;
}

bool clickFunction(GeneratorState& g, GenFunction function, bool down) {
    GenFunction next = g.Function;
    if (down)
        next = function;
    else if (g.Function == function)
        next = GenFunction::Plain;
    if (next == g.Function) return false;
    g.Function = next;
    return true;
}

bool scrollFirst(GeneratorState& g, int position) {
    const auto p = valuesOf(g);
    const std::int32_t v = std::clamp(position, 0, kValueMax);
    bool changed = store(*p.first, v);
    if (coupled(g) && *p.second < v) changed = store(*p.second, v) || changed;
    return changed;
}

bool scrollSecond(GeneratorState& g, int position) {
    const auto p = valuesOf(g);
    const std::int32_t v = std::clamp(position, 0, kValueMax);
    bool changed = store(*p.second, v);
    if (coupled(g) && *p.first > v) changed = store(*p.first, v) || changed;
    return changed;
}

bool scrollAmplitude(GeneratorState& g, int position) {
    return store(g.Ampl, kAmplitudeMax - std::clamp(position, 0, kAmplitudeMax));
}

PanelDoubleClick doubleClickAction(const GeneratorState& g, PanelSpot spot, bool awgLoaded) {
    const bool awgFn = g.Function == GenFunction::Awg;
    switch (spot) {
    case PanelSpot::LabelF:
        return awgFn && awgLoaded ? PanelDoubleClick::DefaultPeriod : PanelDoubleClick::None;
    case PanelSpot::LabelV:
        return awgFn && awgLoaded ? PanelDoubleClick::DefaultAmplitude : PanelDoubleClick::None;
    default:
        return awgFn ? PanelDoubleClick::AwgFileDialog : PanelDoubleClick::GeneratorDialog;
    }
}

} // namespace kx::generator
