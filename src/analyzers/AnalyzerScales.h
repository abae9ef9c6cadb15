// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/AntennaAnalyzer.h"
#include "core/FrameRecord.h"

#include <array>
#include <string>

namespace kx::analyzers {

// One analyzer scale: a label per horizontal grid line (0 = top, 8 = bottom; empty = none) and
// a title drawn on line 0.
struct AnalyzerScale {
    std::array<std::string, 9> labels;
    std::string title;
    bool right = false; // beside the plot's right edge, else its left
};

// The network analyzer's amplitude: r dB per division, 0 = linear.
AnalyzerScale networkAmplitudeScale(int dbPerDiv, char dec = '.');
// The phase in degrees, network or antenna analyzer.
AnalyzerScale phaseScale();
// An antenna analyzer quantity's scale.
AnalyzerScale antennaScale(AntennaQuantity what, const AntennaRanges& r, char dec = '.');

// The warning drawn on the plot for an analyzer frame; empty when there is none.
std::string analyzerMessage(const core::FrameHeader& h, bool antenna, bool russian);

} // namespace kx::analyzers
