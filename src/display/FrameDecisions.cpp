// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/FrameDecisions.h"

#include "display/ScreenGeometry.h"

namespace kx::display {

namespace {

int channelState(int channel, bool wanted, const core::FrameHeader& h) {
    if (!wanted) return kFftOff;
    if ((h[core::fh::ChannelMask] & (1u << channel)) == 0) return kFftNotInFrame;
    if (h[core::fh::PeakDetect] != 0) return kFftPeakDetect;
    if (h[core::fh::AnalogCount] > 127) {
        const std::uint32_t ets = h[fftword::EtsFftChannel];
        return (ets == 0 || ets == static_cast<std::uint32_t>(channel + 1)) ? kFftShown : kFftNotInFrame;
    }
    return kFftTooShort;
}

} // namespace

FftStates computeFftStates(const core::FftState& fft, const core::FrameHeader& h) {
    const bool wantA1 = fft.View_A1 || (fft.View_A2 && fft.Calc_Both);
    const bool wantA2 = fft.View_A2 || (fft.View_A1 && fft.Calc_Both);
    return {channelState(0, wantA1, h), channelState(1, wantA2, h)};
}

int fftLog2(std::int32_t sizeSetting, std::uint32_t analogCount) {
    if (sizeSetting >= 0 && sizeSetting <= 5) return 10 + sizeSetting;
    if (analogCount == 0) return 10;
    int bits = 0;
    while (bits < kMaxFftLog2 && (analogCount >> (bits + 1)) != 0) ++bits;
    return bits;
}

double analogMarkerCode(double level, double captureZero, double captureScale, double screenZero,
                        double currentScale) {
    if (!(currentScale > 0)) return screenZero;
    return screenZero + (level - captureZero) * captureScale / currentScale;
}

double frameTriggerMarkerCode(const core::FrameHeader& h, int channel, double screenZero,
                              double currentScale) {
    const bool a1 = channel == 0;
    return analogMarkerCode(h[core::fh::TriggerLevelCode], h[a1 ? core::fh::ZeroA1 : core::fh::ZeroA2],
                            h[a1 ? core::fh::ScaleA1 : core::fh::ScaleA2], screenZero, currentScale);
}

int rowOfCode(int plotTop, int plotHeight, double code) {
    return plotTop + roundPx((65536.0 - code) * plotHeight / 65536.0);
}

bool digitalShown(const core::AcquisitionState& s, int n) {
    switch (n) {
    case 1:
        return s.CH_D1;
    case 2:
        return s.CH_D2;
    case 3:
        return s.CH_D3;
    default:
        return s.CH_D4;
    }
}

bool channelShown(const core::AcquisitionState& s, int channel) {
    if (channel == 0) return s.A1.shown;
    if (channel == 1) return s.A2.shown;
    return digitalShown(s, channel - 1);
}

} // namespace kx::display
