// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/FftTransform.h"
#include "analyzers/SpectrumWindows.h"

#include <complex>
#include <cstdint>
#include <span>
#include <vector>

namespace kx::analyzers {

constexpr int kMaxSpectrumLog2 = 15;                      // 32768 points
constexpr int kMaxSpectrumPoints = 1 << kMaxSpectrumLog2; // complex work buffer
constexpr int kMaxSpectrumBins = kMaxSpectrumPoints / 2;  // accumulator and display array
constexpr int kSpectrumHistoryDepth = 64;                 // moving-average ring
constexpr int kUnlimitedAveraging = 128;                  // depth of "Inf"
// The wide spectrum of the equivalent-time reconstruction: five times its transform size n.
constexpr int kMaxEtsSpectrumBins = 5 * kMaxSpectrumPoints;

// Arguments of one spectrum computation.
struct SpectrumInput {
    int log2Points = 10; // N = 2^log2Points, 1..15
    FftWindow window = FftWindow::FlatTop;
    double scaleUv = 0;                    // channel volts per division at capture, in µV
    std::span<const std::int32_t> samples; // "min" entries, 16-bit codes
    int validCount = 0;                    // number of valid samples in `samples`
    int startIndex = -1;                   // roll-mode ring: newest sample just before it; -1 = from 0
    bool keepAveraging = false;            // false restarts the average
    int depth = 1;                         // frames averaged; 1 = none; >= 65 = unlimited
    bool peakFromInstantaneous = false;    // peak of this frame instead of the average
};

struct SpectrumPeak {
    bool valid = false;
    double levelDb = 0;
    double frequency = 0; // fraction of the sample rate
    double phaseDeg = 0;
};

// One channel's spectrum state: work buffer, accumulator, history ring and count.
// The work areas are made at the first computation and kept for the largest size.
class SpectrumChannel {
public:
    SpectrumPeak compute(const SpectrumInput& in);

    // Power per bin summed over averages() frames (V²); N/2 values of the last computation.
    std::span<const double> accumulator() const;
    // Complex transform of the last frame (N values; bins 0..N/2-1 are the spectrum).
    std::span<const std::complex<double>> bins() const;
    int averages() const { return m_count; }
    int points() const { return m_points; }
    int ringIndex() const { return m_ringIndex; }
    void restart();
    // The whole accumulator (kMaxSpectrumBins values), made now if it was not yet: a data file
    // reads a stored spectrum into it.
    std::span<double> accumulatorStorage();

private:
    void allocate();
    const std::vector<double>& windowFor(FftWindow window, int length);

    ComplexBuffer m_work;
    std::vector<double> m_accumulator;
    std::vector<double> m_history; // ring slot i holds bins at [i * kMaxSpectrumBins ...]
    std::vector<double> m_window;
    double m_windowSum = 0;
    FftWindow m_windowKind = FftWindow::Rectangular;
    int m_windowLength = -1;
    int m_count = 0;
    int m_ringIndex = 0;
    int m_points = 0;
};

// Phase differences between the two channels at each channel's own peak bin.
struct CrossPhase {
    double a1MinusA2Deg = 0; // at A1's peak bin
    bool a1Valid = false;
    double a2MinusA1Deg = 0; // at A2's peak bin
    bool a2Valid = false;
    bool peaksCoincide = false; // the two peak bins lie within one bin
};

// Uses bins 0..half-1 of both transforms.
CrossPhase crossChannelPhase(std::span<const std::complex<double>> a1,
                             std::span<const std::complex<double>> a2, int half);

} // namespace kx::analyzers
