// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/AntennaAnalyzer.h"
#include "core/state/AnalyzerState.h"

namespace kx::analyzers {

// Ranges of the antenna graphs chosen in the instrument state.
AntennaRanges antennaRangesFrom(const core::AnalyzerState& a);
// Zo of the instrument state in ohms.
double antennaZoFrom(const core::AnalyzerState& a);
// dB per division of the network analyzer's amplitude scale (0 = linear).
int networkDbPerDivFrom(const core::AnalyzerState& a);

} // namespace kx::analyzers
