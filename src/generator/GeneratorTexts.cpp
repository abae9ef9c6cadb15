// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/GeneratorTexts.h"

#include "core/NumberFormat.h"
#include "generator/GeneratorQuantities.h"

namespace kx::generator {

using core::UnitType;

std::string modParamValueText(const core::GeneratorState& g, bool russian, char dec) {
    const double p = g.Mod_Param;
    const bool perDiv = externalModSource(g);
    switch (g.Mod_Type) {
    case core::kModFm: {
        const double scale = static_cast<double>(pow10(g.DF_Mult));
        if (perDiv)
            return core::formatNumber(p * 0.2 * scale, UnitType::Frequency, -4, dec) +
                   gentext::kPerDiv.pick(russian);
        return core::formatNumber(p * 10.0 * scale, UnitType::Frequency, -4, dec);
    }
    case core::kModPm:
        if (perDiv) return core::formatFixed(p * 0.002, 3, dec) + gentext::kPerDiv.pick(russian);
        return core::formatFixed(p * 0.01, 2, dec);
    default: // AM and SUM
        if (perDiv) return core::formatFixed(p * 0.025, 3, dec) + gentext::kPercentPerDiv;
        return core::formatFixed(p * 0.1, 1, dec) + gentext::kPercentPlain;
    }
}

std::string modFrequencyText(const core::GeneratorState& g, bool debugMode, char dec) {
    const double hz = static_cast<double>(modulationFrequency(g, debugMode)) * 0.001;
    return core::formatNumber(hz, UnitType::Frequency, g.MF_Mult + 1 + (g.MF_Slow == 0 ? 3 : 0), dec);
}

std::string levelText(double milliVolts, char dec) {
    return core::formatNumber(milliVolts * 1000.0, UnitType::Voltage, 7, dec);
}

} // namespace kx::generator
