// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumDisplay.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kx::analyzers {

SpectrumScale spectrumScaleFromIndex(int index) {
    if (index < 0 || index > 3) return SpectrumScale::DbV;
    return static_cast<SpectrumScale>(index);
}

double spectrumUnitOffset(SpectrumScale scale) {
    switch (scale) {
    case SpectrumScale::Dbm50:
        return 13.0102999566;
    case SpectrumScale::Dbm75:
        return 11.2493873661;
    case SpectrumScale::Dbm600:
        return 2.2184874961;
    default:
        return 0;
    }
}

double spectrumFullScale(double scaleUv, SpectrumScale scale) {
    return 20 * std::log10(scaleUv * 4 * 1e-6 / std::sqrt(2.0)) + spectrumUnitOffset(scale);
}

int spectrumReferenceLevel(double scaleUv, SpectrumScale scale) {
    const double full = spectrumFullScale(scaleUv, scale);
    int r = -120;
    // A zero or broken scale gives -inf or NaN: the bottom level, no endless loop.
    while (r < 120 && r <= full - 0.5) r += 5;
    return r;
}

int spectrumDisplayCodes(std::span<const double> accumulator, int count, double scaleUv, SpectrumScale scale,
                         bool db15PerDiv, std::span<std::int32_t> codes) {
    std::fill(codes.begin(), codes.end(), INT_MAX);
    const double d = spectrumUnitOffset(scale);
    const int ref = spectrumReferenceLevel(scaleUv, scale);
    if (count <= 0) return ref;
    const double span = db15PerDiv ? 120 : 80;
    const double bottom = ref - span;
    const double perDb = 65536 / span;
    const std::size_t n = std::min(accumulator.size(), codes.size());
    for (std::size_t j = 0; j < n; ++j) {
        const double v = accumulator[j] / count;
        std::int32_t code = 0;
        if (v >= 1e-15) {
            const double c = (d + 10 * std::log10(v) - bottom) * perDb;
            // Halves away from zero; negative codes are drawn at the bottom anyway.
            code = c <= 0 ? 0 : static_cast<std::int32_t>(std::min(c + 0.5, 2147483646.0));
        }
        codes[j] = code;
    }
    return ref;
}

} // namespace kx::analyzers
