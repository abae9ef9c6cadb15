// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/Distortion.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kx::analyzers {
namespace {

double db(double ratio) {
    return 10 * std::log10(ratio);
}

// Bin of harmonic k of a tone at bin f0, folded back below Nyquist.
double foldedBin(double f0, int k, int points) {
    double f = std::fmod(f0 * k, static_cast<double>(points));
    if (f > points / 2.0) f = points - f;
    return f;
}

} // namespace

int windowMainLobeHalfWidth(FftWindow window) {
    // First zero of each window's transform (or, for the flat top, the end of its flat part and
    // skirt), rounded up.
    static constexpr std::array<int, kFftWindowCount> kHalfWidth{1, 2, 5, 2, 3, 4, 4, 4, 2};
    const int i = static_cast<int>(window);
    return (i >= 0 && i < kFftWindowCount) ? kHalfWidth[static_cast<std::size_t>(i)] : 1;
}

DistortionFigures computeDistortion(const DistortionInput& in) {
    DistortionFigures out;
    const int half = std::min(in.points / 2, static_cast<int>(in.power.size()));
    if (half < 16 || in.usedSamples <= 0 || !(in.binHz > 0)) return out;
    const std::span<const double> p = in.power.first(static_cast<std::size_t>(half));

    // Zero filling widens every line by points / usedSamples bins.
    const double fill = std::min(1.0, static_cast<double>(in.usedSamples) / in.points);
    const int lobe = static_cast<int>(std::ceil(windowMainLobeHalfWidth(in.window) / fill));
    // Noise bandwidth of one bin of this transform, in bins: V² per bin = density * binHz * enbw.
    const double enbw = windowNoiseBandwidth(in.window) / fill;

    // The fundamental: the strongest bin clear of DC.
    int peak = -1;
    double peakValue = 0;
    for (int j = lobe; j < half; ++j)
        if (p[static_cast<std::size_t>(j)] > peakValue) {
            peakValue = p[static_cast<std::size_t>(j)];
            peak = j;
        }
    if (peak < 0) return out;

    // Its power and centre from its whole main lobe.
    double sum = 0, moment = 0;
    for (int j = std::max(peak - lobe, 0); j <= std::min(peak + lobe, half - 1); ++j) {
        sum += p[static_cast<std::size_t>(j)];
        moment += j * p[static_cast<std::size_t>(j)];
    }
    const double fundamental = sum / enbw;
    const double f0 = moment / sum;

    // Bins that belong to a line: DC, the fundamental and the harmonics. The rest is noise.
    auto near = [&](int j, double centre) { return std::fabs(j - centre) <= lobe; };
    std::array<double, kDistortionHarmonics + 1> harmonicBin{};
    double harmonics = 0;
    int counted = 0;
    for (int k = 2; k <= kDistortionHarmonics; ++k) {
        const double c = foldedBin(f0, k, in.points);
        harmonicBin[static_cast<std::size_t>(k)] = -1;
        // One whose line lies within the main lobe of DC or of the fundamental cannot be told
        // apart from them; a nearer one is looked for outside their lobes.
        if (c <= lobe || std::fabs(c - f0) <= lobe) continue;
        double largest = 0;
        for (int j = static_cast<int>(std::ceil(c - lobe)); j <= static_cast<int>(std::floor(c + lobe)); ++j)
            if (j >= lobe && j < half && !near(j, f0))
                largest = std::max(largest, p[static_cast<std::size_t>(j)]);
        harmonicBin[static_cast<std::size_t>(k)] = c;
        harmonics += largest;
        ++counted;
    }

    double noiseSum = 0;
    int noiseBins = 0;
    double spur = 0;
    for (int j = lobe; j < half; ++j) {
        const double v = p[static_cast<std::size_t>(j)];
        if (near(j, f0)) continue;
        spur = std::max(spur, v);
        bool line = false;
        for (int k = 2; k <= kDistortionHarmonics && !line; ++k)
            line = harmonicBin[static_cast<std::size_t>(k)] >= 0 &&
                   near(j, harmonicBin[static_cast<std::size_t>(k)]);
        if (line) continue;
        noiseSum += v;
        ++noiseBins;
    }
    if (noiseBins == 0 || !(fundamental > 0)) return out;

    // The noise of the bins left out is taken as the average of the others (over 0 .. fs/2).
    const double meanNoise = noiseSum / noiseBins;
    const double noise = meanNoise * half / enbw;
    const double density = meanNoise / (enbw * in.binHz);

    out.fundamentalHz = f0 * in.binHz;
    out.fundamentalPower = fundamental;
    out.harmonicsCounted = counted;
    const double thd = harmonics / fundamental;
    out.thdDb = db(thd > 0 ? thd : 1e-30);
    out.thdPercent = 100 * std::sqrt(thd);
    out.thdNoiseDb = db((harmonics + noise) / fundamental);
    out.sinadDb = -out.thdNoiseDb;
    out.sfdrDb = spur > 0 ? db(peakValue / spur) : 300;
    out.enobBits = (out.sinadDb - 1.76) / 6.02;
    out.noiseDbvPerRootHz = db(density > 0 ? density : 1e-30);
    out.valid = std::isfinite(out.sinadDb) && out.sinadDb > 0;
    return out;
}

} // namespace kx::analyzers
