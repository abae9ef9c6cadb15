// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/AntennaAnalyzer.h"
#include "core/state/AnalyzerState.h"

namespace kx::analyzers {

// Ranges of the antenna graphs chosen in the instrument state.
AntennaRanges antennaRangesFrom(const core::AnalyzerState& a);
// Zo of the instrument state in ohms.
double antennaZoFrom(const core::AnalyzerState& a);
// The antenna analyzer shows its reflection on a Smith chart instead of its graphs.
inline bool smithChartShown(const core::AnalyzerState& a) {
    return a.AA && a.AA_Smith;
}

// dB per division of the network analyzer's amplitude scale (0 = linear).
int networkDbPerDivFrom(const core::AnalyzerState& a);

} // namespace kx::analyzers
