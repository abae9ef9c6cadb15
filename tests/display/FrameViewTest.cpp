// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/FrameView.h"
#include "display/Colors.h"
#include "display/Persistence.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>

using namespace kx::display;
namespace fh = kx::core::fh;
using kx::core::Channel;

namespace {

constexpr int kSamples = 500;
constexpr int kLeft = 33, kTop = 29, kWidth = 500, kHeight = 256, kBase = kTop + kHeight;

int rowOf(int code) {
    return kBase - roundPx(code * 256.0 / 65536.0);
}

// Design-size paint box: plot 500 x 256 at (33, 29), 256 codes per pixel row, one sample per
// pixel column; code 0 is row 285. Sample values are screen codes (capture zero = screen zero = 0).
class FrameViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<FrameView>();
        frame = std::make_unique<kx::core::FrameRecord>();
        frame->clear();
        auto& h = frame->header;
        h.set64(fh::SamplePeriodPs, 5000);
        h.set64(fh::DigitalPeriodPs, 5000);
        h[fh::ScaleA1] = 1'000'000;
        h[fh::ScaleA2] = 1'000'000;
        h[fh::CaptureLength] = kSamples;
        h[fh::AnalogCount] = kSamples;
        h[fh::DigitalCount] = kSamples;
        h[fh::TriggerIndex] = kSamples;
        h[fh::ChannelMask] = 0x3F;

        state.scope.A1.Zero = 0;
        state.scope.A2.Zero = 0;
        state.scope.A2.shown = true;
        state.display.Grid = false;
        state.display.TrigPosL = false;
        state.display.cursors = kx::core::CursorMode::None;

        derived.TimeDivNs = 250; // 50 pixels per division, 5000 ps per sample: one pixel per sample
        derived.MicroVoltsA1 = 1'000'000;
        derived.MicroVoltsA2 = 1'000'000;
        derived.DrawMode = 1;
        showOnly({});
    }

    void showOnly(std::initializer_list<Channel> channels) {
        state.scope.A1.shown = state.scope.A2.shown = false;
        state.scope.CH_D1 = state.scope.CH_D2 = state.scope.CH_D3 = state.scope.CH_D4 = false;
        for (Channel c : channels) shown(c) = true;
    }
    bool& shown(Channel c) {
        switch (c) {
        case Channel::A1:
            return state.scope.A1.shown;
        case Channel::A2:
            return state.scope.A2.shown;
        case Channel::D1:
            return state.scope.CH_D1;
        case Channel::D2:
            return state.scope.CH_D2;
        case Channel::D3:
            return state.scope.CH_D3;
        default:
            return state.scope.CH_D4;
        }
    }

    void fill(Channel c, std::int32_t value, int from = 0, int to = kSamples) {
        for (int k = from; k < to; ++k) frame->channels.minOf(c)[k] = frame->channels.maxOf(c)[k] = value;
    }

    FrameOutcome update() {
        const auto out = view->signalAreaUpdate(state, derived, *frame, link);
        view->readoutUpdate(state, derived, *frame, link);
        return out;
    }

    QRgb at(int x, int y) const { return view->screenBitmap().pixel(x, y); }
    QRgb color(Channel c) const { return toQRgb(channelColors(state.display.colors)[static_cast<int>(c)]); }
    QRgb background() const { return toQRgb(state.display.colors.ColorBackground); }
    QRgb border() const { return toQRgb(state.display.colors.ColorBorder); }

    std::unique_ptr<FrameView> view;
    std::unique_ptr<kx::core::FrameRecord> frame;
    kx::core::InstrumentState state;
    kx::core::DerivedQuantities derived;
    LinkView link;
};

TEST_F(FrameViewTest, PlotIsFilledBeforeTracesAndMarginsClipThem) {
    showOnly({Channel::A1, Channel::A2});
    fill(Channel::A1, 0x8000);
    fill(Channel::A2, 70000); // beyond the top: drawn into the margin first
    view->signalAreaUpdate(state, derived, *frame, link);
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), color(Channel::A1));
    EXPECT_EQ(at(kLeft + 100, 100), background());
    EXPECT_EQ(at(kLeft + 100, rowOf(70000)), color(Channel::A2));
    view->readoutUpdate(state, derived, *frame, link);
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), color(Channel::A1));
    EXPECT_EQ(at(kLeft + 100, rowOf(70000)), border());
    // The frame lies one pixel outside the plot's left and top edges.
    const QRgb gridFrame = toQRgb(state.display.colors.ColorGridFrame);
    EXPECT_EQ(at(kLeft - 1, 100), gridFrame);
    EXPECT_EQ(at(kLeft + 100, kTop - 1), gridFrame);
    EXPECT_EQ(at(kLeft + kWidth, 100), gridFrame);
    EXPECT_EQ(at(kLeft + 100, kBase), gridFrame);
    EXPECT_EQ(at(kLeft + kWidth + 1, 100), border());
    EXPECT_EQ(at(kLeft + 100, kBase + 1), border());
}

TEST_F(FrameViewTest, MarkersAndCursorsAreDrawnOverTraces) {
    showOnly({Channel::A1, Channel::D1});
    frame->header[fh::ChannelMask] = 0x01; // D1 shown but not in the frame: only its marker
    frame->header[fh::TriggerSource] = 3;  // D1: marker at the lane centre, code 4096
    fill(Channel::A1, 4096);
    state.display.cursors = kx::core::CursorMode::Single;
    state.display.CursorX = 2500;         // column 250
    state.display.CursorY = 65536 - 8192; // row 224 from the top
    update();
    const int y = rowOf(4096);
    EXPECT_EQ(at(kLeft + kWidth - 1, y), color(Channel::D1));
    EXPECT_EQ(at(kLeft + kWidth - 5, y), color(Channel::D1));
    EXPECT_EQ(at(kLeft + kWidth - 6, y), color(Channel::A1));
    const QRgb markers = toQRgb(state.display.colors.ColorMarkers);
    EXPECT_EQ(at(kLeft + 250, y), markers); // the vertical cursor crosses the trace
    EXPECT_EQ(at(kLeft + 251, y), color(Channel::A1));
    EXPECT_EQ(at(kLeft + 100, kTop + 224), markers);
    EXPECT_EQ(at(kLeft + 250, kTop + 10), markers);
    // The zero marker sits in the margin, painted after it.
    EXPECT_EQ(at(kLeft - 2, rowOf(state.scope.A1.Zero)), color(Channel::A1));
}

TEST_F(FrameViewTest, GridAndTriggerPositionLine) {
    state.display.Grid = true;
    state.display.TrigPosL = true;
    frame->header[fh::PreTrigger] = 120;
    update();
    const QRgb grid = toQRgb(state.display.colors.ColorGrid);
    EXPECT_EQ(at(kLeft + 50, 100), grid);
    EXPECT_EQ(at(kLeft + 51, 100), background());
    EXPECT_EQ(at(kLeft + 51, kTop + 32), grid);
    EXPECT_EQ(at(kLeft + 10, kTop + 2), grid); // minor tick at the top edge
    EXPECT_EQ(at(kLeft + 10, kTop + 3), background());
    EXPECT_EQ(at(kLeft + 10, kTop + 128 + 1), grid); // across the centre line
    EXPECT_EQ(at(kLeft + 120, 100), toQRgb(state.display.colors.ColorTrigPos));

    state.scope.X_Pos = 121; // the trigger point scrolled off to the left
    update();
    EXPECT_EQ(at(kLeft + 120, 100), background());
    EXPECT_EQ(at(kLeft - 1, 100), toQRgb(state.display.colors.ColorGridFrame));
}

// Every shown channel crosses the same row; the last one drawn keeps the pixel.
struct StackCase {
    const char* name;
    std::vector<Channel> shown;
    std::uint32_t mask;
    std::optional<Channel> top; // none: nothing drawn there
};

class ChannelOrderTest : public FrameViewTest, public ::testing::WithParamInterface<StackCase> {};

TEST_P(ChannelOrderTest, D4FirstA1Last) {
    const auto& c = GetParam();
    constexpr int kCode = 40960;
    fill(Channel::A1, kCode);
    fill(Channel::A2, kCode);
    for (int n = 1; n <= 4; ++n)
        fill(static_cast<Channel>(1 + n), roundPx((kCode - digitalLaneZero(n)) / kDigitalGain));
    showOnly({});
    for (Channel ch : c.shown) shown(ch) = true;
    frame->header[fh::ChannelMask] = c.mask;
    update();
    EXPECT_EQ(at(kLeft + 200, rowOf(kCode)), c.top ? color(*c.top) : background());
}

INSTANTIATE_TEST_SUITE_P(
    Stack, ChannelOrderTest,
    ::testing::Values(
        StackCase{"all",
                  {Channel::A1, Channel::A2, Channel::D1, Channel::D2, Channel::D3, Channel::D4},
                  0x3F,
                  Channel::A1},
        StackCase{
            "no_a1", {Channel::A2, Channel::D1, Channel::D2, Channel::D3, Channel::D4}, 0x3F, Channel::A2},
        StackCase{"a1_not_in_frame", {Channel::A1, Channel::A2, Channel::D1}, 0x3E, Channel::A2},
        StackCase{"digital", {Channel::D1, Channel::D2, Channel::D3, Channel::D4}, 0x3F, Channel::D1},
        StackCase{"d2_d3_d4", {Channel::D2, Channel::D3, Channel::D4}, 0x3F, Channel::D2},
        StackCase{"d3_d4", {Channel::D3, Channel::D4}, 0x3F, Channel::D3},
        StackCase{"d4_not_in_frame", {Channel::D4}, 0x1F, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

class DigitalLaneTest : public FrameViewTest, public ::testing::WithParamInterface<int> {};

TEST_P(DigitalLaneTest, LowAndHighRowsOfTheLane) {
    const int n = GetParam();
    const auto ch = static_cast<Channel>(1 + n);
    showOnly({ch});
    fill(ch, 0, 0, 250);
    fill(ch, 256, 250, kSamples);
    update();
    const int low = kBase - (4 + 32 * (n - 1));   // 1024 + (n - 1) * 8192 codes
    const int high = kBase - (28 + 32 * (n - 1)); // plus 256 * 24
    EXPECT_EQ(at(kLeft + 100, low), color(ch));
    EXPECT_EQ(at(kLeft + 100, low - 1), background());
    EXPECT_EQ(at(kLeft + 400, high), color(ch));
    EXPECT_EQ(at(kLeft + 400, high + 1), background());
    EXPECT_EQ(at(kLeft + 250, (low + high) / 2), color(ch)); // the edge

    // Label "Dn" beside the lane, nothing of that colour elsewhere in the left margin.
    const int centre = kBase - 32 * (n - 1) - 16;
    int near = 0, far = 0;
    for (int y = 0; y < 375; ++y)
        for (int x = 0; x < kLeft - 1; ++x)
            if (at(x, y) == color(ch)) ++(std::abs(y - centre) <= 9 ? near : far);
    EXPECT_GT(near, 0);
    EXPECT_EQ(far, 0);
}

INSTANTIATE_TEST_SUITE_P(Lanes, DigitalLaneTest, ::testing::Values(1, 2, 3, 4));

TEST_F(FrameViewTest, DigitalSamplesFollowTheAnalogScroll) {
    // Fast digital frame: eight digital samples per analog sample.
    showOnly({Channel::D1});
    frame->header.set64(fh::DigitalPeriodPs, 625);
    frame->header[fh::DigitalCount] = 8 * kSamples;
    fill(Channel::D1, 0, 0, 2000);
    fill(Channel::D1, 256, 2000, 8 * kSamples);
    state.scope.X_Pos = 100; // first digital sample 800; the edge at 2000 lands on column 150
    update();
    EXPECT_EQ(at(kLeft + 148, kBase - 4), color(Channel::D1));
    EXPECT_EQ(at(kLeft + 152, kBase - 28), color(Channel::D1));
    EXPECT_EQ(at(kLeft + 148, kBase - 28), background());
}

struct MarkerCase {
    double code;
    int row;
};

class MarkerRowTest : public FrameViewTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(MarkerRowTest, ZeroMarkerAtItsRow) {
    const auto c = GetParam();
    showOnly({Channel::A1});
    state.scope.A1.Zero = static_cast<std::int32_t>(c.code);
    update();
    const int y = c.row;
    const QRgb a1 = color(Channel::A1);
    EXPECT_EQ(at(kLeft - 2, y), a1);     // tip
    EXPECT_EQ(at(kLeft - 19, y), a1);    // far side
    EXPECT_EQ(at(kLeft - 9, y + 7), a1); // shoulder
    EXPECT_EQ(at(kLeft - 17, y), background());
    EXPECT_EQ(at(kLeft - 12, y - 3), a1); // "Z"
    EXPECT_EQ(at(kLeft - 1, y), toQRgb(state.display.colors.ColorGridFrame));
    EXPECT_EQ(at(kLeft - 20, y), border());
}

TEST_P(MarkerRowTest, LevelMarkerAtItsRow) {
    const auto c = GetParam();
    showOnly({Channel::A2});
    state.trigger.Lev_A2 = c.code;
    state.trigger.Src = 1;
    update();
    const int R = kLeft + kWidth + 1;
    const QRgb a2 = color(Channel::A2);
    EXPECT_EQ(at(R + 1, c.row), a2);
    EXPECT_EQ(at(R + 18, c.row), a2);
    EXPECT_EQ(at(R + 8, c.row - 7), a2);
    EXPECT_EQ(at(R + 12, c.row), a2); // "T": A2 is the trigger source
    EXPECT_EQ(at(R + 16, c.row), background());
    state.trigger.Src = 0;
    update();
    EXPECT_EQ(at(R + 12, c.row), background());
}

INSTANTIATE_TEST_SUITE_P(Rows, MarkerRowTest,
                         ::testing::Values(MarkerCase{0xC000, kTop + 64}, MarkerCase{0x8000, kTop + 128},
                                           MarkerCase{65536, kTop}, MarkerCase{0, kBase},
                                           MarkerCase{127, kBase},
                                           // Rounded from the top edge: half a row goes up.
                                           MarkerCase{128, kBase}, MarkerCase{129, kBase - 1}));

TEST_F(FrameViewTest, LevelIsLimitedToThePlot) {
    showOnly({Channel::A1, Channel::A2});
    state.trigger.Lev_A1 = 1e6;
    state.trigger.Lev_A2 = -500;
    update();
    const int R = kLeft + kWidth + 1;
    EXPECT_EQ(at(R + 1, kTop), color(Channel::A1));
    EXPECT_EQ(at(R + 1, kBase), color(Channel::A2));
}

TEST_F(FrameViewTest, OverdriveDimsTheZeroGlyphOnly) {
    showOnly({Channel::A1});
    state.scope.A1.Zero = 0x8000;
    frame->header[fh::OverdriveA1] = 1;
    update();
    const int y = rowOf(0x8000);
    const auto roles = state.display.colors;
    EXPECT_EQ(at(kLeft - 12, y - 3), toQRgb(fade(roles.ColorA1, roles.ColorBackground, 2)));
    EXPECT_EQ(at(kLeft - 2, y), color(Channel::A1));
}

TEST_F(FrameViewTest, DraggedLevelShowsItsHysteresisBand) {
    showOnly({Channel::A1});
    state.trigger.Lev_A1 = 0x8000;
    state.trigger.Hyst = 2; // 512 codes: two rows either side
    const auto roles = state.display.colors;
    const QRgb strong = toQRgb(roles.ColorTrigPos);
    const QRgb weak = toQRgb(fade(roles.ColorTrigPos, roles.ColorBackground, 1.5));
    const int y = rowOf(0x8000);

    update();
    EXPECT_EQ(at(kLeft + 100, y), background());

    view->setLevelDrag(LevelDrag::A1);
    update();
    EXPECT_EQ(at(kLeft + 100, y), strong);
    EXPECT_EQ(at(kLeft + 100, y - 2), weak);
    EXPECT_EQ(at(kLeft + 100, y + 2), weak);
    EXPECT_EQ(at(kLeft + 100, y + 1), background());

    state.trigger.Hyst = 5; // a wide band takes the strong colour
    update();
    EXPECT_EQ(at(kLeft + 100, y), weak);
    EXPECT_EQ(at(kLeft + 100, y - 5), strong);

    view->setLevelDrag(LevelDrag::A2); // not A1's marker
    update();
    EXPECT_EQ(at(kLeft + 100, y), background());
}

TEST_F(FrameViewTest, DebugModePrintsMarkerCodes) {
    showOnly({Channel::A1});
    state.scope.A1.Zero = 0x8000;
    const int y = rowOf(0x8000);
    auto inkAboveZeroMarker = [&] {
        int ink = 0;
        for (int yy = y - 30; yy < y - 7; ++yy)
            for (int x = 0; x < kLeft - 1; ++x) ink += at(x, yy) == color(Channel::A1);
        return ink;
    };
    update();
    EXPECT_EQ(inkAboveZeroMarker(), 0);
    state.system.DebugMode = true;
    update();
    EXPECT_GT(inkAboveZeroMarker(), 0);
}

TEST_F(FrameViewTest, AnalogTraceUsesCaptureScaleAndZeros) {
    showOnly({Channel::A1});
    frame->header[fh::ScaleA1] = 2'000'000; // captured at 2 V/div, shown at 1 V/div
    frame->header[fh::ZeroA1] = 0x8000;
    state.scope.A1.Zero = 0x4000;
    fill(Channel::A1, 0x8000 + 0x1000);
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0x4000 + 0x2000)), color(Channel::A1));
}

TEST_F(FrameViewTest, ScrollPositionBeyondTheFrameJumpsBack) {
    showOnly({Channel::A1});
    fill(Channel::A1, 0x8000);
    state.scope.X_Pos = kSamples + 1;
    auto out = update();
    EXPECT_EQ(state.scope.X_Pos, 0);
    EXPECT_EQ(view->scrollPos(), 0);
    EXPECT_EQ(out.scrollMax, kSamples);

    state.scope.X_Pos = kSamples; // at the end: kept, nothing left to draw
    out = update();
    EXPECT_EQ(view->scrollPos(), kSamples);
    EXPECT_EQ(at(kLeft + 10, rowOf(0x8000)), background());
}

TEST_F(FrameViewTest, SpectrumHalfFadesTracesAndTakesTheScrollBar) {
    showOnly({Channel::A1, Channel::A2});
    fill(Channel::A1, 0x8000);
    state.fft.View_A1 = true;
    state.fft.Size = 1; // 2048 points
    state.scope.X_Pos = 300;
    state.display.Persistence = true; // no persistence behind a spectrum
    auto out = update();
    EXPECT_EQ(out.FftStateA1, kFftShown);
    EXPECT_EQ(out.FftStateA2, kFftOff);
    EXPECT_EQ(out.scrollMax, 1024);
    EXPECT_EQ(view->fftScrollPos(), 300);
    const auto roles = state.display.colors;
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), toQRgb(fade(roles.ColorA1, roles.ColorBackground, 2)));
    EXPECT_EQ(view->persistenceBitmap().pixel(100, rowOf(0x8000) - kTop), kPersistenceEmpty | 0xFF000000u);

    state.scope.X_Pos = 1025;
    frame->header[fftword::EtsFftChannel] = 0; // not from equivalent time: no factor 10
    update();
    EXPECT_EQ(state.scope.X_Pos, 0);

    // "View Signal" off hides the time traces behind the spectrum.
    state.fft.View_Sig = false;
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), background());
}

TEST_F(FrameViewTest, HiddenChannelLosesItsSpectrumItem) {
    showOnly({Channel::A2});
    state.fft.View_A1 = true;
    const auto out = update();
    EXPECT_FALSE(state.fft.View_A1);
    EXPECT_FALSE(out.fftA1Enabled);
    EXPECT_TRUE(out.fftA2Enabled);
    EXPECT_EQ(out.FftStateA1, kFftOff);
}

TEST_F(FrameViewTest, AnalyzerFramesHideTimeTraces) {
    showOnly({Channel::A1});
    fill(Channel::A1, 0x8000);
    frame->header[fh::AnalyzerMode] = 1;
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), background());
}

TEST_F(FrameViewTest, SinxReportedOnlyWhenInterpolating) {
    showOnly({Channel::A1, Channel::D1});
    for (int k = 0; k < kSamples; ++k) frame->channels.minOf(Channel::A1)[k] = (k % 7) * 4000;
    frame->channels.maxOf(Channel::A1) = frame->channels.minOf(Channel::A1);
    fill(Channel::D1, 256);
    derived.DrawMode = 2;
    EXPECT_TRUE(update().SinxActive);
    frame->header.set64(fh::SamplePeriodPs, 10000); // 100 MS/s: drawn as vectors
    derived.TimeDivNs = 500;
    EXPECT_FALSE(update().SinxActive);
    showOnly({Channel::D1}); // digital channels never interpolate
    frame->header.set64(fh::SamplePeriodPs, 5000);
    derived.TimeDivNs = 250;
    EXPECT_FALSE(update().SinxActive);
}

class PersistenceViewTest : public FrameViewTest {
protected:
    void SetUp() override {
        FrameViewTest::SetUp();
        state.display.Persistence = true;
        showOnly({Channel::A1});
    }
    // Plot pixels that are neither background nor grid.
    int tracePixels() const {
        int n = 0;
        for (int y = kTop; y < kBase; ++y)
            for (int x = kLeft; x < kLeft + kWidth; ++x) n += at(x, y) != background();
        return n;
    }
    void fadeStep() {
        view->requestFadeStep();
        update();
    }
};

TEST_F(PersistenceViewTest, OldTracesStayAndFade) {
    fill(Channel::A1, 0x8000);
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), color(Channel::A1));

    fill(Channel::A1, 0x4000);
    fadeStep();
    const auto palette = buildFadePalette(state.display.colors);
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), palette.entries[0] | 0xFF000000u);
    EXPECT_EQ(at(kLeft + 100, rowOf(0x4000)), color(Channel::A1));

    // Without a step request nothing fades, however often the frame is drawn.
    update();
    update();
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), palette.entries[0] | 0xFF000000u);
}

TEST_F(PersistenceViewTest, FadesOutAfterTheLastTraceAndRestartRearms) {
    fill(Channel::A1, 0x8000);
    view->requestFadeRestart();
    update();
    EXPECT_FALSE(view->fadeDone());
    EXPECT_EQ(view->fadeCounter(), 17);

    showOnly({}); // nothing new is drawn from here on
    for (int step = 1; step <= 17; ++step) {
        fadeStep();
        EXPECT_FALSE(view->fadeDone()) << step;
        EXPECT_EQ(tracePixels() > 0, step <= 15) << step; // fifteen fading levels, then empty
    }
    for (int step = 0; step < 15; ++step) fadeStep();
    EXPECT_TRUE(view->fadeDone());
    EXPECT_EQ(tracePixels(), 0);

    view->requestFadeRestart();
    update();
    EXPECT_FALSE(view->fadeDone());
    EXPECT_EQ(view->fadeCounter(), 17);
}

TEST_F(PersistenceViewTest, RestartWaitsForPersistence) {
    state.display.Persistence = false;
    view->requestFadeRestart();
    update();
    EXPECT_TRUE(view->fadeDone());
    state.display.Persistence = true;
    update();
    EXPECT_FALSE(view->fadeDone());
}

TEST_F(PersistenceViewTest, FadingFinishesAfterPersistenceIsSwitchedOff) {
    fill(Channel::A1, 0x8000);
    view->requestFadeRestart();
    update();
    state.display.Persistence = false;
    for (int step = 0; step < 18; ++step) fadeStep();
    EXPECT_TRUE(view->fadeDone());
    // The live trace goes straight to the screen again.
    EXPECT_EQ(at(kLeft + 100, rowOf(0x8000)), color(Channel::A1));
}

TEST_F(FrameViewTest, ResizeRebuildsGeometryAndBitmaps) {
    view->setPaintBoxSize(1864, 1010);
    EXPECT_EQ(view->geometry().PlotWidth, 1800);
    EXPECT_EQ(view->screenBitmap().size(), QSize(1864, 1010));
    EXPECT_EQ(view->persistenceBitmap().size(), QSize(1800, 896));
    view->setPaintBoxSize(0, -5); // never a null bitmap to draw into
    update();
    EXPECT_FALSE(view->screenBitmap().isNull());
}

} // namespace

namespace {

struct TriggerMarkerCase {
    const char* name;
    std::uint32_t level, captureZero, captureScale;
    int tipX, tipY; // a pixel of the triangle
    int otherX, otherY;
};

class FrameTriggerMarkerTest : public FrameViewTest,
                               public ::testing::WithParamInterface<TriggerMarkerCase> {};

TEST_P(FrameTriggerMarkerTest, PlacedByTheFramesLevel) {
    const auto& c = GetParam();
    showOnly({Channel::A1});
    frame->header[fh::TriggerSource] = 1;
    frame->header[fh::TriggerLevelCode] = c.level;
    frame->header[fh::ZeroA1] = c.captureZero;
    frame->header[fh::ScaleA1] = c.captureScale;
    state.trigger.Lev_A1 = 0x8000; // the level marker stays out of the way
    update();
    EXPECT_EQ(at(c.tipX, c.tipY), color(Channel::A1));
    EXPECT_EQ(at(c.otherX, c.otherY), color(Channel::A1));

    state.scope.A1.shown = false; // a hidden source has no marker
    update();
    EXPECT_NE(at(c.tipX, c.tipY), color(Channel::A1));
}

INSTANTIATE_TEST_SUITE_P(
    Levels, FrameTriggerMarkerTest,
    ::testing::Values(
        // 0x4000 at the same scale: row 221, pointing left from the right edge.
        TriggerMarkerCase{"on_screen", 0x4000, 0, 1'000'000, kLeft + kWidth - 5, 221, kLeft + kWidth - 1,
                          225},
        // Twice the scale: 80000 codes, above the top edge, pointing up.
        TriggerMarkerCase{"above", 40000, 0, 2'000'000, kLeft + kWidth - 5, kTop - 7, kLeft + kWidth - 1,
                          kTop - 3},
        // Below the capture zero by a whole screen at twice the scale: under the bottom edge.
        TriggerMarkerCase{"below", 0, 0x8000, 2'000'000, kLeft + kWidth - 5, kBase + 7, kLeft + kWidth - 9,
                          kBase + 3}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
