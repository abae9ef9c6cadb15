// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/CorrectionTables.h"

#include <cmath>

namespace kx::analyzers {

std::complex<double> interpolateTable(std::span<const std::complex<double>> values, std::int32_t startHz,
                                      std::int32_t spanHz, double frequencyHz) {
    const std::size_t count = values.size();
    if (count == 0) return {};
    const double u = spanHz != 0 ? (frequencyHz - startHz) * static_cast<double>(count) / spanHz : 0.0;
    if (!(u >= 0)) return values[0]; // below the start, or NaN
    if (u >= static_cast<double>(count - 1)) return values[count - 1];
    const auto i = static_cast<std::size_t>(std::trunc(u));
    const double t = u - static_cast<double>(i);
    return (1 - t) * values[i] + t * values[i + 1];
}

} // namespace kx::analyzers
