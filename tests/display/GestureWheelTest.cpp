// SPDX-License-Identifier: GPL-3.0-or-later
#include "GestureFixture.h"

#include "analyzers/SpectrumFrame.h"
#include "core/ScopeTables.h"

#include <gtest/gtest.h>

namespace {

using namespace kx::display;
using namespace kx::display::testing;
using kx::core::FrameHeader;
using kx::core::InstrumentState;
using kx::core::timeBaseIndexOf;
namespace fh = kx::core::fh;
namespace fftword = kx::analyzers::fftword;

class Wheel : public ::testing::Test {
protected:
    ScreenGeometry g = designGeometry();
    FrameHeader h;
    InstrumentState s = twoChannels();

    void frame(std::uint32_t samples, std::uint64_t periodPs) {
        h[fh::CaptureLength] = samples;
        h[fh::AnalogCount] = samples;
        h.set64(fh::SamplePeriodPs, periodPs);
    }
    GestureResult turn(bool up, int dx, int scrollMax, Availability available = {}) {
        WheelEvent e;
        e.x = g.PlotLeft + dx;
        e.y = g.PlotTop + 100;
        e.up = up;
        e.scrollMax = scrollMax;
        e.available = available;
        return wheel(s, g, h, e);
    }
};

TEST_F(Wheel, UpAtTheRightEdgeHalvesTheTimeBaseAndScrollsByHalfThePlot) {
    s.scope.timeBase = timeBaseIndexOf(1000);
    frame(5000, 50000); // 2.5 pixels per sample at 1 us/div
    const GestureResult r = turn(true, g.PlotWidth, 5000);
    EXPECT_TRUE(r.handled);
    EXPECT_EQ(r.changes.timeBase, timeBaseIndexOf(500));
    EXPECT_EQ(r.changes.X_Pos, 100); // round(0.5 * 500 / 2.5)
    EXPECT_EQ(r.notify, Notify::SettingsChanged);
}

struct KeepCase {
    const char* name;
    std::int64_t nsPerDiv;
    std::uint64_t periodPs;
    std::int32_t scroll;
    int dx;
    bool up;
    std::int64_t nsAfter;
};

class WheelKeepsThePoint : public Wheel, public ::testing::WithParamInterface<KeepCase> {};

TEST_P(WheelKeepsThePoint, SampleUnderThePointerStaysUnderIt) {
    const KeepCase& c = GetParam();
    s.scope.timeBase = timeBaseIndexOf(c.nsPerDiv);
    s.scope.X_Pos = c.scroll;
    frame(40000, c.periodPs);
    const GestureResult r = turn(c.up, c.dx, 40000);
    ASSERT_EQ(r.changes.timeBase, timeBaseIndexOf(c.nsAfter));
    ASSERT_TRUE(r.changes.X_Pos);

    const double p =
        g.PixelsPerDivX * 0.001 * static_cast<double>(c.periodPs) / static_cast<double>(c.nsPerDiv);
    const double pAfter = p * static_cast<double>(c.nsPerDiv) / static_cast<double>(c.nsAfter);
    const double before = c.scroll + c.dx / p;
    const double after = *r.changes.X_Pos + c.dx / pAfter;
    EXPECT_NEAR(after, before, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Gestures, WheelKeepsThePoint,
                         ::testing::Values(KeepCase{"UpByTwo", 1000, 50000, 1000, 123, true, 500},
                                           KeepCase{"UpByTwoAndAHalf", 500, 5000, 300, 333, true, 200},
                                           KeepCase{"DownByTwoAndAHalf", 200, 5000, 3000, 250, false, 500},
                                           KeepCase{"DownByTwo", 1000000, 200000000, 2000, 77, false,
                                                    2000000},
                                           KeepCase{"UpAtTheLeftEdge", 1000, 50000, 700, 0, true, 500}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Wheel, ArmedOrEmptyFrameOnlyStepsTheTimeBase) {
    s.scope.timeBase = timeBaseIndexOf(1000);
    s.scope.X_Pos = 300;
    frame(5000, 50000);
    s.scope.Running = true;
    GestureResult r = turn(true, g.PlotWidth, 5000);
    EXPECT_EQ(r.changes.timeBase, timeBaseIndexOf(500));
    EXPECT_FALSE(r.changes.X_Pos);
    EXPECT_EQ(r.notify, Notify::SettingsChanged);

    s.scope.Running = false;
    frame(0, 50000);
    r = turn(false, g.PlotWidth, 5000);
    EXPECT_EQ(r.changes.timeBase, timeBaseIndexOf(2000));
    EXPECT_FALSE(r.changes.X_Pos);

    // A header without a sample period cannot say where the pointer is.
    frame(5000, 0);
    r = turn(true, g.PlotWidth, 5000);
    EXPECT_EQ(r.changes.timeBase, timeBaseIndexOf(500));
    EXPECT_FALSE(r.changes.X_Pos);
}

TEST_F(Wheel, ScrollStaysWithinTheBarAndReturnsHomeWhenTheRecordFits) {
    struct Case {
        const char* name;
        std::int64_t nsPerDiv;
        std::uint32_t samples;
        std::int32_t scroll;
        bool up;
        int scrollMax;
        std::int32_t expected;
        int timeBaseStep; // +1 one step faster
    };
    const Case cases[] = {
        {"DownPastTheStart", 1000, 5000, 10, false, 5000, 0, -1},
        {"UpPastTheEnd", 1000, 5000, 4950, true, 5000, 5000, 1},
        {"TenDivisionsAfterTheStep", 1000, 100, 50, true, 5000, 0, 1},
        {"FitsOnlyAfterZoomingOut", 1000, 300, 250, false, 5000, 0, -1},          // 15 -> 7.5 divisions
        {"LongerThanTheScreenAfterZoomingIn", 1000, 150, 20, true, 5000, 120, 1}, // 7.5 -> 15 divisions
        {"FastestTimeBaseKeepsTheView", 2, 5000, 700, true, 5000, 700, 0},
        {"SlowestTimeBaseKeepsTheView", 1'000'000'000'000, 5000, 700, false, 5000, 700, 0},
    };
    for (const Case& c : cases) {
        s.scope.timeBase = timeBaseIndexOf(c.nsPerDiv);
        s.scope.X_Pos = c.scroll;
        // 2.5 pixels per sample at whatever time base.
        frame(c.samples, static_cast<std::uint64_t>(c.nsPerDiv) * 50);
        const GestureResult r = turn(c.up, g.PlotWidth, c.scrollMax);
        EXPECT_EQ(r.changes.X_Pos, c.expected) << c.name;
        EXPECT_EQ(r.changes.timeBase, s.scope.timeBase + c.timeBaseStep) << c.name;
    }
}

TEST_F(Wheel, OnlyOverThePaintBox) {
    s.scope.timeBase = timeBaseIndexOf(1000);
    frame(5000, 50000);
    for (int x : {-1, g.width}) {
        WheelEvent e;
        e.x = x;
        e.y = 100;
        const GestureResult r = wheel(s, g, h, e);
        EXPECT_FALSE(r.handled);
        EXPECT_FALSE(r.changes.any());
    }
    // Over the left margin the pointer counts as the plot's left edge: nothing to shift.
    s.scope.X_Pos = 300;
    const GestureResult r = turn(true, -20, 5000);
    EXPECT_EQ(r.changes.timeBase, timeBaseIndexOf(500));
    EXPECT_EQ(r.changes.X_Pos, 300);
}

// --- spectrum ------------------------------------------------------------------------------------

class WheelSpectrum : public Wheel {
protected:
    void SetUp() override {
        s.fft.View_A1 = true;
        h[fftword::FftStateA1] = 1;
        h[fftword::FftPoints] = 4096; // 2048 bins
        frame(5000, 50000);
    }
    Availability spectrum() const { return {true, false}; }
};

TEST_F(WheelSpectrum, ZoomsAroundThePointerWithoutTouchingTheTimeBase) {
    struct Case {
        int zoom;
        bool up;
        int dx;
        std::int32_t scroll;
        std::uint32_t etsChannel;
        int zoomAfter;
        std::int32_t expected;
    };
    const Case cases[] = {
        {0, true, 500, 0, 0, 1, 1024},  // 1 -> 2 at the right edge: half of 2048 bins
        {0, true, 500, 0, 1, 1, 102},   // equivalent time: ten bins per scroll step
        {2, true, 250, 100, 0, 3, 202}, // 5 -> 10 in the middle
        {1, true, 500, 0, 0, 2, 614},   // 2 -> 5: by 2.5
        {1, false, 400, 900, 0, 0, 0},  // back to 1: the whole spectrum fits
        {8, true, 500, 30, 0, 8, 30},   // 500 is the end of the scale
    };
    for (const Case& c : cases) {
        s.fft.Zoom = c.zoom;
        s.scope.X_Pos = c.scroll;
        h[fftword::EtsFftChannel] = c.etsChannel;
        const GestureResult r = turn(c.up, c.dx, 100000, spectrum());
        EXPECT_EQ(r.changes.fftZoom, c.zoomAfter) << c.zoom;
        EXPECT_EQ(r.changes.X_Pos, c.expected) << c.zoom << " " << c.etsChannel;
        EXPECT_FALSE(r.changes.timeBase);
        EXPECT_EQ(r.notify, Notify::Refresh);
    }
}

TEST_F(WheelSpectrum, WantedButNotShownChangesNothingAtAll) {
    struct Case {
        std::uint32_t stateA1, stateA2, points;
    };
    const Case cases[] = {{1, 0, 0}, {2, 0, 4096}, {3, 4, 4096}, {0, 2, 4096}};
    for (const Case& c : cases) {
        h[fftword::FftStateA1] = c.stateA1;
        h[fftword::FftStateA2] = c.stateA2;
        h[fftword::FftPoints] = c.points;
        const GestureResult r = turn(true, 250, 5000, spectrum());
        EXPECT_TRUE(r.handled);
        EXPECT_FALSE(r.changes.any()) << c.stateA1 << c.stateA2 << c.points;
        EXPECT_EQ(r.notify, Notify::None);
    }
}

TEST_F(WheelSpectrum, NotAvailableYetLeavesEverythingAlone) {
    const GestureResult r = turn(true, 250, 5000);
    EXPECT_TRUE(r.notAvailable);
    EXPECT_FALSE(r.changes.any());
    EXPECT_EQ(r.notify, Notify::None);
}

// --- analysers -----------------------------------------------------------------------------------

TEST_F(Wheel, AnalyserZoomAroundThePointer) {
    s.analyzer.NA = true;
    const Availability analyzers{false, true};
    struct Case {
        int zoom;
        bool up;
        std::uint32_t points;
        std::int32_t scroll;
        int zoomAfter;
        std::optional<std::int32_t> expected;
    };
    const Case cases[] = {
        {0, true, 1000, 0, 1, 500},         // 1:1 -> 1:2 at the right edge: half the sweep
        {1, true, 1000, 100, 2, 400},       // 1:2 -> 1:5: by 2.5
        {1, false, 1000, 700, 0, 0},        // back to 1:1
        {4, true, 1000, 300, 4, 300},       // 1:20 is the end
        {0, true, 0, 300, 1, std::nullopt}, // no sweep yet: only the zoom
    };
    for (const Case& c : cases) {
        s.analyzer.IqZoom = c.zoom;
        s.scope.X_Pos = c.scroll;
        h[fh::CaptureLength] = c.points;
        const GestureResult r = turn(c.up, g.PlotWidth, 100000, analyzers);
        EXPECT_EQ(r.changes.iqZoom, c.zoomAfter) << c.zoom;
        EXPECT_EQ(r.changes.X_Pos, c.expected) << c.zoom;
        EXPECT_FALSE(r.changes.timeBase);
        EXPECT_EQ(r.notify, Notify::Refresh);
    }
    const GestureResult r = turn(true, 250, 5000);
    EXPECT_TRUE(r.notAvailable);
    EXPECT_FALSE(r.changes.any());
}

} // namespace
