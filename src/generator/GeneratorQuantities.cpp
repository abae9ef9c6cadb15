// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GeneratorQuantities.h"

#include <algorithm>

namespace kx::generator {

using core::GeneratorState;
using core::GenFunction;

std::int64_t pow10(std::int32_t e) {
    std::int64_t v = 1;
    for (std::int32_t i = 0; i < std::clamp(e, 0, 9); ++i) v *= 10;
    return v;
}

bool fast200(const GeneratorState& g, bool debugMode) {
    return g.Gen_200MHz && debugMode;
}

MainFrequency mainFrequency(const GeneratorState& g, bool debugMode) {
    MainFrequency m;
    const std::int64_t scale = pow10(g.FMult);
    switch (g.Function) {
    case GenFunction::Plain:
    case GenFunction::Modulation:
        m.start = (static_cast<std::int64_t>(g.FFast) * 1000 + g.FSlow) * scale;
        break;
    case GenFunction::Sweep:
        m.start = static_cast<std::int64_t>(g.FStart) * 1000 * scale;
        m.span = std::max<std::int64_t>(0, static_cast<std::int64_t>(g.FSweep) - g.FStart) * 1000 * scale;
        break;
    case GenFunction::Pulse:
    case GenFunction::Awg:
        break;
    }
    m.start = std::max<std::int64_t>(0, m.start);
    if (g.FMult == 4 && fast200(g, debugMode)) {
        m.start *= 2;
        m.span *= 2;
    }
    return m;
}

std::int64_t modulationFrequency(const GeneratorState& g, bool debugMode) {
    std::int64_t mf = std::max<std::int64_t>(0, (static_cast<std::int64_t>(g.MF_Fast) * 1000 + g.MF_Slow) *
                                                    pow10(g.MF_Mult));
    if (g.MF_Mult == 4 && fast200(g, debugMode)) mf *= 2;
    return mf;
}

PulseTimes pulseTimes(const GeneratorState& g) {
    const std::int64_t unit = 5 * pow10(g.TMult);
    return {std::max<std::int64_t>(0, g.TPulse) * unit, std::max<std::int64_t>(0, g.TPer) * unit};
}

std::int64_t awgStepTicks(const GeneratorState& g) {
    const std::int64_t n =
        static_cast<std::int64_t>(std::max(g.AwgCoarse, 0)) * 10000 + std::max(g.AwgFine, 0);
    return n == 0 ? 1 : n;
}

bool noiseRange(const GeneratorState& g) {
    return g.FMult == core::kFMultNoise && g.Function != GenFunction::Pulse && g.Function != GenFunction::Awg;
}

bool externalModSource(const GeneratorState& g) {
    return g.Mod_Src == core::kModSrcA1 || g.Mod_Src == core::kModSrcA2;
}

} // namespace kx::generator
