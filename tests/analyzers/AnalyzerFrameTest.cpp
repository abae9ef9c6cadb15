// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AnalyzerFrame.h"
#include "analyzers/ComplexDivide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace kx::analyzers;
using kx::core::Channel;
namespace fh = kx::core::fh;

namespace {

class AnalyzerFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        channels = std::make_unique<kx::core::ChannelBuffers>();
        points = std::make_unique<kx::core::AnalyzerPointArrays>();
        channels->clear();
        points->clear();
    }
    // Point k with the analog codes and the eight low bits D1/D3 (I) and D2/D4 (Q), sample 0 then 1.
    void setPoint(int k, std::int32_t a1, std::int32_t a2, int lowI = 0, int lowQ = 0) {
        const auto i = static_cast<std::size_t>(k);
        channels->minOf(Channel::A1)[i] = a1;
        channels->minOf(Channel::A2)[i] = a2;
        const auto set = [&](Channel ch, bool s0, bool s1) {
            channels->minOf(ch)[i] = s0 ? 256 : 0;
            channels->maxOf(ch)[i] = s1 ? 256 : 0;
        };
        set(Channel::D1, lowI & 8, lowI & 2);
        set(Channel::D3, lowI & 4, lowI & 1);
        set(Channel::D2, lowQ & 8, lowQ & 2);
        set(Channel::D4, lowQ & 4, lowQ & 1);
    }
    void sweep(int kind, int n, std::uint64_t startMilliHz, std::uint64_t spanMilliHz) {
        header[fh::AnalyzerMode] = static_cast<std::uint32_t>(kind);
        header[fh::CaptureLength] = static_cast<std::uint32_t>(n);
        header[fh::AnalogCount] = static_cast<std::uint32_t>(n);
        header.set64(fh::SweepStart, startMilliHz);
        header.set64(fh::SweepSpan, spanMilliHz);
    }
    kx::core::FrameHeader header;
    std::unique_ptr<kx::core::ChannelBuffers> channels;
    std::unique_ptr<kx::core::AnalyzerPointArrays> points;
};

} // namespace

TEST_F(AnalyzerFrameTest, DecodesTwentyBitComponents) {
    setPoint(0, 32768, 32768);
    setPoint(1, 65535, 0, 15, 0);
    setPoint(2, 32768, 32768, 0b1010, 0b0101);
    double x, y;
    ASSERT_TRUE(decodeAnalyzerPoint(*channels, 0, x, y));
    EXPECT_DOUBLE_EQ(x, 0.5 / 524288); // I = Q = 0: I taken as 0.5
    EXPECT_DOUBLE_EQ(y, 0);
    ASSERT_TRUE(decodeAnalyzerPoint(*channels, 1, x, y));
    EXPECT_DOUBLE_EQ(x * 524288, 524287);
    EXPECT_DOUBLE_EQ(y, -1);
    ASSERT_TRUE(decodeAnalyzerPoint(*channels, 2, x, y));
    EXPECT_DOUBLE_EQ(x * 524288, 10);                      // D1 s0 (8) + D1 s1 (2)
    EXPECT_DOUBLE_EQ(y * 524288, 5);                       // D4 s0 (4) + D4 s1 (1)
    EXPECT_FALSE(decodeAnalyzerPoint(*channels, 3, x, y)); // never written: no sample
}

TEST_F(AnalyzerFrameTest, PointFrequencies) {
    EXPECT_DOUBLE_EQ(analyzerPointFrequency(10000000, 100000000000, 1000, 0, 0), 10000);
    EXPECT_DOUBLE_EQ(analyzerPointFrequency(10000000, 100000000000, 1000, 0, 500), 50010000);
    EXPECT_DOUBLE_EQ(analyzerPointFrequency(5000, 1000, 10, 10, 7), 5); // N = P0: no step
}

TEST_F(AnalyzerFrameTest, CorrectionTableClampsAtBothEndsAndInterpolates) {
    NetworkCorrectionTable t;
    t.count = 1000;
    t.startHz = 10000;
    t.spanHz = 100000000;
    for (int i = 0; i < 1000; ++i) t.factors.emplace_back(i, -i);
    EXPECT_EQ(interpolateTable(t.factors, t.startHz, t.spanHz, 5000), t.factors[0]);
    EXPECT_EQ(interpolateTable(t.factors, t.startHz, t.spanHz, 200e6), t.factors[999]);
    EXPECT_EQ(interpolateTable(t.factors, t.startHz, t.spanHz, 10000 + 99.9e6), t.factors[999]);
    const auto mid = interpolateTable(t.factors, t.startHz, t.spanHz, 10000 + 100000 * 2.25);
    EXPECT_NEAR(mid.real(), 2.25, 1e-9);
    EXPECT_NEAR(mid.imag(), -2.25, 1e-9);
    EXPECT_EQ(interpolateTable({}, 0, 1, 5), std::complex<double>{});
}

TEST_F(AnalyzerFrameTest, NetworkFrameAppliesTheCorrectionInUse) {
    sweep(1, 3, 10000000, 3 * 1000000000ULL); // 10 kHz .. in 1 MHz steps
    setPoint(0, 32768 + 8192, 32768);         // x = 0.25
    setPoint(1, 32768, 32768 + 16384);        // y = 0.5
    // point 2 has no sample
    NetworkCorrectionTable t{2, 10000, 2000000, {{2, 0}, {0, 1}}};
    ProcessAnalyzerFrame(header, *channels, {&t, false, nullptr, false}, *points);
    EXPECT_DOUBLE_EQ(points->re[0], 0.25);
    EXPECT_DOUBLE_EQ(points->im[1], 0.5);
    EXPECT_EQ(points->re[2], 1e30);
    EXPECT_EQ(points->im[2], 1e30);

    ProcessAnalyzerFrame(header, *channels, {&t, true, nullptr, false}, *points);
    EXPECT_DOUBLE_EQ(points->re[0], 0.5); // factor[0] = 2
    // Point 1 at 1.01 MHz: u = 1, the last factor j: j x 0.5j = -0.5.
    EXPECT_NEAR(points->re[1], -0.5, 1e-12);
    EXPECT_NEAR(points->im[1], 0, 1e-12);
}

TEST_F(AnalyzerFrameTest, AntennaFrameReflectionAndOslCorrection) {
    sweep(2, 2, 10000000, 2000000);
    header[fh::ScaleA1] = 500000;        // 0.5 V/div: 4000 mV over the full range
    header[fh::GenAmplitudeWord] = 2000; // mV peak to peak
    // V = 4000 x x; G = 2 V / 1000 - 1 = 8 x - 1: x = 0.125 gives G = 0 (matched).
    setPoint(0, 32768 + 4096, 32768);
    setPoint(1, 32768 + 8192, 32768); // x = 0.25: G = 1 (open)
    ProcessAnalyzerFrame(header, *channels, {}, *points);
    EXPECT_NEAR(points->re[0], 0, 1e-5);
    EXPECT_NEAR(points->re[1], 1, 1e-5);

    // Terms of a bridge that reads open 0.9, short -0.8, load 0.1: the corrected open is +1.
    const std::complex<double> o{0.9, 0.1}, s{-0.8, 0.05}, l{0.1, -0.02};
    const std::complex<double> d = l * (o + s) - 2.0 * o * s;
    AntennaTermTable terms{1, 10000, 1000, {l * (o - s) / d}, {(2.0 * l - o - s) / d}, {(o - s) / d}};
    EXPECT_NEAR(std::abs(correctReflection(o, terms.e1[0], terms.e2[0], terms.e3[0]) - 1.0), 0, 1e-12);
    EXPECT_NEAR(std::abs(correctReflection(s, terms.e1[0], terms.e2[0], terms.e3[0]) + 1.0), 0, 1e-12);
    EXPECT_NEAR(std::abs(correctReflection(l, terms.e1[0], terms.e2[0], terms.e3[0])), 0, 1e-12);
    ProcessAnalyzerFrame(header, *channels, {nullptr, false, &terms, true}, *points);
    // A raw reading of exactly 0 corrects to E1 / -1.
    EXPECT_NEAR(points->re[0], -terms.e1[0].real(), 1e-12);
    EXPECT_NEAR(points->im[0], -terms.e1[0].imag(), 1e-12);

    // Amplitude code 0: G = 0 everywhere, uncorrected.
    header[fh::GenAmplitudeWord] = 0;
    ProcessAnalyzerFrame(header, *channels, {nullptr, false, &terms, true}, *points);
    EXPECT_EQ(points->re[0], 0);
    EXPECT_EQ(points->im[1], 0);
}

TEST_F(AnalyzerFrameTest, OscilloscopeFramesAreLeftAlone) {
    sweep(0, 3, 0, 0);
    setPoint(0, 1000, 1000);
    ProcessAnalyzerFrame(header, *channels, {}, *points);
    EXPECT_EQ(points->re[0], 1e30);
}

TEST(SmithDivide, OrdinaryQuotientAndNanOnZero) {
    const auto q = smithDivide({1, 2}, {3, -4});
    EXPECT_NEAR(std::abs(q - std::complex<double>(1, 2) / std::complex<double>(3, -4)), 0, 1e-15);
    const auto q2 = smithDivide({1, 2}, {0.001, 5});
    EXPECT_NEAR(std::abs(q2 - std::complex<double>(1, 2) / std::complex<double>(0.001, 5)), 0, 1e-15);
    EXPECT_TRUE(std::isnan(smithDivide({1, 0}, {0, 0}).real()));
    EXPECT_TRUE(std::isnan(smithDivide({1, 0}, {INFINITY, 0}).imag()));
}
