// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/BackgroundOps.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kx::display;
namespace fh = kx::core::fh;
using kx::core::Channel;
using kx::core::FrameRecord;

namespace {

// A main frame with recognisable contents in every part a swap must carry.
void fillFrame(FrameRecord& r, std::uint32_t length, std::int32_t seed) {
    r.clear();
    r.header[fh::CaptureLength] = length;
    r.header[fh::AnalogCount] = length;
    r.header[fh::DigitalCount] = length;
    r.header[fh::FrameCounter] = static_cast<std::uint32_t>(seed);
    for (int c = 0; c < kx::core::kChannelCount; ++c)
        for (std::uint32_t k = 0; k < length; ++k) {
            r.channels.min[c][k] = seed + c * 1000 + static_cast<std::int32_t>(k);
            r.channels.max[c][k] = seed + c * 1000 + static_cast<std::int32_t>(k) + 1;
        }
    r.points.re[3] = seed * 0.5;
    r.points.im[9999] = -seed;
}

class BackgroundOpsTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = std::make_unique<FrameRecord>();
        background = std::make_unique<FrameRecord>();
        frame->clear();
        background->clear();
        state.trigger.Lev_A1 = 30000.5;
        state.trigger.Lev_A2 = 12000.25;
        state.scope.A1.Zero = 0x9000;
        state.scope.A2.Zero = 0x3000;
        names.dataFileName = "live.kxd";
        names.dataFileNameKnown = true;
    }

    SwapOutcome swap(std::int64_t firstShown = 0) {
        return swapWithBackground(state, *frame, *background, names, firstShown);
    }

    std::unique_ptr<FrameRecord> frame, background;
    kx::core::InstrumentState state;
    kx::files::DataFileNames names;
};

bool sameRecord(const FrameRecord& a, const FrameRecord& b) {
    return a.header.w == b.header.w && a.channels.min == b.channels.min && a.channels.max == b.channels.max &&
           a.points.re == b.points.re && a.points.im == b.points.im && a.loadedFromFile == b.loadedFromFile;
}

TEST_F(BackgroundOpsTest, FirstSwapMakesTheLiveFrameTheBackgroundWithTheSameSettings) {
    fillFrame(*frame, 500, 7);
    const auto before = std::make_unique<FrameRecord>();
    fillFrame(*before, 500, 7);

    const SwapOutcome out = swap();
    EXPECT_TRUE(out.swapped);
    EXPECT_TRUE(out.restartSpectra);
    EXPECT_TRUE(sameRecord(*background, *before));
    EXPECT_FALSE(hasSamples(*frame));
    EXPECT_EQ(frame->channels.min[0][0], kx::core::kNoSample);
    // Both sides carry the zeros and levels the live frame had.
    EXPECT_DOUBLE_EQ(state.trigger.Lev_A1, 30000.5);
    EXPECT_DOUBLE_EQ(state.display.BgTrigLevelA1, 30000.5);
    EXPECT_DOUBLE_EQ(state.display.BgTrigLevelA2, 12000.25);
    EXPECT_EQ(state.scope.A1.Zero, 0x9000);
    EXPECT_EQ(state.display.BgScreenZeroA1, 0x9000);
    EXPECT_EQ(state.display.BgScreenZeroA2, 0x3000);
    EXPECT_EQ(names.bgFileName, "live.kxd");
    EXPECT_TRUE(state.display.BgLaneSwap);
    EXPECT_TRUE(state.display.BgShow);
}

TEST_F(BackgroundOpsTest, SwappingTwiceReturnsEverything) {
    fillFrame(*frame, 800, 11);
    frame->loadedFromFile = true;
    fillFrame(*background, 300, 90000);
    state.display.BgTrigLevelA1 = 41000.75;
    state.display.BgTrigLevelA2 = 5000;
    state.display.BgScreenZeroA1 = 0xA000;
    state.display.BgScreenZeroA2 = 0x2000;
    names.bgFileName = "old_BG.kxd";
    names.bgFileNameKnown = false;

    const auto mainBefore = std::make_unique<FrameRecord>();
    const auto bgBefore = std::make_unique<FrameRecord>();
    fillFrame(*mainBefore, 800, 11);
    mainBefore->loadedFromFile = true;
    fillFrame(*bgBefore, 300, 90000);
    const kx::core::InstrumentState stateBefore = state;

    swap();
    // Once: everything is exchanged.
    EXPECT_TRUE(sameRecord(*frame, *bgBefore));
    EXPECT_TRUE(sameRecord(*background, *mainBefore));
    EXPECT_DOUBLE_EQ(state.trigger.Lev_A1, 41000.75);
    EXPECT_DOUBLE_EQ(state.display.BgTrigLevelA2, 12000.25);
    EXPECT_EQ(state.scope.A2.Zero, 0x2000);
    EXPECT_EQ(state.display.BgScreenZeroA1, 0x9000);
    EXPECT_EQ(names.dataFileName, "old_BG.kxd");
    EXPECT_FALSE(names.dataFileNameKnown);
    EXPECT_TRUE(names.bgFileNameKnown);

    swap();
    EXPECT_TRUE(sameRecord(*frame, *mainBefore));
    EXPECT_TRUE(sameRecord(*background, *bgBefore));
    EXPECT_EQ(state.trigger.Lev_A1, stateBefore.trigger.Lev_A1);
    EXPECT_EQ(state.trigger.Lev_A2, stateBefore.trigger.Lev_A2);
    EXPECT_EQ(state.scope.A1.Zero, stateBefore.scope.A1.Zero);
    EXPECT_EQ(state.scope.A2.Zero, stateBefore.scope.A2.Zero);
    EXPECT_EQ(state.display.BgTrigLevelA1, stateBefore.display.BgTrigLevelA1);
    EXPECT_EQ(state.display.BgTrigLevelA2, stateBefore.display.BgTrigLevelA2);
    EXPECT_EQ(state.display.BgScreenZeroA1, stateBefore.display.BgScreenZeroA1);
    EXPECT_EQ(state.display.BgScreenZeroA2, stateBefore.display.BgScreenZeroA2);
    EXPECT_EQ(state.display.BgLaneSwap, stateBefore.display.BgLaneSwap);
    EXPECT_EQ(names.dataFileName, "live.kxd");
    EXPECT_TRUE(names.dataFileNameKnown);
    EXPECT_EQ(names.bgFileName, "old_BG.kxd");
    EXPECT_FALSE(names.bgFileNameKnown);
}

TEST_F(BackgroundOpsTest, FirstSwapAndBackAgainRestoresTheLiveFrame) {
    fillFrame(*frame, 500, 3);
    const auto before = std::make_unique<FrameRecord>();
    fillFrame(*before, 500, 3);
    swap();
    // The user moved the (now empty) live zeros meanwhile: the background's own settings win.
    state.scope.A1.Zero = 0x1000;
    swap();
    EXPECT_TRUE(sameRecord(*frame, *before));
    EXPECT_FALSE(backgroundExists(*background));
    EXPECT_EQ(state.scope.A1.Zero, 0x9000);
    EXPECT_DOUBLE_EQ(state.trigger.Lev_A1, 30000.5);
    EXPECT_FALSE(state.display.BgLaneSwap);
    EXPECT_EQ(names.dataFileName, "live.kxd");
}

TEST_F(BackgroundOpsTest, NothingToSwapOnlyChecksTheView) {
    const SwapOutcome out = swap(100);
    EXPECT_FALSE(out.swapped);
    EXPECT_FALSE(out.restartSpectra);
    EXPECT_TRUE(state.display.BgShow);
    EXPECT_FALSE(state.display.BgLaneSwap);
    EXPECT_DOUBLE_EQ(state.display.BgTrigLevelA1, 49152.0);
}

TEST_F(BackgroundOpsTest, ScrollPositionComesFromTheBackgroundsAlignment) {
    struct Case {
        std::int64_t firstShown;
        std::int64_t expected;
    };
    const Case cases[] = {{-40, 0}, {0, 0}, {120, 120}, {300, 300}, {301, 300}, {5000, 300}};
    for (const Case& c : cases) {
        fillFrame(*frame, 800, 1);
        fillFrame(*background, 300, 2);
        const SwapOutcome out = swap(c.firstShown);
        EXPECT_EQ(out.scrollMax, 300) << c.firstShown;
        EXPECT_EQ(out.scrollPos, c.expected) << c.firstShown;
    }
}

TEST_F(BackgroundOpsTest, ClearEmptiesTheBackgroundAndTheLaneSwap) {
    fillFrame(*background, 300, 5);
    background->loadedFromFile = true;
    state.display.BgLaneSwap = true;
    names.bgFileNameKnown = true;
    state.display.BgScreenZeroA1 = 0x7000;

    clearBackground(state, *background, names);
    EXPECT_FALSE(backgroundExists(*background));
    EXPECT_EQ(background->header.w, kx::core::FrameHeader{}.w);
    for (int c = 0; c < kx::core::kChannelCount; ++c) {
        EXPECT_EQ(background->channels.min[c][0], kx::core::kNoSample);
        EXPECT_EQ(background->channels.max[c][299], kx::core::kNoSample);
    }
    EXPECT_EQ(background->points.re[3], kx::core::kNoAnalyzerData);
    EXPECT_EQ(background->points.im[9999], kx::core::kNoAnalyzerData);
    EXPECT_FALSE(background->loadedFromFile);
    EXPECT_FALSE(state.display.BgLaneSwap);
    EXPECT_FALSE(names.bgFileNameKnown);
    // Its zeros stay for the next background.
    EXPECT_EQ(state.display.BgScreenZeroA1, 0x7000);
}

TEST_F(BackgroundOpsTest, MenuItemsFollowWhatExists) {
    struct Case {
        bool main, bg;
        BackgroundMenuItems expected;
    };
    const Case cases[] = {
        {false, false, {false, false, false}},
        {true, false, {false, true, false}},
        {false, true, {true, true, true}},
        {true, true, {true, true, true}},
    };
    for (const Case& c : cases) {
        frame->header[fh::CaptureLength] = c.main ? 10 : 0;
        background->header[fh::CaptureLength] = c.bg ? 10 : 0;
        const BackgroundMenuItems m = backgroundMenuItems(*frame, *background);
        EXPECT_EQ(m.view, c.expected.view) << c.main << c.bg;
        EXPECT_EQ(m.swap, c.expected.swap) << c.main << c.bg;
        EXPECT_EQ(m.clear, c.expected.clear) << c.main << c.bg;
    }
}

TEST(BackgroundMapping, AlignsTheBackgroundOnTheTrigger) {
    kx::core::FrameHeader main, bg;
    main.set64(fh::SamplePeriodPs, 10000);
    main[fh::CaptureLength] = 1000;
    main[fh::PreTrigger] = 200;
    bg.set64(fh::SamplePeriodPs, 5000); // taken at half the time base
    bg.set64(fh::DigitalPeriodPs, 5000);
    bg[fh::CaptureLength] = 1000;
    bg[fh::AnalogCount] = 1000;
    bg[fh::DigitalCount] = 500;
    bg[fh::PreTrigger] = 300;

    struct Case {
        std::int64_t scroll;
        std::int64_t first;
        double fraction;
        std::int64_t count;
        std::int64_t firstDigital;
    };
    const Case cases[] = {
        {200, 300, 0, 1000, 150},   // trigger at the left edge on both
        {250, 400, 0, 1000, 200},   // 50 live samples are 100 background samples
        {0, -100, 0, 1100, -45},    // starts right of the left edge; count grows by the shift
        {-76, -252, 0, 1252, -100}, // truncation towards zero, also for negatives
    };
    for (const Case& c : cases) {
        const BackgroundMapping m = mapBackground(main, bg, c.scroll, 50, 2000);
        EXPECT_EQ(m.first, c.first) << c.scroll;
        EXPECT_DOUBLE_EQ(m.fraction, c.fraction) << c.scroll;
        EXPECT_EQ(m.count, c.count) << c.scroll;
        EXPECT_EQ(m.firstDigital, c.firstDigital) << c.scroll;
        EXPECT_EQ(m.digitalCount, 500);
        // 2 us/div over 50 pixels; 5 ns per sample: drawn compressed to 0.125 pixel per sample.
        EXPECT_DOUBLE_EQ(m.analogPixelsPerSample, 0.125);
    }

    // A fractional alignment keeps its sub-sample part, and the digital share of it.
    bg.set64(fh::SamplePeriodPs, 4000);
    const BackgroundMapping m = mapBackground(main, bg, 201, 50, 2000);
    EXPECT_EQ(m.first, 302);
    EXPECT_NEAR(m.fraction, 0.5, 1e-12);
    EXPECT_NEAR(m.digitalFraction, 500 * 0.5 / 1000, 1e-12);
}

TEST(BackgroundMapping, WithoutLiveSamplesItFollowsTheScrollPosition) {
    kx::core::FrameHeader main, bg;
    bg.set64(fh::SamplePeriodPs, 5000);
    bg[fh::CaptureLength] = 900;
    bg[fh::AnalogCount] = 800;
    bg[fh::DigitalCount] = 400;
    bg[fh::PreTrigger] = 300;
    const BackgroundMapping m = mapBackground(main, bg, 40, 50, 250);
    EXPECT_EQ(m.first, 40);
    EXPECT_EQ(m.fraction, 0);
    EXPECT_EQ(m.count, 800);
    EXPECT_EQ(m.firstDigital, 20);
    EXPECT_DOUBLE_EQ(m.analogPixelsPerSample, 1.0);
}

TEST(BackgroundMapping, CountNeverExceedsTheBuffers) {
    kx::core::FrameHeader main, bg;
    main.set64(fh::SamplePeriodPs, 5000);
    main[fh::CaptureLength] = 40000;
    main[fh::PreTrigger] = 39000;
    bg.set64(fh::SamplePeriodPs, 5000);
    bg[fh::CaptureLength] = 40000;
    bg[fh::DigitalCount] = 40000;
    const BackgroundMapping m = mapBackground(main, bg, 0, 50, 250);
    EXPECT_EQ(m.first, -39000);
    EXPECT_EQ(m.count, static_cast<std::int64_t>(kx::core::kMaxFramePoints));
    // Broken periods give no infinities.
    bg.set64(fh::SamplePeriodPs, 0);
    const BackgroundMapping z = mapBackground(main, bg, 0, 50, 0);
    EXPECT_EQ(z.analogPixelsPerSample, 0);
    EXPECT_EQ(z.first, -39000);
}

TEST(BackgroundLanes, TheBackgroundTakesTheHalfTheLiveTraceLeaves) {
    struct Case {
        int n;
        bool laneSwap;
        double zero, marker;
    };
    const Case cases[] = {
        {1, false, 512, 2048},
        {1, true, 4608, 6144},
        {4, false, 512 + 3 * 8192, 2048 + 3 * 8192},
        {4, true, 4608 + 3 * 8192, 6144 + 3 * 8192},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(backgroundDigitalZero(c.n, c.laneSwap), c.zero) << c.n << c.laneSwap;
        EXPECT_EQ(backgroundDigitalMarkerCode(c.n, c.laneSwap), c.marker) << c.n << c.laneSwap;
    }
}

} // namespace
