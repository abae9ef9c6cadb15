// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Colors.h"
#include "display/FrameView.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kx::display;
namespace fh = kx::core::fh;

namespace {

// Design-size paint box: plot 500 x 256 at (33, 29); readout rows at 7, 293, 311, 329, 347.
constexpr int kLeft = 33, kTop = 29, kWidth = 500, kHeight = 256;
constexpr std::uint32_t kInk = 0x123456; // a colour nothing else on the screen uses

struct Box {
    int left, top, right, bottom; // right and bottom exclusive
};

class FrameViewTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<FrameView>();
        frame = std::make_unique<kx::core::FrameRecord>();
        frame->clear();
        auto& h = frame->header;
        h.set64(fh::SamplePeriodPs, 5000);
        h.set64(fh::DigitalPeriodPs, 5000);
        h[fh::ScaleA1] = h[fh::ScaleA2] = 1'000'000;
        h[fh::CaptureLength] = h[fh::AnalogCount] = h[fh::DigitalCount] = 500;
        h[fh::PreTrigger] = 250;
        state.scope.A2.shown = false;
        state.scope.CH_D1 = state.scope.CH_D2 = state.scope.CH_D3 = state.scope.CH_D4 = false;
        state.display.cursors = kx::core::CursorMode::None;
        state.display.Grid = state.display.TrigPosL = false;
        state.scope.fmMode = kx::core::FreqMeterMode::Off;
        derived.TimeDivNs = 250;
    }

    int inkIn(const Box& b) const {
        const QImage& img = view->screenBitmap();
        int n = 0;
        for (int y = b.top; y < b.bottom; ++y)
            for (int x = b.left; x < b.right; ++x)
                if (img.pixel(x, y) == toQRgb(kInk)) ++n;
        return n;
    }
    void update() {
        view->signalAreaUpdate(state, derived, *frame, link);
        view->readoutUpdate(state, derived, *frame, link);
    }

    std::unique_ptr<FrameView> view;
    std::unique_ptr<kx::core::FrameRecord> frame;
    kx::core::InstrumentState state;
    kx::core::DerivedQuantities derived;
    LinkView link;
};

TEST_F(FrameViewTextsTest, ReadoutsLandInTheirMarginRows) {
    const Box plot{kLeft, kTop, kLeft + kWidth, kTop + kHeight};
    struct Case {
        const char* name;
        std::uint32_t kx::core::ColorRoles::*role;
        Box where; // the row band of the text, from its column to the next
    } const cases[] = {
        {"volts per division, status row", &kx::core::ColorRoles::ColorA1, {33, 7, 95, 7 + 16}},
        {"time per division, status row", &kx::core::ColorRoles::ColorGridFrame, {158, 7, 283, 7 + 16}},
        {"left-edge time, row 1", &kx::core::ColorRoles::ColorGridFrame, {33, 293, 158, 293 + 16}},
        {"Vpp, row 3", &kx::core::ColorRoles::ColorA1, {33, 329, 158, 329 + 16}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        state.display.colors = {};
        state.display.colors.*c.role = kInk;
        update();
        EXPECT_GT(inkIn(c.where), 0);
        EXPECT_EQ(inkIn(plot), 0);
    }
    state.display.colors = {};
    state.display.colors.ColorA1 = kInk;
    state.display.Measure = false;
    update();
    EXPECT_EQ(inkIn({33, 329, 533, 329 + 16}), 0);
}

TEST_F(FrameViewTextsTest, OverlaysAreWrittenOverTheTopOfThePlot) {
    state.display.colors.ColorExtraInfo = kInk;
    state.display.Extra_Info = true;
    update();
    EXPECT_GT(inkIn({kLeft, kTop, kLeft + kWidth, kTop + 16}), 0);
    EXPECT_EQ(inkIn({kLeft, kTop + 16, kLeft + kWidth, kTop + kHeight}), 0);

    // Russian debug lines go through the painter.
    state.display.Extra_Info = false;
    state.display.USB_Stat = state.system.DebugMode = true;
    state.system.RussianUi = true;
    update();
    EXPECT_GT(inkIn({kLeft, kTop + 30, kLeft + 250, kTop + 30 + 12 * 15}), 0);

    view->setPaintBoxSize(499, 300); // compact: no overlay at all
    state.display.Extra_Info = true;
    update();
    const ScreenGeometry& g = view->geometry();
    EXPECT_EQ(inkIn({g.PlotLeft, g.PlotTop, g.PlotLeft + g.PlotWidth, g.PlotTop + g.PlotHeight}), 0);
}

TEST_F(FrameViewTextsTest, TriggerEventLabelPointsAtTheTriggerPosition) {
    state.display.colors.ColorA1 = kInk;
    state.display.Trig_T = true;
    auto& h = frame->header;
    h[fh::TPlusKind] = 1;
    h[fh::TPlusValue] = 200;
    h[fh::TriggerSource] = 1;
    h[fh::TriggerLevelCode] = 0x8000;
    state.scope.A1.Zero = 0; // the level sits mid-plot, row 157
    update();
    const int x = kLeft + 250, y = kTop + 128;
    EXPECT_GT(inkIn({x - 20, y - 1, x, y + 2}), 0);        // the arrow left of the trigger position
    EXPECT_GT(inkIn({x + 1, y - 12, x + 120, y + 12}), 0); // box and text right of it
    EXPECT_EQ(inkIn({kLeft, kTop, kLeft + 200, kTop + kHeight}), 0);

    state.scope.A1.shown = false;
    update();
    EXPECT_EQ(inkIn({kLeft, kTop, kLeft + kWidth, kTop + kHeight}), 0);
}

} // namespace
