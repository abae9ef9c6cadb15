// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumDisplay.h"
#include "analyzers/SpectrumFrame.h"
#include "analyzers/SpectrumSettingsMap.h"
#include "analyzers/SpectrumTexts.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

using namespace kx::analyzers;

TEST(SpectrumDisplay, ReferenceLevelPerScale) {
    EXPECT_EQ(spectrumReferenceLevel(1e6, SpectrumScale::DbV), 10);
    EXPECT_EQ(spectrumReferenceLevel(1e6, SpectrumScale::Dbm50), 25); // F = 22.04
    EXPECT_EQ(spectrumReferenceLevel(5000, SpectrumScale::DbV), -35); // F = -36.99
    EXPECT_EQ(spectrumReferenceLevel(0, SpectrumScale::DbV), -120);
    EXPECT_NEAR(spectrumUnitOffset(SpectrumScale::Dbm600), 10 * std::log10(1000.0 / 600), 1e-9);
}

TEST(SpectrumDisplay, CodesFromTheAveragedPower) {
    // Two frames of 0.5 V² each, 1 V/div, dBV: R = 10, bottom -70 at 10 dB/div.
    const std::vector<double> acc{1.0, 2e-15, 1e-15, 1e-12, 0.0, 200.0};
    std::vector<std::int32_t> codes(acc.size() + 1, 7);
    const int ref = spectrumDisplayCodes(acc, 2, 1e6, SpectrumScale::DbV, false, codes);
    EXPECT_EQ(ref, 10);
    const auto expected = [](double v) {
        return static_cast<std::int32_t>((10 * std::log10(v) + 70) * 65536 / 80 + 0.5);
    };
    EXPECT_EQ(codes[0], expected(0.5));
    EXPECT_EQ(codes[1], 0); // 1e-15 V²: far below the bottom line
    EXPECT_EQ(codes[2], 0); // below 1e-15
    EXPECT_EQ(codes[3], 0);
    EXPECT_EQ(codes[4], 0);
    EXPECT_EQ(codes[5], expected(100)); // above the top line: left to the renderer's clipping
    EXPECT_EQ(codes[6], INT_MAX);       // no bin

    spectrumDisplayCodes(acc, 2, 1e6, SpectrumScale::Dbm50, true, codes);
    const double d = 13.0102999566;
    EXPECT_EQ(codes[0],
              static_cast<std::int32_t>((d + 10 * std::log10(0.5) - (25 - 120)) * 65536 / 120 + 0.5));

    spectrumDisplayCodes(acc, 0, 1e6, SpectrumScale::DbV, false, codes);
    for (auto c : codes) EXPECT_EQ(c, INT_MAX);
}

TEST(SpectrumRestartCache, ChangeOfPeriodOrCountRestarts) {
    SpectrumRestartCache cache;
    EXPECT_TRUE(cache.changed(1000, 2000));
    EXPECT_FALSE(cache.changed(1000, 2000));
    EXPECT_TRUE(cache.changed(2000, 2000));
    EXPECT_TRUE(cache.changed(2000, 1000));
    EXPECT_FALSE(cache.changed(2000, 1000));
}

TEST(SpectrumSettings, ZoomAndWindowOfStoredValues) {
    EXPECT_EQ(spectrumZoomFactor(0), 1);
    EXPECT_EQ(spectrumZoomFactor(4), 20);
    EXPECT_EQ(spectrumZoomFactor(8), 500);
    EXPECT_EQ(spectrumZoomFactor(99), 500);
    EXPECT_EQ(fftWindowFromIndex(8), FftWindow::Triangular);
    EXPECT_EQ(fftWindowFromIndex(9), FftWindow::Rectangular);
    EXPECT_EQ(spectrumScaleFromIndex(-1), SpectrumScale::DbV);
}

TEST(SpectrumTexts, MessagesAndReadouts) {
    EXPECT_EQ(spectrumMessage(2, false, false), "There are no A1 samples for FFT.");
    EXPECT_EQ(spectrumMessage(4, true, true), "Недостаточно отсчетов канала A2 для БПФ.");
    EXPECT_EQ(spectrumMessage(3, true, false), "Turn off Peak Detector for FFT.");
    EXPECT_EQ(spectrumMessage(1, true, false), "");

    EXPECT_EQ(spectrumReferenceText(10, SpectrumScale::Dbm75), "10 dBm (75 ohm)");
    EXPECT_EQ(spectrumDivisionText(true, SpectrumScale::Dbm50), "15 dBm/Div");
    EXPECT_EQ(spectrumDivisionText(false, SpectrumScale::DbV), "10 dBV/Div");
    EXPECT_EQ(spectrumPointsText(32768), "N 32768");
    EXPECT_DOUBLE_EQ(spectrumSpanHz(1000000, false), 500000);
    EXPECT_DOUBLE_EQ(spectrumSpanHz(1000000, true), 1e9);
    EXPECT_EQ(spectrumSpanText(500000, 1).find(':'), std::string::npos);
    EXPECT_NE(spectrumSpanText(500000, 10).find(":10"), std::string::npos);

    SpectrumPeak p{true, -3.0103, 1000, 0};
    EXPECT_EQ(spectrumPeakLevelText(p, true, SpectrumScale::DbV, false), "Vp = -3.010 dBV");
    EXPECT_EQ(spectrumPeakLevelText(p, true, SpectrumScale::Dbm50, true), "Vp = 10.000 dBm");
    EXPECT_EQ(spectrumPeakLevelText(p, false, SpectrumScale::DbV, false), "Vp = ...");
    EXPECT_EQ(spectrumPeakLevelText(p, true, SpectrumScale::DbV, true).rfind("Vp = 707", 0), 0u);
    EXPECT_EQ(spectrumPeakFrequencyText({false, 0, 0, 0}, true), "Fp = ...");
    EXPECT_EQ(spectrumPhaseText(true, 12.345), "dPh = 12.35 Deg");
    EXPECT_EQ(spectrumPhaseText(false, 0), "dPh = ...");
    EXPECT_EQ(spectrumAveragingText(3, 5), "Av16 = 5");
    EXPECT_EQ(spectrumAveragingText(6, 300), "Av Inf = 300");
    EXPECT_EQ(spectrumCursorLevelText(10, 32768, false, SpectrumScale::DbV, false), "V = -30.00 dBV");
    EXPECT_EQ(spectrumCursorDeltaText(-16384, true, SpectrumScale::Dbm50), "dV = 30.00 dBm");
}

TEST(SpectrumWords, StoredPerChannel) {
    kx::core::FrameHeader h;
    ChannelSpectrumResult r{{true, -3.5, 1234.5, 10}, 4096, 7};
    storeSpectrumWords(h, true, r);
    EXPECT_EQ(h[58], 4096u);
    EXPECT_EQ(h[60], 7u);
    EXPECT_EQ(h[59], 0u);
    EXPECT_EQ(h[62], 1u);
    EXPECT_DOUBLE_EQ(h.getReal(65), -3.5);
    EXPECT_DOUBLE_EQ(h.getReal(69), 1234.5);
    EXPECT_DOUBLE_EQ(h.getReal(63), 0);
}

TEST(SpectrumSettings, FromTheInstrumentState) {
    kx::core::FftState fft;
    SpectrumSettings s = spectrumSettingsFrom(fft);
    EXPECT_EQ(s.sizeSetting, kFftSizeAuto);
    EXPECT_EQ(s.window, FftWindow::FlatTop);
    EXPECT_EQ(s.scale, SpectrumScale::DbV);
    EXPECT_EQ(s.averagingExponent, 3);
    EXPECT_TRUE(s.viewSignal);
    fft.Size = 2;
    fft.Win = 7;
    fft.Scale = 3;
    fft.dB15_div = true;
    fft.dbv_v = true;
    fft.Ave_On = true;
    fft.Ave = 6;
    fft.Zoom = 4;
    fft.Calc_Both = true;
    s = spectrumSettingsFrom(fft);
    EXPECT_EQ(s.sizeSetting, 2);
    EXPECT_EQ(s.window, FftWindow::BlackmanNuttall);
    EXPECT_EQ(s.scale, SpectrumScale::Dbm600);
    EXPECT_TRUE(s.db15PerDiv && s.dbvToVolt && s.averaging && s.bothChannels);
    EXPECT_EQ(spectrumAveragingDepth(s), kUnlimitedAveraging);
    EXPECT_EQ(spectrumZoomFactor(s.zoomSetting), 20);
    // Out-of-range values from a settings file stay usable.
    fft.Size = 99;
    fft.Win = -3;
    fft.Ave = 40;
    s = spectrumSettingsFrom(fft);
    EXPECT_EQ(s.sizeSetting, kFftSizeAuto);
    EXPECT_EQ(s.window, FftWindow::Rectangular);
    EXPECT_EQ(s.averagingExponent, 6);
}
