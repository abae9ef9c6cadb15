// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/CorrectionTables.h"
#include "core/FrameRecord.h"

#include <complex>
#include <cstdint>

namespace kx::analyzers {

// AnalyzerMode of a frame.
enum class AnalyzerKind { None = 0, Network = 1, Antenna = 2 };

// Any part at or above this value marks a point without data.
constexpr double kNoDataThreshold = 5e29;
inline bool hasAnalyzerData(double re, double im) {
    return re < kNoDataThreshold && im < kNoDataThreshold;
}

// The in-phase and quadrature result of point k, each in -1..1; false when A1 or A2 has no sample.
bool decodeAnalyzerPoint(const core::ChannelBuffers& channels, int k, double& x, double& y);

// Frequency of point k in hertz: start and span of the sweep in millihertz, N points of which
// the first p0 lie before the trigger.
double analyzerPointFrequency(std::uint64_t sweepStartMilliHz, std::uint64_t sweepSpanMilliHz, int n, int p0,
                              int k);

// Tables with their use flags (both read as off while a calibration dialog is open).
struct AnalyzerCorrections {
    const NetworkCorrectionTable* network = nullptr;
    bool useNetwork = false;
    const AntennaTermTable* antenna = nullptr;
    bool useAntenna = false;
};

// Turns an analyzer frame's channel streams into one complex value per point: the transfer
// function (kind 1) or the reflection coefficient (kind 2). Points 0..CaptureLength-1 are
// written, those without data as 1e30 in both parts; frames of kind 0 are left alone.
void ProcessAnalyzerFrame(const core::FrameHeader& header, const core::ChannelBuffers& channels,
                          const AnalyzerCorrections& corrections, core::AnalyzerPointArrays& points);

// The reflection correction of the open/short/load model.
std::complex<double> correctReflection(std::complex<double> g, std::complex<double> e1,
                                       std::complex<double> e2, std::complex<double> e3);

} // namespace kx::analyzers
