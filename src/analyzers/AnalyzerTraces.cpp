// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AnalyzerTraces.h"

#include "analyzers/AnalyzerFrame.h"
#include "analyzers/NetworkAnalyzer.h"

#include <algorithm>
#include <climits>

namespace kx::analyzers {

void networkTraceCodes(const core::AnalyzerPointArrays& points, int n, double rangeRatio, int dbPerDiv,
                       std::span<std::int32_t> amplitude, std::span<std::int32_t> phase) {
    const auto count = static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(core::kAnalyzerPoints)));
    for (std::size_t i = 0; i < count; ++i) {
        const NetworkPointCodes c = networkPointCodes({points.re[i], points.im[i]}, rangeRatio, dbPerDiv);
        if (i < amplitude.size()) amplitude[i] = c.drawn ? c.amplitude : INT_MAX;
        if (i < phase.size()) phase[i] = c.drawn ? c.phase : INT_MAX;
    }
}

void antennaTraceCodes(const core::AnalyzerPointArrays& points, int n, double zo, const AntennaRanges& ranges,
                       AntennaQuantity what, std::span<std::int32_t> codes) {
    const auto count = std::min(
        static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(core::kAnalyzerPoints))), codes.size());
    for (std::size_t i = 0; i < count; ++i) {
        if (!hasAnalyzerData(points.re[i], points.im[i])) {
            codes[i] = INT_MAX;
            continue;
        }
        codes[i] = antennaScreenCode(what, antennaQuantities({points.re[i], points.im[i]}, zo), ranges);
    }
}

} // namespace kx::analyzers
