// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/AntennaAnalyzer.h"
#include "core/FrameRecord.h"

#include <cstdint>
#include <span>

namespace kx::analyzers {

// Screen codes of the first n points of a network-analyzer frame; INT_MAX where a point is not
// drawn (no data, or magnitude not positive). Either output may be empty.
void networkTraceCodes(const core::AnalyzerPointArrays& points, int n, double rangeRatio, int dbPerDiv,
                       std::span<std::int32_t> amplitude, std::span<std::int32_t> phase);

// Screen codes of one quantity over the first n points of an antenna-analyzer frame; INT_MAX
// where a point has no data or the value is not a number.
void antennaTraceCodes(const core::AnalyzerPointArrays& points, int n, double zo, const AntennaRanges& ranges,
                       AntennaQuantity what, std::span<std::int32_t> codes);

} // namespace kx::analyzers
