// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SmithChart.h"
#include "display/Colors.h"
#include "display/FrameView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
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

    // Whether a colour lies within a pixel of (x, y).
    bool near(double x, double y, std::uint32_t color) const {
        const QImage& img = view->screenBitmap();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (img.pixel(static_cast<int>(std::lround(x)) + dx, static_cast<int>(std::lround(y)) + dy) ==
                    toQRgb(color))
                    return true;
        return false;
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

// The reflection lands where the chart's geometry puts it: against Zo, inductive up.
TEST_F(FrameViewAnalyzerTest, SmithChartPlacesTheReflectionAgainstZo) {
    const auto& c = state.display.colors;
    state.analyzer.AA = true;
    state.analyzer.AA_Smith = true;
    state.display.cursors = core::CursorMode::None;
    const auto& g = view->geometry();
    const analyzers::SmithFrame f = analyzers::smithFrame(g.PlotLeft, g.PlotTop, g.PlotWidth, g.PlotHeight);
    struct Case {
        const char* name;
        std::complex<double> bridge; // reflection against the bridge's 50 Ohm
        int zo;                      // AaZo index: 0 = 25, 1 = 50 Ohm
        double x, y;                 // expected, in units of the chart's radius from its centre
    };
    const Case cases[] = {
        {"matched", {0, 0}, 1, 0, 0},
        {"resistive", {0.5, 0}, 1, 0.5, 0},
        {"inductive", {0, 0.5}, 1, 0, -0.5},
        {"capacitive", {-0.3, -0.4}, 1, -0.3, 0.4},
        {"50 Ohm against 25", {0, 0}, 0, 1.0 / 3, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        state.analyzer.AaZo = k.zo;
        for (std::size_t i = 0; i < 100; ++i) {
            frame->points.re[i] = k.bridge.real();
            frame->points.im[i] = k.bridge.imag();
        }
        update(2);
        EXPECT_TRUE(near(f.cx + k.x * f.radius, f.cy + k.y * f.radius, c.ColorAaGraph1));
        EXPECT_EQ(beside(true, c.ColorRs).first, 0); // no graph scales
    }
    // The outer circle, and no cursor lines across it.
    EXPECT_TRUE(near(f.cx, f.cy - f.radius, c.ColorGridFrame));
    EXPECT_TRUE(near(f.cx, f.cy + f.radius, c.ColorGridFrame));
}

TEST_F(FrameViewAnalyzerTest, SmithChartMarksTheCursorsPoint) {
    const auto& c = state.display.colors;
    state.analyzer.AA = true;
    state.analyzer.AA_Smith = true;
    state.display.cursors = core::CursorMode::Single;
    state.display.CursorX = 2500; // point 50 of 100
    const auto& g = view->geometry();
    const analyzers::SmithFrame f = analyzers::smithFrame(g.PlotLeft, g.PlotTop, g.PlotWidth, g.PlotHeight);
    // A sweep from matched (0) to a reflection of 0.98 along the real axis.
    for (std::size_t i = 0; i < 100; ++i) {
        frame->points.re[i] = 0.0098 * static_cast<double>(i);
        frame->points.im[i] = 0;
    }
    update(2);
    const double x = f.cx + 0.49 * f.radius;
    EXPECT_TRUE(near(x + 4, f.cy, c.ColorMarkers) || near(x + 5, f.cy, c.ColorMarkers));
    EXPECT_TRUE(near(x, f.cy - 4, c.ColorMarkers));
    EXPECT_EQ(analyzers::smithCursorIndex(2500, 100, 1), 50);
    EXPECT_EQ(analyzers::smithCursorIndex(5000, 100, 2), 50); // zoom 2 shows the first half
    EXPECT_EQ(analyzers::smithCursorIndex(5000, 100, 1), 99);
    EXPECT_EQ(analyzers::smithImpedanceText({20, -3.514}), "Z = 20.0 - j3.51 Ohm");
    EXPECT_EQ(analyzers::smithImpedanceText({-0.5, 150}), "Z = -0.50 + j150 Ohm");
}

} // namespace
} // namespace kx::display
