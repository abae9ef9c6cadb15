// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/FrameDecisions.h"

#include <gtest/gtest.h>

using namespace kx::display;
namespace fh = kx::core::fh;

namespace {

struct FftCase {
    const char* name;
    bool viewA1, viewA2, calcBoth;
    std::uint32_t mask, peak, count, etsChannel;
    int a1, a2;
};

class FftStateTest : public ::testing::TestWithParam<FftCase> {};

TEST_P(FftStateTest, PerChannelState) {
    const auto c = GetParam();
    kx::core::FftState fft;
    fft.View_A1 = c.viewA1;
    fft.View_A2 = c.viewA2;
    fft.Calc_Both = c.calcBoth;
    kx::core::FrameHeader h;
    h[fh::ChannelMask] = c.mask;
    h[fh::PeakDetect] = c.peak;
    h[fh::AnalogCount] = c.count;
    h[fftword::EtsFftChannel] = c.etsChannel;
    const auto s = computeFftStates(fft, h);
    EXPECT_EQ(s.a1, c.a1);
    EXPECT_EQ(s.a2, c.a2);
    EXPECT_EQ(s.anyShown(), c.a1 == 1 || c.a2 == 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FftStateTest,
    ::testing::Values(FftCase{"nothing_wanted", false, false, true, 0x3F, 0, 5000, 0, 0, 0},
                      FftCase{"a1_only", true, false, false, 0x3F, 0, 5000, 0, 1, 0},
                      // The other channel's item with "Calc. Both Ch." makes both wanted.
                      FftCase{"a2_with_both", false, true, true, 0x3F, 0, 5000, 0, 1, 1},
                      FftCase{"a1_with_both_a2_absent", true, false, true, 0x01, 0, 5000, 0, 1, 2},
                      FftCase{"absent_wins_over_peak", true, false, false, 0x3E, 1, 5000, 0, 2, 0},
                      FftCase{"peak_detect", true, false, false, 0x3F, 1, 5000, 0, 3, 0},
                      FftCase{"too_short", true, false, false, 0x3F, 0, 127, 0, 4, 0},
                      FftCase{"just_enough", true, false, false, 0x3F, 0, 128, 0, 1, 0},
                      // Equivalent-time sampling computed the spectrum of one channel only.
                      FftCase{"ets_own_channel", false, true, true, 0x3F, 0, 5000, 2, 2, 1},
                      FftCase{"ets_other_channel", true, false, false, 0x3F, 0, 5000, 2, 2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
    std::int32_t setting;
    std::uint32_t count;
    int log2;
};

class FftSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(FftSizeTest, Log2OfPoints) {
    const auto c = GetParam();
    EXPECT_EQ(fftLog2(c.setting, c.count), c.log2);
}

INSTANTIATE_TEST_SUITE_P(Sizes, FftSizeTest,
                         ::testing::Values(SizeCase{0, 40000, 10}, SizeCase{5, 100, 15},
                                           // "Auto": the integer part of log2 of the valid samples.
                                           SizeCase{6, 3000, 11}, SizeCase{6, 2048, 11},
                                           SizeCase{6, 2047, 10}, SizeCase{6, 40000, 15}, SizeCase{6, 0, 10},
                                           // A corrupt count never asks for more than the work buffers hold.
                                           SizeCase{6, 0xFFFFFFFFu, 15}));

TEST(MarkerCodeTest, AnalogLevelFollowsTheCurrentScreen) {
    // Captured at 2 V/div with zero 0x8000, shown at 1 V/div with zero 0x4000.
    EXPECT_DOUBLE_EQ(analogMarkerCode(0x9000, 0x8000, 2'000'000, 0x4000, 1'000'000), 0x4000 + 0x2000);
    EXPECT_DOUBLE_EQ(analogMarkerCode(0x9000, 0x8000, 2'000'000, 0x4000, 0), 0x4000);
}

TEST(MarkerCodeTest, DigitalLaneCentres) {
    EXPECT_EQ(liveDigitalMarkerCode(1, false, false), 4096);
    EXPECT_EQ(liveDigitalMarkerCode(4, false, true), 4096 + 3 * 8192);
    EXPECT_EQ(liveDigitalMarkerCode(2, true, false), 6144 + 8192);
    EXPECT_EQ(liveDigitalMarkerCode(2, true, true), 2048 + 8192);
}

} // namespace
