// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analyzers/Spectrum.h"
#include "analyzers/SpectrumDisplay.h"
#include "analyzers/SpectrumWindows.h"
#include "core/FrameRecord.h"

#include <cstdint>
#include <span>

namespace kx::analyzers {

// Spectrum settings as this library uses them (the dialog's ten settings).
struct SpectrumSettings {
    int sizeSetting = 6; // 0..5 = 1024..32768 points, 6 = "Auto"
    FftWindow window = FftWindow::FlatTop;
    SpectrumScale scale = SpectrumScale::DbV;
    bool db15PerDiv = false;
    bool dbvToVolt = false;
    bool averaging = false;
    int averagingExponent = 3; // 0..6 = 2, 4 .. 64, "Inf"
    int zoomSetting = 0;       // 0..8 = factors 1, 2, 5 .. 500
    bool viewSignal = true;
    bool bothChannels = false;
};
constexpr int kFftSizeAuto = 6;

// log2 of the transform size: 10 + setting, or for "Auto" the integer part of log2(analogCount)
// (10 without samples), at most 15.
int spectrumLog2Points(int sizeSetting, int analogCount);

// Frames averaged: 2^(exponent + 1) with averaging on (128 = unlimited), else 1.
int spectrumAveragingDepth(const SpectrumSettings& s);

// Zoom factor 1, 2, 5, 10, 20, 50, 100, 200, 500 of the zoom setting.
int spectrumZoomFactor(int zoomSetting);

// What the spectrum needs to know of the frame.
struct SpectrumFrameFacts {
    std::uint64_t samplePeriodPs = 0;
    int analogCount = 0;
    int triggerIndex = 0;
    bool rollFrame = false;
    double scaleUv = 0; // the channel's volts per division at capture
};

// Remembers the last (sample period, sample count) pair; a change restarts both averages.
class SpectrumRestartCache {
public:
    // True when the pair differs from the one seen before (the first call included).
    bool changed(std::uint64_t samplePeriodPs, int analogCount);

private:
    std::uint64_t m_period = 0;
    int m_count = -1;
};

struct ChannelSpectrumResult {
    SpectrumPeak peak; // frequency in hertz (0 while the sample period is unknown)
    int points = 0;    // N
    int averages = 0;  // r
};

// The spectrum of one channel's "min" samples for a frame; the caller clears its restart
// request afterwards.
ChannelSpectrumResult computeFrameSpectrum(SpectrumChannel& channel, const SpectrumSettings& settings,
                                           const SpectrumFrameFacts& frame,
                                           std::span<const std::int32_t> minSamples, bool restartRequested,
                                           bool peakFromInstantaneous = false);

// Header words of the spectrum results, saved with data files.
namespace fftword {
constexpr int FftStateA1 = 55;
constexpr int FftStateA2 = 56;
constexpr int EtsFftChannel = 57;
constexpr int FftPoints = 58;
constexpr int FftAveragesA1 = 59;  // A2: 60
constexpr int FftPeakValidA1 = 61; // A2: 62
constexpr int FftPeakLevelA1 = 63; // double; A2: 65
constexpr int FftPeakFreqA1 = 67;  // double; A2: 69
} // namespace fftword

// Writes FftPoints and the channel's count, peak validity, level and frequency.
void storeSpectrumWords(core::FrameHeader& header, bool a2, const ChannelSpectrumResult& result);

} // namespace kx::analyzers
