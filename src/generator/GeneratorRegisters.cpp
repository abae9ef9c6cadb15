// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GeneratorRegisters.h"

#include "core/Rounding.h"
#include "generator/GeneratorQuantities.h"

#include <algorithm>
#include <cmath>

namespace kx::generator {

namespace {

using core::GeneratorState;
using core::GenFunction;
using core::GenShape;

constexpr double kWordPerHz = 703687.44177664; // 2^48 / 400 MHz
constexpr double kWordPerMilliHz = 703.6874417766401;
constexpr std::uint64_t kWordMask = 0xFFFF'FFFF'FFFFull;

std::int64_t rnd(double v) {
    return core::roundHalfAway(v);
}

// trunc(v + 0.5), the rounding of the synthesis words; negative and absurd values give 0.
std::uint64_t wordOf(double v) {
    const double w = std::trunc(v + 0.5);
    if (!(w > 0.0)) return 0;
    if (w >= 281474976710655.0) return kWordMask;
    return static_cast<std::uint64_t>(w);
}

bool isModulation(const GeneratorState& g) {
    return g.Function == GenFunction::Modulation;
}

std::uint8_t shapeCode(GenShape s) {
    switch (s) {
    case GenShape::Sine:
        return 0;
    case GenShape::RisingRamp:
        return 1;
    case GenShape::FallingRamp:
        return 2;
    case GenShape::Rectangle:
        return 3;
    case GenShape::Triangle:
        return 4;
    }
    return 0;
}

std::uint8_t functionCode(const GeneratorState& g) {
    switch (g.Function) {
    case GenFunction::Plain:
        return 0;
    case GenFunction::Sweep:
        return 1;
    case GenFunction::Modulation:
        return static_cast<std::uint8_t>(2 + std::clamp(g.Mod_Type, 0, 3));
    case GenFunction::Awg:
        return 6;
    case GenFunction::Pulse:
        return 7;
    }
    return 0;
}

} // namespace

void applyImpliedValues(GeneratorState& g, const GeneratorContext& ctx) {
    g.Ampl = std::clamp(g.Ampl, 0, 4000);
    if (ctx.analyzerOn && (g.Function == GenFunction::Modulation || g.Function == GenFunction::Pulse ||
                           g.Function == GenFunction::Awg))
        g.Function = GenFunction::Plain;
    if (ctx.analyzerOn && g.Function == GenFunction::Sweep && !ctx.debugMode) {
        g.FStart = std::max(g.FStart, 1);
        g.FSweep = std::max(g.FSweep, 1);
    }
    if (g.Function == GenFunction::Pulse || g.Function == GenFunction::Awg) return;
    if (g.Function == GenFunction::Sweep) {
        g.FSweep = std::max(g.FSweep, g.FStart);
        if (g.FMult == core::kFMultNoise) g.FMult = 4;
    }
    const bool shapesAllowed = g.FMult <= 2 && !ctx.analyzerOn;
    if (!shapesAllowed && g.FMult != core::kFMultNoise) g.Shape = GenShape::Sine;
}

GenLevels levelLimit(const GeneratorState& g) {
    const std::int32_t ampl = std::clamp(g.Ampl, 0, 4000);
    const double dc = g.DC_Shift;
    const double low = std::max(0.0, dc + 3000.0);
    const double high = std::max(0.0, 3300.0 - dc);
    double d = 0.5;
    if (g.Function == GenFunction::Pulse) {
        const PulseTimes t = pulseTimes(g);
        if (t.width != 0 && t.period != 0) d = static_cast<double>(t.width) / static_cast<double>(t.period);
    }

    double a = ampl;
    double lowest = dc;
    if (g.Function == GenFunction::Awg) {
        lowest = dc;
    } else {
        switch (g.GEN_DC_Mode) {
        case 1:
            // Each test looks at the requested amplitude; the later one wins.
            if (ampl * d > low) a = std::trunc(low / d);
            if (ampl * (1.0 - d) > high) a = std::trunc(high / (1.0 - d));
            lowest = dc - a * d;
            break;
        case 2:
            if (low < ampl) a = low;
            lowest = dc - a;
            break;
        case 3:
            if (ampl * 0.5 > low) a = 2.0 * low;
            if (ampl * 0.5 > high) a = 2.0 * high;
            lowest = dc - a * 0.5;
            break;
        default:
            if (high < ampl) a = high;
            lowest = dc;
            break;
        }
    }
    a = std::max(0.0, a);
    return {static_cast<std::int32_t>(a), lowest};
}

std::uint16_t offsetCode(double levelMilliVolts, const core::CalTable& systemTable) {
    const double z = core::calInt16(systemTable, core::kSysGenZero);
    const double n = core::calInt16(systemTable, core::kSysGenNegative);
    const double p = core::calInt16(systemTable, core::kSysGenPositive);
    const double u = std::trunc(levelMilliVolts * 1000.0); // whole microvolts
    const double v = u * 0.01;                             // 0.1 mV units
    const double b = u < 0.0 ? z - n : p - z;
    if (b == 0.0 || std::isnan(v)) return 0x8000;
    const double code = std::round((v - z) * 24576.0 / b + 32768.0);
    return static_cast<std::uint16_t>(std::clamp(code, 0.0, 65535.0));
}

GeneratorRegisters computeGeneratorRegisters(const GeneratorState& g, const GeneratorContext& ctx,
                                             const core::CalTable& systemTable) {
    GeneratorRegisters r;
    const MainFrequency main = mainFrequency(g, ctx.debugMode);
    const std::int64_t f = main.start;
    const std::int64_t span = main.span;
    r.freqWord = wordOf(static_cast<double>(f) * 0.001 * kWordPerHz);

    if (g.Function == GenFunction::Sweep && ctx.postTrigger > 0) {
        r.stepWord = wordOf(static_cast<double>(span) * 0.001 * kWordPerHz / ctx.postTrigger);
        if (ctx.doubledSampling) r.stepWord = (r.stepWord * 2) & kWordMask;
    }

    // Levels and amplitude.
    const GenLevels lv = levelLimit(g);
    r.appliedAmplitude = lv.amplitude;
    r.ampCode = static_cast<std::uint16_t>(
        g.Function == GenFunction::Awg ? rnd(lv.amplitude * 4095.0 / 4000.0) : lv.amplitude);
    const double dc = std::clamp(std::trunc(lv.lowest * -8.0), -32768.0, 32767.0);
    r.dcCode = static_cast<std::uint16_t>(static_cast<std::int16_t>(dc));
    r.offsetCode = offsetCode(lv.lowest, systemTable);

    // Internal modulation frequency and depth.
    std::int64_t mf = 0;
    if (isModulation(g) && g.Mod_Src == core::kModSrcInternal) {
        mf = modulationFrequency(g, ctx.debugMode);
        r.modFreqWord = wordOf(static_cast<double>(mf) * kWordPerMilliHz);
    }
    if (isModulation(g)) {
        const bool ext = externalModSource(g);
        const double param = g.Mod_Param;
        switch (g.Mod_Type) {
        case core::kModAm:
            r.stepWord = wordOf(param * 32.76775 * r.ampCode / 4096.0 * (ext ? 4.0 : 1.0));
            break;
        case core::kModFm: {
            static const double kFmExternal = 1073741824.0 / 1e8;
            static const double kFmInternal = 1073741824.0 * 1280.0 / (1e8 * 2047.0);
            r.stepWord =
                wordOf(param * (ext ? kFmExternal : kFmInternal) * static_cast<double>(pow10(g.DF_Mult)));
            break;
        }
        case core::kModPm:
            r.stepWord =
                std::min<std::uint64_t>(wordOf(param * 0.01 * (ext ? 65536.0 / 5.0 : 8196.0)), 0x1FFFF);
            break;
        default:
            r.stepWord = wordOf(param * 32.76775 * (ext ? 4.0 : 1.0));
            break;
        }
    }

    // Function and shape.
    r.funcReg = static_cast<std::uint8_t>(functionCode(g) | ((g.Mod_Src & 0x0F) << 3) | (g.Inv ? 0x80 : 0));
    std::uint8_t shape = noiseRange(g) ? 7 : shapeCode(g.Shape);
    if (g.Function == GenFunction::Plain && f == 0 && !noiseRange(g)) shape = 5;
    if (g.Function == GenFunction::Sweep && f == 0 && span == 0) shape = 5;
    if (isModulation(g) && f == 0 && (g.Mod_Type == core::kModAm || g.Mod_Type == core::kModSum)) shape = 6;
    if (!ctx.analyzerOn) {
        const bool mfShape = mf != 0 || g.MF_Shape == core::kMfShapeNoise;
        shape = static_cast<std::uint8_t>(shape | ((mfShape ? (g.MF_Shape & 7) : 5) << 3));
    }
    r.shapeReg = shape;

    // Misc_Reg bits of the generator.
    const bool plainSine = g.Shape == GenShape::Sine && g.Function != GenFunction::Pulse &&
                           g.Function != GenFunction::Awg && !noiseRange(g);
    bool sinx = g.Gen_Sinxx_Corr == 2 || (g.Gen_Sinxx_Corr == 1 && plainSine);
    if (ctx.analyzerOn && !ctx.debugMode) sinx = true;
    if (sinx) r.miscBits |= kMiscSinxCorr;
    if (g.Gen_Corr || !ctx.debugMode) r.miscBits |= kMiscGenCorr;
    if (g.Gen_Test || !ctx.debugMode) r.miscBits |= kMiscGenTest;

    // Time matching.
    std::int32_t match = 0;
    if (ctx.analyzerOn) {
        match = ctx.compactFrontEnd ? 221 : 195;
    } else {
        match = g.Gen_Match;
        if (!sinx) match -= 11;
        if (ctx.a2BandwidthLimit && ctx.analogBwFilter) match -= 7;
    }
    r.timeMatch = static_cast<std::uint8_t>(std::clamp(match, 0, 255));
    r.auxReg = static_cast<std::uint8_t>((g.Gen_Extra_Sel & 0x07) | (g.Gen_Extra_Inv ? 0x10 : 0));

    // External load: a finer scale unless it would overflow the 17-bit register.
    const double v2 = ctx.a2RangeMicroVolts > 0 ? static_cast<double>(ctx.a2RangeMicroVolts) : 500000.0;
    const double k = std::clamp(g.Gen_Load, 0, 1000) * 0.001;
    std::int64_t load = rnd(k * 500000.0 / v2 * 1.024 * 4096.0);
    if (load > 0x1FFFF) {
        load = std::min<std::int64_t>(rnd(k * 500000.0 / v2 * 1.024 * 64.0), 0x1FFFF);
        r.miscBits |= kMiscLoadCoarse;
    }
    if (load & 0x10000) r.miscBits |= kMiscLoadBit16;
    r.loadCode = static_cast<std::uint16_t>(load & 0xFFFF);

    // Pulse and AWG counts are always there for the auxiliary output.
    const PulseTimes pt = pulseTimes(g);
    r.pulsePeriod = pt.period == 0 ? 0 : static_cast<std::uint32_t>(pt.period / 5 - 1);
    r.pulseWidth = static_cast<std::uint32_t>(pt.width / 5);
    r.awgDiv = static_cast<std::uint32_t>(awgStepTicks(g) - 1);
    r.awgMark = static_cast<std::uint16_t>(std::clamp(g.AwgMark, 0, 0xFFFF));

    if (!g.On) {
        r.offsetCode = offsetCode(0.0, systemTable);
        r.dcCode = 0;
        r.ampCode = 0;
        r.modFreqWord = 0;
        if (g.Gen_Extra_Sel != core::kAuxPulseGen) {
            r.pulsePeriod = 0;
            r.pulseWidth = 0;
        }
        r.awgMark = core::kAwgNoMark;
        if (ctx.analyzerOn) {
            r.shapeReg = 0;
        } else {
            r.funcReg = 0;
            r.shapeReg = 45; // constant level with a constant modulation shape
            r.freqWord = 0;
            r.stepWord = 0;
        }
    }
    return r;
}

} // namespace kx::generator
