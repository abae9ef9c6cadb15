// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumSettingsMap.h"

#include <algorithm>

namespace kx::analyzers {

SpectrumSettings spectrumSettingsFrom(const core::FftState& fft) {
    SpectrumSettings s;
    s.sizeSetting = std::clamp<int>(fft.Size, 0, kFftSizeAuto);
    s.window = fftWindowFromIndex(fft.Win);
    s.scale = spectrumScaleFromIndex(fft.Scale);
    s.db15PerDiv = fft.dB15_div;
    s.dbvToVolt = fft.dbv_v;
    s.averaging = fft.Ave_On;
    s.averagingExponent = std::clamp<int>(fft.Ave, 0, 6);
    s.zoomSetting = std::clamp<int>(fft.Zoom, 0, 8);
    s.viewSignal = fft.View_Sig;
    s.bothChannels = fft.Calc_Both;
    return s;
}

} // namespace kx::analyzers
