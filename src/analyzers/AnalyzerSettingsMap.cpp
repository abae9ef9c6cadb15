// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AnalyzerSettingsMap.h"

#include "analyzers/NetworkAnalyzer.h"

namespace kx::analyzers {

AntennaRanges antennaRangesFrom(const core::AnalyzerState& a) {
    return {antennaSwrSpan(a.AaSwrRange), antennaImpedanceRange(a.AaImpRange), antennaQRange(a.AaQRange)};
}

double antennaZoFrom(const core::AnalyzerState& a) {
    return antennaZo(a.AaZo);
}

int networkDbPerDivFrom(const core::AnalyzerState& a) {
    return networkDbPerDiv(a.NaAmpRange);
}

} // namespace kx::analyzers
