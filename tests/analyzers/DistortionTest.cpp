// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/Distortion.h"
#include "analyzers/SpectrumFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace kx::analyzers {
namespace {

constexpr int kCount = 32768;
constexpr double kRate = 1e6;    // 1 us per sample
constexpr double kScaleUv = 1e6; // 1 V/div: 8192 codes per volt

struct Signal {
    double hz = 10e3 + 37.7; // not on a bin
    double volts = 1.0;      // amplitude of the fundamental
    double h2Db = -200, h3Db = -200;
    double noiseVolts = 0; // RMS of white noise
};

// The spectrum the display would average: 16 frames of fresh noise.
DistortionFigures measure(const Signal& s, FftWindow window, int frames = 16) {
    std::mt19937 rng(7);
    std::normal_distribution<double> gauss(0, s.noiseVolts);
    SpectrumSettings settings;
    settings.sizeSetting = 5;
    settings.window = window;
    settings.averaging = frames > 1;
    settings.averagingExponent = 3;
    const SpectrumFrameFacts facts{static_cast<std::uint64_t>(1e12 / kRate), kCount, 0, false, kScaleUv};
    SpectrumChannel channel;
    std::vector<std::int32_t> codes(kCount);
    ChannelSpectrumResult r;
    for (int f = 0; f < frames; ++f) {
        for (int i = 0; i < kCount; ++i) {
            const double t = (i + f * kCount) / kRate;
            const double w = 2 * std::numbers::pi * s.hz * t;
            double v = s.volts * (std::sin(w) + std::pow(10, s.h2Db / 20) * std::sin(2 * w) +
                                  std::pow(10, s.h3Db / 20) * std::sin(3 * w));
            if (s.noiseVolts > 0) v += gauss(rng);
            codes[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::lround(0x8000 + v * 8192));
        }
        r = computeFrameSpectrum(channel, settings, facts, codes, f == 0);
    }
    std::vector<double> power(channel.accumulator().begin(), channel.accumulator().end());
    for (double& p : power) p /= r.averages;
    return computeDistortion({power, window, r.points, kCount, kRate / r.points});
}

TEST(Distortion, KnownHarmonicsGiveTheirThd) {
    struct Case {
        double h2, h3;
        FftWindow window;
        double hz = 10e3 + 37.7;
    };
    // The last: a tone 8 bins from DC, its 2nd harmonic within two main lobes of it (a 1 kHz
    // sine at 1 ms/div): still told apart.
    for (const Case c : {Case{-40, -50, FftWindow::FlatTop}, Case{-60, -200, FftWindow::BlackmanHarris},
                         Case{-30, -30, FftWindow::Hann}, Case{-40, -60, FftWindow::FlatTop, 250.3}}) {
        Signal s;
        s.hz = c.hz;
        s.h2Db = c.h2;
        s.h3Db = c.h3;
        const DistortionFigures d = measure(s, c.window);
        ASSERT_TRUE(d.valid);
        const double expected = 10 * std::log10(std::pow(10, c.h2 / 10) + std::pow(10, c.h3 / 10));
        // The Hann window's picket fence costs its harmonics up to 1.4 dB.
        const double tolerance = c.window == FftWindow::Hann ? 1.5 : 0.2;
        EXPECT_NEAR(d.thdDb, expected, tolerance) << static_cast<int>(c.window);
        EXPECT_NEAR(d.thdPercent, 100 * std::pow(10, expected / 20), 100 * std::pow(10, expected / 20) * 0.2);
        EXPECT_NEAR(d.fundamentalHz, s.hz, kRate / kCount / 10);
        EXPECT_NEAR(d.sfdrDb, -std::max(c.h2, c.h3), tolerance);
        EXPECT_NEAR(10 * std::log10(d.fundamentalPower), 10 * std::log10(0.5), 0.05);
    }
}

TEST(Distortion, WhiteNoiseGivesSinadEnobAndDensity) {
    Signal s;
    s.noiseVolts = 0.01; // SNR = 0.5 / 1e-4 = 37 dB
    const DistortionFigures d = measure(s, FftWindow::BlackmanHarris);
    ASSERT_TRUE(d.valid);
    const double snr = 10 * std::log10(0.5 / (s.noiseVolts * s.noiseVolts));
    EXPECT_NEAR(d.sinadDb, snr, 0.3);
    EXPECT_NEAR(d.thdNoiseDb, -snr, 0.3);
    EXPECT_NEAR(d.enobBits, (snr - 1.76) / 6.02, 0.05);
    // 1e-4 V² spread over 0 .. 500 kHz.
    EXPECT_NEAR(d.noiseDbvPerRootHz, 10 * std::log10(1e-4 / (kRate / 2)), 0.3);
    EXPECT_LT(d.thdDb, -60); // no harmonics, only the noise in their bins
}

TEST(Distortion, HarmonicsAboveNyquistFoldBack) {
    Signal s;
    s.hz = 180e3 + 11.1; // the 3rd harmonic at 540 kHz reads at 460 kHz
    s.h3Db = -45;
    const DistortionFigures d = measure(s, FftWindow::FlatTop, 1);
    ASSERT_TRUE(d.valid);
    EXPECT_NEAR(d.thdDb, -45, 0.2);
}

TEST(Distortion, NothingToMeasure) {
    std::vector<double> silent(kCount / 2, 0.0);
    EXPECT_FALSE(computeDistortion({silent, FftWindow::FlatTop, kCount, kCount, 30.5}).valid);
    EXPECT_FALSE(computeDistortion({{}, FftWindow::FlatTop, kCount, kCount, 30.5}).valid);
}

} // namespace
} // namespace kx::analyzers
