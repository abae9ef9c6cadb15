// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumFrame.h"

#include <algorithm>
#include <array>
#include <bit>

namespace kx::analyzers {

int spectrumLog2Points(int sizeSetting, int analogCount) {
    if (sizeSetting >= 0 && sizeSetting < kFftSizeAuto) return 10 + sizeSetting;
    if (analogCount <= 0) return 10;
    const int log2 = std::bit_width(static_cast<unsigned>(analogCount)) - 1;
    return std::clamp(log2, 1, kMaxSpectrumLog2);
}

int spectrumAveragingDepth(const SpectrumSettings& s) {
    if (!s.averaging) return 1;
    return 1 << (std::clamp(s.averagingExponent, 0, 6) + 1);
}

int spectrumZoomFactor(int zoomSetting) {
    static constexpr std::array<int, 9> kFactors{1, 2, 5, 10, 20, 50, 100, 200, 500};
    return kFactors[static_cast<std::size_t>(std::clamp(zoomSetting, 0, 8))];
}

bool SpectrumRestartCache::changed(std::uint64_t samplePeriodPs, int analogCount) {
    const bool differs = samplePeriodPs != m_period || analogCount != m_count;
    m_period = samplePeriodPs;
    m_count = analogCount;
    return differs;
}

ChannelSpectrumResult computeFrameSpectrum(SpectrumChannel& channel, const SpectrumSettings& settings,
                                           const SpectrumFrameFacts& frame,
                                           std::span<const std::int32_t> minSamples, bool restartRequested,
                                           bool peakFromInstantaneous) {
    SpectrumInput in;
    in.log2Points = spectrumLog2Points(settings.sizeSetting, frame.analogCount);
    in.window = settings.window;
    in.scaleUv = frame.scaleUv;
    in.samples = minSamples;
    in.validCount = frame.analogCount;
    in.startIndex = frame.rollFrame ? frame.triggerIndex : -1;
    in.keepAveraging = !restartRequested;
    in.depth = spectrumAveragingDepth(settings);
    in.peakFromInstantaneous = peakFromInstantaneous;

    ChannelSpectrumResult out;
    out.peak = channel.compute(in);
    out.points = channel.points();
    out.averages = channel.averages();
    out.peak.frequency =
        frame.samplePeriodPs > 0 ? out.peak.frequency * 1e12 / static_cast<double>(frame.samplePeriodPs) : 0;
    return out;
}

void storeSpectrumWords(core::FrameHeader& header, bool a2, const ChannelSpectrumResult& result) {
    const int c = a2 ? 1 : 0;
    header[fftword::FftPoints] = static_cast<std::uint32_t>(result.points);
    header[fftword::FftAveragesA1 + c] = static_cast<std::uint32_t>(result.averages);
    header[fftword::FftPeakValidA1 + c] = result.peak.valid ? 1u : 0u;
    header.setReal(fftword::FftPeakLevelA1 + 2 * c, result.peak.levelDb);
    header.setReal(fftword::FftPeakFreqA1 + 2 * c, result.peak.frequency);
}

} // namespace kx::analyzers
