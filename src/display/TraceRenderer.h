// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"
#include "display/ScreenGeometry.h"
#include "display/SinxSampler.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <span>

namespace kx::display {

enum class TraceMode : int { Dots = 0, Vectors = 1, Sinx = 2 };

// One trace: which samples, where, and how they map to pixels.
struct TraceParams {
    TraceMode mode = TraceMode::Vectors;
    int x0 = 0; // plot origin inside the canvas
    int y0 = 0;
    std::span<const std::int32_t> min; // per sample; kNoSample where none
    std::span<const std::int32_t> max;
    int count = 0;           // samples taken from the arrays
    std::uint32_t color = 0; // Windows colour value
    double gain = 1;         // codes per sample unit
    double captureZero = 0;  // sample value of the capture's zero
    double screenZero = 0;   // vertical code the zero is drawn at
    double pixelsPerSample = 1;
    int firstSample = 0;       // sample shown at the plot's left edge; may be negative
    double subSampleShift = 0; // in samples; moves the trace left
    bool gap = false;          // show the roll-mode write position
    const core::FrameHeader* header = nullptr;
};

// Maps any number of samples onto at most 2 * PlotWidth + 1 pixel columns, each keeping its
// lowest and highest value, and draws one bar or connecting line per column. Keep one
// instance: the column arrays are reused for every trace.
class TraceRenderer {
public:
    // Draws into an RGB32 canvas; returns true when sin(x)/x interpolation was used.
    bool draw(QImage& canvas, const ScreenGeometry& geometry, std::uint32_t background, const TraceParams& p);

private:
    std::array<std::int32_t, kMaxColumns> m_lower{};
    std::array<std::int32_t, kMaxColumns> m_upper{};
    SinxSampler m_sinx;
};

// Digital lanes: channel n (1..4) sits in the n-th division from the bottom; with a background
// oscillogram of that channel, the live trace takes half the lane (upper or lower).
constexpr double kDigitalGain = 24;
constexpr double kDigitalGainShared = 12;
constexpr double digitalLaneZero(int n) {
    return 1024.0 + (n - 1) * 8192.0;
}
constexpr double digitalHalfLaneZero(int n, bool upperHalf) {
    return (upperHalf ? 4608.0 : 512.0) + (n - 1) * 8192.0;
}

} // namespace kx::display
