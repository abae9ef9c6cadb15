// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/SpectrumWindows.h"

#include <span>

namespace kx::analyzers {

// Highest harmonic that THD counts.
constexpr int kDistortionHarmonics = 10;

// What the distortion figures are computed from: an averaged power spectrum (V² per bin, the
// accumulator divided by the count) of a transform of `points` points over `usedSamples`
// samples (fewer than points when the transform was zero-filled), and the width of one bin.
struct DistortionInput {
    std::span<const double> power; // bins 0 .. points/2 - 1
    FftWindow window = FftWindow::FlatTop;
    int points = 0;
    int usedSamples = 0;
    double binHz = 0;
};

// The figures of the distortion readout row; levels relative to the fundamental in dB.
struct DistortionFigures {
    bool valid = false; // a fundamental above the noise was found
    double fundamentalHz = 0;
    double fundamentalPower = 0; // V² (RMS squared)
    double thdDb = 0;            // harmonics 2..10 over the fundamental
    double thdPercent = 0;
    double thdNoiseDb = 0;        // harmonics and noise over the fundamental
    double sinadDb = 0;           // fundamental over harmonics and noise
    double sfdrDb = 0;            // fundamental over the largest other spectral line
    double enobBits = 0;          // (SINAD - 1.76) / 6.02
    double noiseDbvPerRootHz = 0; // noise density
    int harmonicsCounted = 0;     // harmonics that fell clear of DC and the fundamental
};

// Half the width of the window's main lobe, in bins of a transform without zero filling.
int windowMainLobeHalfWidth(FftWindow window);

DistortionFigures computeDistortion(const DistortionInput& in);

} // namespace kx::analyzers
