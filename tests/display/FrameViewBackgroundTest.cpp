// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/BackgroundOps.h"
#include "display/Colors.h"
#include "display/FrameView.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kx::display;
namespace fh = kx::core::fh;
using kx::core::Channel;
using kx::core::FrameRecord;

namespace {

constexpr int kSamples = 500;
constexpr int kLeft = 33, kWidth = 500, kBase = 29 + 256;

int rowOf(double code) {
    return kBase - roundPx(code * 256.0 / 65536.0);
}

void setUpFrame(FrameRecord& r) {
    r.clear();
    auto& h = r.header;
    h.set64(fh::SamplePeriodPs, 5000);
    h.set64(fh::DigitalPeriodPs, 5000);
    h[fh::ScaleA1] = 1'000'000;
    h[fh::ScaleA2] = 1'000'000;
    h[fh::CaptureLength] = kSamples;
    h[fh::AnalogCount] = kSamples;
    h[fh::DigitalCount] = kSamples;
    h[fh::TriggerIndex] = kSamples;
    h[fh::ChannelMask] = 0x3F;
}

void fill(FrameRecord& r, Channel c, std::int32_t value, int from = 0, int to = kSamples) {
    for (int k = from; k < to; ++k) r.channels.minOf(c)[k] = r.channels.maxOf(c)[k] = value;
}

// Design-size plot, one sample per pixel column for both frames; sample values are screen
// codes (capture zeros 0).
class FrameViewBackgroundTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<FrameView>();
        frame = std::make_unique<FrameRecord>();
        background = std::make_unique<FrameRecord>();
        setUpFrame(*frame);
        setUpFrame(*background);
        view->setBackground(background.get());

        state.scope.A1.Zero = 0;
        state.scope.A2.Zero = 0;
        state.display.BgScreenZeroA1 = 0;
        state.display.BgScreenZeroA2 = 0;
        state.display.BgShow = true;
        state.display.Grid = false;
        state.display.TrigPosL = false;
        state.display.cursors = kx::core::CursorMode::None;
        state.scope.A1.shown = state.scope.A2.shown = false;
        state.scope.CH_D1 = state.scope.CH_D2 = state.scope.CH_D3 = state.scope.CH_D4 = false;

        derived.TimeDivNs = 250;
        derived.MicroVoltsA1 = 1'000'000;
        derived.MicroVoltsA2 = 1'000'000;
        derived.DrawMode = 1;
    }

    void update() {
        view->signalAreaUpdate(state, derived, *frame, link);
        view->readoutUpdate(state, derived, *frame, link);
    }

    QRgb at(int x, int y) const { return view->screenBitmap().pixel(x, y); }
    QRgb color(Channel c) const { return toQRgb(channelColors(state.display.colors)[static_cast<int>(c)]); }
    QRgb faded(Channel c) const {
        return toQRgb(fade(channelColors(state.display.colors)[static_cast<int>(c)],
                           state.display.colors.ColorBackground, 2.0));
    }
    QRgb plot() const { return toQRgb(state.display.colors.ColorBackground); }

    std::unique_ptr<FrameView> view;
    std::unique_ptr<FrameRecord> frame, background;
    kx::core::InstrumentState state;
    kx::core::DerivedQuantities derived;
    LinkView link;
    kx::files::DataFileNames names;
};

TEST_F(FrameViewBackgroundTest, DigitalTracesShareTheLaneOneInEachHalf) {
    state.scope.CH_D1 = true;
    fill(*frame, Channel::D1, 0);        // live low
    fill(*background, Channel::D1, 256); // background high
    struct Case {
        bool laneSwap;
        double liveZero, backgroundZero;
    };
    const Case cases[] = {{false, 4608, 512}, {true, 512, 4608}};
    for (const Case& c : cases) {
        state.display.BgLaneSwap = c.laneSwap;
        update();
        const int x = kLeft + 200;
        EXPECT_EQ(at(x, rowOf(c.liveZero)), color(Channel::D1)) << c.laneSwap;
        EXPECT_EQ(at(x, rowOf(c.backgroundZero + 256 * kDigitalGainShared)), faded(Channel::D1))
            << c.laneSwap;
        EXPECT_EQ(at(x, rowOf(1024)), plot()) << c.laneSwap; // the whole-lane position stays empty
    }

    // Hidden background: the live trace gets its whole lane back.
    state.display.BgShow = false;
    update();
    EXPECT_EQ(at(kLeft + 200, rowOf(1024)), color(Channel::D1));
    EXPECT_EQ(at(kLeft + 200, rowOf(4608)), plot());
}

TEST_F(FrameViewBackgroundTest, ADigitalChannelOnlyTheLiveFrameHasKeepsItsWholeLane) {
    state.scope.CH_D2 = true;
    background->header[fh::ChannelMask] = 0x01; // the background has A1 only
    fill(*frame, Channel::D2, 0);
    update();
    EXPECT_EQ(at(kLeft + 200, rowOf(1024 + 8192)), color(Channel::D2));
}

TEST_F(FrameViewBackgroundTest, BackgroundIsDrawnUnderTheLiveTraceWithItsOwnZero) {
    state.scope.A1.shown = true;
    fill(*frame, Channel::A1, 0x8000);
    fill(*background, Channel::A1, 0x8000, 0, 250);
    fill(*background, Channel::A1, 0x6000, 250, kSamples);
    state.display.BgScreenZeroA1 = 0; // same place as the live trace for the first half
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), color(Channel::A1)); // live on top
    EXPECT_EQ(at(kLeft + 400, rowOf(0x6000)), faded(Channel::A1));

    state.display.BgScreenZeroA1 = 0x2000; // the background's own zero moves only it
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0xA000)), faded(Channel::A1));
    EXPECT_EQ(at(kLeft + 400, rowOf(0x8000)), color(Channel::A1));
}

TEST_F(FrameViewBackgroundTest, NothingOfTheBackgroundWithoutItsViewOrWhenCleared) {
    state.scope.A1.shown = true;
    fill(*background, Channel::A1, 0x4000);
    state.display.BgShow = false;
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0x4000)), plot());
    state.display.BgShow = true;
    clearBackground(state, *background, names);
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0x4000)), plot());
}

TEST_F(FrameViewBackgroundTest, SlowerBackgroundIsCompressedAndAlignedOnTheTrigger) {
    state.scope.A1.shown = true;
    frame->header.set64(fh::SamplePeriodPs, 10000); // live: 2 us/div over 200 samples
    frame->header[fh::PreTrigger] = 100;
    background->header.set64(fh::SamplePeriodPs, 5000); // background: twice the rate
    background->header[fh::PreTrigger] = 200;
    derived.TimeDivNs = 500; // one live sample, two background samples per pixel
    fill(*background, Channel::A1, 0x3000, 0, 200);
    fill(*background, Channel::A1, 0xB000, 200, kSamples);
    update();
    // The background's trigger sample lands on the live trigger position, column 100.
    EXPECT_EQ(at(kLeft + 90, rowOf(0x3000)), faded(Channel::A1));
    EXPECT_EQ(at(kLeft + 110, rowOf(0xB000)), faded(Channel::A1));
    EXPECT_EQ(at(kLeft + 110, rowOf(0x3000)), plot());
    // 500 samples at half a pixel each end at column 250.
    EXPECT_EQ(at(kLeft + 240, rowOf(0xB000)), faded(Channel::A1));
    EXPECT_EQ(at(kLeft + 260, rowOf(0xB000)), plot());
    EXPECT_EQ(view->backgroundFirstSample(), 0);
}

TEST_F(FrameViewBackgroundTest, ZeroAndTriggerMarkersOfTheBackground) {
    state.scope.A1.shown = true;
    state.scope.CH_D1 = true;
    state.display.BgScreenZeroA1 = 0x4000;
    state.scope.A1.Zero = 0xC000;
    background->header[fh::TriggerSource] = 3; // D1
    frame->header[fh::TriggerSource] = 0;
    update();
    EXPECT_EQ(at(kLeft - 2, rowOf(0x4000)), faded(Channel::A1));
    EXPECT_EQ(at(kLeft - 2, rowOf(0xC000)), color(Channel::A1));
    EXPECT_EQ(at(kLeft + kWidth - 1, rowOf(backgroundDigitalMarkerCode(1, false))), color(Channel::D1));

    // The live frame's marker moves to the other half while a background is shown.
    frame->header[fh::TriggerSource] = 3;
    background->header[fh::TriggerSource] = 0;
    update();
    EXPECT_EQ(at(kLeft + kWidth - 1, rowOf(6144)), color(Channel::D1));
    EXPECT_NE(at(kLeft + kWidth - 1, rowOf(4096)), color(Channel::D1));
}

} // namespace
