// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Colors.h"
#include "display/FrameView.h"

#include <gtest/gtest.h>

#include <memory>

namespace kx::display {
namespace {

namespace fh = core::fh;

// An analyzer frame of a few points with a flat response: the scales and the warnings only.
class FrameViewAnalyzerTest : public ::testing::Test {
protected:
    void SetUp() override {
        view = std::make_unique<FrameView>();
        frame = std::make_unique<core::FrameRecord>();
        frame->clear();
        auto& h = frame->header;
        h[fh::CaptureLength] = h[fh::AnalogCount] = 100;
        h[fh::ScaleA1] = 1'000'000;
        h[fh::GenAmplitudeWord] = 4000;
        for (std::size_t i = 0; i < 100; ++i) frame->points.re[i] = 1;
        derived.AnalyzerOn = true;
        derived.MicroVoltsA1 = 1'000'000;
    }
    void update(int mode) {
        frame->header[fh::AnalyzerMode] = static_cast<std::uint32_t>(mode);
        view->signalAreaUpdate(state, derived, *frame, link);
        view->readoutUpdate(state, derived, *frame, link);
    }
    // Pixels of a colour beside the plot, level with it, on one side; their mean row.
    std::pair<int, double> beside(bool right, std::uint32_t color) const {
        const QImage& img = view->screenBitmap();
        const auto& g = view->geometry();
        const int x0 = right ? g.PlotLeft + g.PlotWidth + 1 : 0;
        const int x1 = right ? img.width() : g.PlotLeft - 1;
        int n = 0;
        double rows = 0;
        for (int y = g.PlotTop - 8; y < g.PlotTop + g.PlotHeight + 8; ++y)
            for (int x = x0; x < x1; ++x)
                if (img.pixel(x, y) == toQRgb(color)) {
                    ++n;
                    rows += y;
                }
        return {n, n > 0 ? rows / n : 0};
    }
    // Pixels of a colour in the band of the plot where the warnings go (13/16 of its height).
    int messagePixels(std::uint32_t color) const {
        const QImage& img = view->screenBitmap();
        const auto& g = view->geometry();
        const int mid = g.PlotTop + g.PlotHeight * 13 / 16;
        int n = 0;
        for (int y = mid - 14; y <= mid + 14; ++y)
            for (int x = g.PlotLeft + 1; x < g.PlotLeft + g.PlotWidth - 1; ++x)
                n += img.pixel(x, y) == toQRgb(color);
        return n;
    }

    std::unique_ptr<FrameView> view;
    std::unique_ptr<core::FrameRecord> frame;
    core::InstrumentState state;
    core::DerivedQuantities derived;
    LinkView link;
};

TEST_F(FrameViewAnalyzerTest, NetworkScalesFollowTheShownCurves) {
    const auto& c = state.display.colors;
    struct Case {
        bool amplitude, phase;
    };
    for (const Case k : {Case{true, false}, Case{false, true}, Case{true, true}}) {
        SCOPED_TRACE(testing::Message() << k.amplitude << k.phase);
        state.analyzer = {};
        state.analyzer.NA = true;
        state.analyzer.NA_Ampl = k.amplitude;
        state.analyzer.NA_Phase = k.phase;
        update(1);
        EXPECT_EQ(beside(false, c.ColorNaAmpl).first > 0, k.amplitude);
        EXPECT_EQ(beside(true, c.ColorPhase).first > 0, k.phase);
    }
}

TEST_F(FrameViewAnalyzerTest, AntennaGraphsTwoAndThreeShareTheRightSideApart) {
    const auto& c = state.display.colors;
    state.analyzer.AA = true;
    state.analyzer.AaGraph1 = 1; // SWR
    state.analyzer.AaGraph2 = 1; // Rs
    state.analyzer.AaGraph3 = 0;
    update(2);
    const auto alone = beside(true, c.ColorRs);
    ASSERT_GT(alone.first, 0);
    EXPECT_GT(beside(false, c.ColorAaGraph1).first, 0);
    state.analyzer.AaGraph3 = 2; // Xs: the same labels, 10 pixels lower
    update(2);
    const auto rs = beside(true, c.ColorRs);
    const auto xs = beside(true, c.ColorXs);
    ASSERT_GT(xs.first, 0);
    EXPECT_NEAR(rs.second, alone.second - 5, 1.5);
    EXPECT_GT(xs.second, rs.second + 5);
}

TEST_F(FrameViewAnalyzerTest, WarningsOnThePlotWhileTheAnalyzerIsOn) {
    const auto& c = state.display.colors;
    state.analyzer.AA = true;
    state.analyzer.AaGraph1 = 0; // no curve of the warning's colour
    update(2);
    EXPECT_EQ(messagePixels(c.ColorAaGraph1), 0);
    frame->header[fh::GenAmplitudeWord] = 0; // "Generator is Off"
    update(2);
    const int english = messagePixels(c.ColorAaGraph1);
    EXPECT_GT(english, 100);
    state.system.RussianUi = true;
    update(2);
    EXPECT_GT(messagePixels(c.ColorAaGraph1), 100);
    derived.AnalyzerOn = false; // a stale frame after the analyzer was switched off
    update(2);
    EXPECT_EQ(messagePixels(c.ColorAaGraph1), 0);

    state.analyzer = {};
    state.analyzer.NA = true;
    state.analyzer.NA_Ampl = false;
    derived.AnalyzerOn = true;
    frame->header[fh::OverdriveA1] = 1;
    update(1);
    EXPECT_GT(messagePixels(c.ColorNaAmpl), 100);
}

} // namespace
} // namespace kx::display
