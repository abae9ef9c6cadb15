// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/Spectrum.h"
#include "analyzers/FftTransform.h"
#include "analyzers/SpectrumFrame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <thread>
#include <vector>

using namespace kx::analyzers;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kOneVoltPerDiv = 1e6; // µV per division
constexpr double kCodesPerVolt = 8192; // at 1 V/div

// 16-bit codes of a sine: amplitude in volts at 1 V/div, frequency in cycles per sample.
std::vector<std::int32_t> sine(int count, double amplitude, double cyclesPerSample, double phase = 0) {
    std::vector<std::int32_t> s(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        s[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(std::lround(
            0x8000 + amplitude * kCodesPerVolt * std::sin(2 * kPi * cyclesPerSample * i + phase)));
    return s;
}

SpectrumInput inputFor(const std::vector<std::int32_t>& s, int log2n, FftWindow w, int depth = 1,
                       bool keep = true) {
    SpectrumInput in;
    in.log2Points = log2n;
    in.window = w;
    in.scaleUv = kOneVoltPerDiv;
    in.samples = s;
    in.validCount = static_cast<int>(s.size());
    in.depth = depth;
    in.keepAveraging = keep;
    return in;
}

double db(double volts) {
    return 20 * std::log10(volts);
}

} // namespace

TEST(FftTransform, MatchesDirectTransformAndRefusesBadSizes) {
    constexpr int n = 16;
    ComplexBuffer buf(n);
    std::vector<std::complex<double>> x(n);
    for (int i = 0; i < n; ++i) x[static_cast<std::size_t>(i)] = {std::cos(i * 0.7) + i, std::sin(i * 1.3)};
    std::copy(x.begin(), x.end(), buf.span().begin());
    ASSERT_TRUE(fftInPlace(buf.span()));
    for (int k = 0; k < n; ++k) {
        std::complex<double> sum;
        for (int i = 0; i < n; ++i)
            sum += x[static_cast<std::size_t>(i)] * std::polar(1.0, -2 * kPi * k * i / n);
        EXPECT_NEAR(std::abs(buf.span()[static_cast<std::size_t>(k)] - sum), 0, 1e-9) << k;
    }
    // Unaligned arrays work too.
    std::vector<std::complex<double>> plain(x);
    ASSERT_TRUE(fftInPlace(plain));
    EXPECT_NEAR(std::abs(plain[3] - buf.span()[3]), 0, 1e-9);

    std::vector<std::complex<double>> odd(12);
    EXPECT_FALSE(fftInPlace(odd));
    EXPECT_FALSE(fftInPlace({}));
}

struct WindowCase {
    FftWindow window;
    const char* name;
};

class BinCentredSine : public ::testing::TestWithParam<WindowCase> {};

TEST_P(BinCentredSine, ReadsTheSineRmsAtItsBin) {
    constexpr int log2n = 12, n = 1 << log2n, bin = 300;
    const double amplitude = 0.8;
    const auto s = sine(n, amplitude, static_cast<double>(bin) / n);
    SpectrumChannel ch;
    const SpectrumPeak p = ch.compute(inputFor(s, log2n, GetParam().window));
    ASSERT_TRUE(p.valid);
    EXPECT_NEAR(p.levelDb, db(amplitude / std::sqrt(2.0)), 0.1);
    EXPECT_NEAR(p.frequency * n, bin, 0.02);
    EXPECT_EQ(ch.averages(), 1);
    EXPECT_EQ(ch.points(), n);
}

INSTANTIATE_TEST_SUITE_P(Windows, BinCentredSine,
                         ::testing::Values(WindowCase{FftWindow::Rectangular, "Rectangular"},
                                           WindowCase{FftWindow::Hann, "Hann"},
                                           WindowCase{FftWindow::FlatTop, "FlatTop"},
                                           WindowCase{FftWindow::Hamming, "Hamming"},
                                           WindowCase{FftWindow::Blackman, "Blackman"},
                                           WindowCase{FftWindow::BlackmanHarris, "BlackmanHarris"},
                                           WindowCase{FftWindow::Nuttall, "Nuttall"},
                                           WindowCase{FftWindow::BlackmanNuttall, "BlackmanNuttall"},
                                           WindowCase{FftWindow::Triangular, "Triangular"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Spectrum, RectangularBinCentredSineIsExact) {
    constexpr int log2n = 10, n = 1 << log2n, bin = 64;
    const auto s = sine(n, 1.0, static_cast<double>(bin) / n);
    SpectrumChannel ch;
    const SpectrumPeak p = ch.compute(inputFor(s, log2n, FftWindow::Rectangular));
    ASSERT_TRUE(p.valid);
    EXPECT_NEAR(p.levelDb, -3.0103, 0.01);
    EXPECT_NEAR(p.frequency, static_cast<double>(bin) / n, 1e-6);
}

TEST(Spectrum, OneKilohertzOneVoltOnOneVoltRangeWithAutoSize) {
    // 1 MS/s, 40000 samples: "Auto" takes 32768 of them.
    const auto s = sine(40000, 1.0, 1000.0 / 1e6);
    SpectrumSettings set; // flat top, "Auto", dBV
    SpectrumFrameFacts f{1000000, 40000, 0, false, kOneVoltPerDiv};
    SpectrumChannel ch;
    const ChannelSpectrumResult r = computeFrameSpectrum(ch, set, f, s, true);
    EXPECT_EQ(r.points, 32768);
    ASSERT_TRUE(r.peak.valid);
    EXPECT_NEAR(r.peak.levelDb, -3.01, 0.05);
    EXPECT_NEAR(r.peak.frequency, 1000, 1.0);
    EXPECT_NEAR(spectrumFullScale(kOneVoltPerDiv, SpectrumScale::DbV), 9.03, 0.005);
    EXPECT_EQ(spectrumReferenceLevel(kOneVoltPerDiv, SpectrumScale::DbV), 10);
}

TEST(Spectrum, SizeFromSettingAndAuto) {
    EXPECT_EQ(spectrumLog2Points(0, 40000), 10);
    EXPECT_EQ(spectrumLog2Points(5, 100), 15);
    EXPECT_EQ(spectrumLog2Points(kFftSizeAuto, 40000), 15);
    EXPECT_EQ(spectrumLog2Points(kFftSizeAuto, 32768), 15);
    EXPECT_EQ(spectrumLog2Points(kFftSizeAuto, 32767), 14);
    EXPECT_EQ(spectrumLog2Points(kFftSizeAuto, 1500), 10);
    EXPECT_EQ(spectrumLog2Points(kFftSizeAuto, 200), 7);
    EXPECT_EQ(spectrumLog2Points(kFftSizeAuto, 0), 10);
}

TEST(Spectrum, RollFrameUsesTheSamplesBeforeTheTriggerIndexRoundTheRing) {
    // Ring of 40000 with its newest sample at 9999: the 32768 used samples are 17232..39999, 0..9999.
    constexpr int valid = 40000, n = 32768, trigger = 10000, start = trigger - n + valid;
    const double wanted = 512.0 / n, other = 3000.0 / n;
    std::vector<std::int32_t> ring(valid);
    const auto inside = sine(n, 0.5, wanted);
    const auto outside = sine(valid, 2.0, other);
    for (int u = 0; u < valid; ++u) ring[static_cast<std::size_t>(u)] = outside[static_cast<std::size_t>(u)];
    for (int o = 0; o < n; ++o)
        ring[static_cast<std::size_t>((start + o) % valid)] = inside[static_cast<std::size_t>(o)];

    SpectrumSettings set;
    set.window = FftWindow::Rectangular;
    SpectrumChannel roll;
    const auto r =
        computeFrameSpectrum(roll, set, {1000000, valid, trigger, true, kOneVoltPerDiv}, ring, true);
    ASSERT_TRUE(r.peak.valid);
    EXPECT_NEAR(r.peak.frequency, wanted * 1e6, 0.1);
    EXPECT_NEAR(r.peak.levelDb, db(0.5 / std::sqrt(2.0)), 0.01);

    // Outside roll mode the same buffer is read from 0, where the other tone lies.
    SpectrumChannel plain;
    const auto p =
        computeFrameSpectrum(plain, set, {1000000, valid, trigger, false, kOneVoltPerDiv}, ring, true);
    EXPECT_GT(p.peak.frequency, 2 * wanted * 1e6);
}

TEST(Spectrum, MovingAverageKeepsTheLastDepthFrames) {
    constexpr int log2n = 10, n = 1 << log2n, bin = 100, depth = 4;
    const std::vector<double> amps{1.0, 0.5, 0.25, 0.8, 0.3, 0.6, 0.9};
    SpectrumChannel avg;
    std::vector<double> power;
    for (std::size_t i = 0; i < amps.size(); ++i) {
        const auto s = sine(n, amps[i], static_cast<double>(bin) / n);
        avg.compute(inputFor(s, log2n, FftWindow::Rectangular, depth, i != 0));
        SpectrumChannel single;
        single.compute(inputFor(s, log2n, FftWindow::Rectangular));
        power.push_back(single.accumulator()[bin]);
        const std::size_t first = i + 1 > depth ? i + 1 - depth : 0;
        double sum = 0;
        for (std::size_t k = first; k <= i; ++k) sum += power[k];
        EXPECT_EQ(avg.averages(), static_cast<int>(i + 1 - first));
        EXPECT_NEAR(avg.accumulator()[bin], sum, 1e-9 * sum) << i;
    }
}

TEST(Spectrum, AveragingRestarts) {
    constexpr int log2n = 10, n = 1 << log2n;
    const auto s = sine(n, 1.0, 50.0 / n);
    SpectrumChannel ch;
    for (int i = 0; i < 70; ++i) ch.compute(inputFor(s, log2n, FftWindow::Hann, 64, true));
    EXPECT_EQ(ch.averages(), 64);
    // A smaller depth than the count reached restarts.
    ch.compute(inputFor(s, log2n, FftWindow::Hann, 8, true));
    EXPECT_EQ(ch.averages(), 1);
    ch.compute(inputFor(s, log2n, FftWindow::Hann, 8, true));
    EXPECT_EQ(ch.averages(), 2);
    // So does a restart request, and no averaging at all.
    ch.compute(inputFor(s, log2n, FftWindow::Hann, 8, false));
    EXPECT_EQ(ch.averages(), 1);
    ch.compute(inputFor(s, log2n, FftWindow::Hann, 1, true));
    EXPECT_EQ(ch.averages(), 1);
    // And a change of size: the old bins are other frequencies.
    ch.compute(inputFor(s, log2n, FftWindow::Hann, 8, true));
    ch.compute(inputFor(s, log2n - 1, FftWindow::Hann, 8, true));
    EXPECT_EQ(ch.averages(), 1);
    EXPECT_EQ(ch.points(), n / 2);
}

TEST(Spectrum, UnlimitedAveragingSumsEveryFrameSinceTheRestart) {
    constexpr int log2n = 10, n = 1 << log2n, bin = 40;
    SpectrumChannel ch, single;
    double sum = 0;
    for (int i = 0; i < 100; ++i) {
        const auto s = sine(n, 0.2 + 0.01 * i, static_cast<double>(bin) / n);
        ch.compute(inputFor(s, log2n, FftWindow::Rectangular, kUnlimitedAveraging, i != 0));
        single.compute(inputFor(s, log2n, FftWindow::Rectangular));
        sum += single.accumulator()[bin];
    }
    EXPECT_EQ(ch.averages(), 100);
    EXPECT_NEAR(ch.accumulator()[bin], sum, 1e-9 * sum);
    SpectrumSettings set;
    set.averaging = true;
    set.averagingExponent = 6;
    EXPECT_EQ(spectrumAveragingDepth(set), kUnlimitedAveraging);
    set.averagingExponent = 3;
    EXPECT_EQ(spectrumAveragingDepth(set), 16);
    set.averaging = false;
    EXPECT_EQ(spectrumAveragingDepth(set), 1);
}

TEST(Spectrum, ParityOffsetsRemoveDcAndInterleaveMismatch) {
    constexpr int log2n = 10, n = 1 << log2n;
    auto s = sine(n, 0.5, 100.0 / n);
    for (int i = 0; i < n; i += 2) s[static_cast<std::size_t>(i)] += 3000; // one ADC phase offset
    SpectrumChannel ch;
    const SpectrumPeak p = ch.compute(inputFor(s, log2n, FftWindow::Rectangular));
    ASSERT_TRUE(p.valid);
    EXPECT_NEAR(p.frequency * n, 100, 1e-6);
    EXPECT_LT(ch.accumulator()[0], 1e-20);
}

TEST(Spectrum, SilentOrEmptyInputGivesNoPeak) {
    SpectrumChannel ch;
    std::vector<std::int32_t> flat(2048, 0x8000);
    EXPECT_FALSE(ch.compute(inputFor(flat, 11, FftWindow::FlatTop)).valid);
    std::vector<std::int32_t> none;
    EXPECT_FALSE(ch.compute(inputFor(none, 10, FftWindow::Hann)).valid);
    std::vector<std::int32_t> one{0x9000};
    EXPECT_FALSE(ch.compute(inputFor(one, 10, FftWindow::Hann)).valid);
    // A start index beyond the valid samples is read round the ring, not past it.
    auto s = sine(1024, 1, 0.1);
    SpectrumInput in = inputFor(s, 10, FftWindow::Hann);
    in.startIndex = 5000;
    EXPECT_TRUE(ch.compute(in).valid);
}

TEST(Spectrum, ZeroFilledShortRecordKeepsItsLevel) {
    // 3000 samples in an 4096-point transform.
    const auto s = sine(3000, 1.0, 0.05);
    SpectrumChannel ch;
    const SpectrumPeak p = ch.compute(inputFor(s, 12, FftWindow::FlatTop));
    ASSERT_TRUE(p.valid);
    EXPECT_NEAR(p.levelDb, -3.01, 0.05);
    EXPECT_NEAR(p.frequency, 0.05, 1e-4);
}

TEST(CrossPhase, DifferenceAtEachPeakWrapped) {
    constexpr int log2n = 10, n = 1 << log2n;
    const auto a1 = sine(n, 1, 64.0 / n, 30 * kPi / 180);
    const auto a2 = sine(n, 1, 64.0 / n, -170 * kPi / 180);
    SpectrumChannel c1, c2;
    c1.compute(inputFor(a1, log2n, FftWindow::Rectangular));
    c2.compute(inputFor(a2, log2n, FftWindow::Rectangular));
    const CrossPhase p = crossChannelPhase(c1.bins(), c2.bins(), n / 2);
    EXPECT_TRUE(p.peaksCoincide);
    ASSERT_TRUE(p.a1Valid);
    ASSERT_TRUE(p.a2Valid);
    EXPECT_NEAR(p.a1MinusA2Deg, -160, 1e-3); // 200 wrapped
    EXPECT_NEAR(p.a2MinusA1Deg, 160, 1e-3);

    const auto far = sine(n, 1, 200.0 / n);
    SpectrumChannel c3;
    c3.compute(inputFor(far, log2n, FftWindow::Rectangular));
    EXPECT_FALSE(crossChannelPhase(c1.bins(), c3.bins(), n / 2).peaksCoincide);
}

TEST(Spectrum, OddSampleCountLeavesNoDcResidue) {
    // 1001 samples of a small tone on the mid-range code: the DC bin must not win the peak.
    const auto s = sine(1001, 0.01, 0.1);
    SpectrumChannel ch;
    const SpectrumPeak p = ch.compute(inputFor(s, 10, FftWindow::Hann));
    ASSERT_TRUE(p.valid);
    EXPECT_NEAR(p.frequency, 0.1, 1e-3);
}

TEST(FftTransform, PlansAreMadeSafelyFromSeveralThreads) {
    // Both threads plan the same new sizes at once; bin 1 must match the direct sum.
    constexpr int kFirst = 3, kLast = 9;
    const auto input = [](std::size_t i) { return std::complex<double>(static_cast<double>(i % 7), 0); };
    std::vector<std::complex<double>> bin1;
    for (int log2n = kFirst; log2n <= kLast; ++log2n) {
        const std::size_t n = std::size_t{1} << log2n;
        std::complex<double> sum;
        for (std::size_t i = 0; i < n; ++i)
            sum += input(i) * std::polar(1.0, -2 * kPi * static_cast<double>(i) / n);
        bin1.push_back(sum);
    }
    auto work = [&](int& failures) {
        for (int round = 0; round < 20; ++round) {
            for (int log2n = kFirst; log2n <= kLast; ++log2n) {
                std::vector<std::complex<double>> x(std::size_t{1} << log2n);
                for (std::size_t i = 0; i < x.size(); ++i) x[i] = input(i);
                if (!fftInPlace(x) || std::abs(x[1] - bin1[static_cast<std::size_t>(log2n - kFirst)]) > 1e-9)
                    ++failures;
            }
        }
    };
    int a = 0, b = 0;
    {
        std::jthread t1(work, std::ref(a));
        std::jthread t2(work, std::ref(b));
    }
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
}
