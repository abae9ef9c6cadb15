// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/SpectrumFrame.h"
#include "core/FrameRecord.h"
#include "core/state/AcquisitionState.h"
#include "core/state/FftState.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace kx::display {

// Spectrum words of FrameHeader.
namespace fftword = analyzers::fftword;

// Per-channel spectrum state as stored in FftStateA1 / FftStateA2.
enum FftStateValue : int {
    kFftOff = 0,        // no spectrum wanted
    kFftShown = 1,      // computed and shown
    kFftNotInFrame = 2, // channel absent, or the ETS spectrum belongs to the other channel
    kFftPeakDetect = 3, // taken with the peak detector
    kFftTooShort = 4,   // fewer than 128 valid samples
};

struct FftStates {
    int a1 = kFftOff;
    int a2 = kFftOff;
    bool anyShown() const { return a1 == kFftShown || a2 == kFftShown; }
};

FftStates computeFftStates(const core::FftState& fft, const core::FrameHeader& h);

// log2 of the transform size: settings 0..5 give 1024..32768 points, "Auto" follows the
// number of valid samples. Never above the work buffers' 32768 points.
int fftLog2(std::int32_t sizeSetting, std::uint32_t analogCount);

constexpr int kMaxFftLog2 = 15;

// Pixels per sample of a capture with this sample period at the current time base.
inline double pixelsPerSample(int pixelsPerDivX, std::uint64_t periodPs, std::int64_t timeDivNs) {
    if (timeDivNs <= 0) return 0;
    return pixelsPerDivX * 0.001 * static_cast<double>(periodPs) / static_cast<double>(timeDivNs);
}

// Digital samples per analog sample, for the first digital sample shown; 1 without a digital period.
inline std::int64_t digitalSamplesPerAnalog(std::uint64_t analogPeriodPs, std::uint64_t digitalPeriodPs) {
    if (digitalPeriodPs == 0) return 1;
    return static_cast<std::int64_t>(std::min<std::uint64_t>(analogPeriodPs / digitalPeriodPs, 1u << 20));
}

// Screen codes per captured code of an analog channel captured at `scale` and shown at
// `microVolts` per division; 0 while the current scale is unknown.
inline double analogGain(std::uint32_t scale, std::int64_t microVolts) {
    return microVolts > 0 ? static_cast<double>(scale) / static_cast<double>(microVolts) : 0;
}

inline int clampToInt(std::int64_t v) {
    return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN, INT_MAX));
}

// Vertical code at which the live frame's trigger marker of digital channel n (1..4) sits:
// the lane centre, or the centre of the half the live trace keeps beside a background.
constexpr double liveDigitalMarkerCode(int n, bool backgroundShown, bool laneSwap) {
    const double base = !backgroundShown ? 4096.0 : (laneSwap ? 2048.0 : 6144.0);
    return base + (n - 1) * 8192.0;
}

// Screen code of an analog trigger level captured with (captureZero, captureScale) on the
// current screen (screenZero, currentScale).
double analogMarkerCode(double level, double captureZero, double captureScale, double screenZero,
                        double currentScale);

// The same for the trigger level frame `h` was taken with on analog channel 0 (A1) or 1 (A2).
double frameTriggerMarkerCode(const core::FrameHeader& h, int channel, double screenZero,
                              double currentScale);

// Screen row of a vertical code (0 = bottom of the plot, 65536 = top).
int rowOfCode(int plotTop, int plotHeight, double code);

// Whether the menu shows digital channel n (1..4), or channel 0..5 (A1, A2, D1..D4).
bool digitalShown(const core::AcquisitionState& s, int n);
bool channelShown(const core::AcquisitionState& s, int channel);

} // namespace kx::display
