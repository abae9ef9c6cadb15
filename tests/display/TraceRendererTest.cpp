// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/TraceRenderer.h"
#include "core/SinxInterpolator.h"
#include "display/Colors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <utility>
#include <vector>

using namespace kx::display;
using kx::core::kNoSample;

namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr std::uint32_t kTrace = 0x00FF00;      // Windows value: green
constexpr std::uint32_t kBackground = 0x2D0000; // what the gap fades towards
constexpr QRgb kCanvas = 0xFF000000u;

// A 40 x 64 plot at (5, 5): one pixel of height per 1024 codes, base row 69.
class TraceRendererTest : public ::testing::Test {
protected:
    void SetUp() override {
        geometry.PlotWidth = 40;
        geometry.PlotHeight = 64;
        geometry.PixelsPerDivX = 4;
        image.fill(kCanvas);
        params.x0 = kX0;
        params.y0 = kY0;
        params.color = kTrace;
        params.header = &header;
        header.set64(kx::core::fh::SamplePeriodPs, 5000);
    }

    // Heights in pixels, kNoSample kept as it is.
    void setHeights(const std::vector<int>& heights) {
        samples.clear();
        for (int h : heights) samples.push_back(h == kNoSample ? kNoSample : h * 1024);
        params.min = samples;
        params.max = samples;
        params.count = static_cast<int>(samples.size());
    }

    bool render() { return renderer->draw(image, geometry, kBackground, params); }

    Pixels lit() const {
        Pixels out;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != kCanvas) out.insert({x, y});
        return out;
    }

    static constexpr int kX0 = 5;
    static constexpr int kY0 = 5;
    static constexpr int kBase = kY0 + 64;

    ScreenGeometry geometry;
    QImage image{60, 80, QImage::Format_RGB32};
    kx::core::FrameHeader header;
    std::vector<std::int32_t> samples;
    TraceParams params;
    std::unique_ptr<TraceRenderer> renderer = std::make_unique<TraceRenderer>();
};

TEST_F(TraceRendererTest, DotsOnePixelPerSample) {
    setHeights({0, 1, 2, 3});
    params.mode = TraceMode::Dots;
    EXPECT_FALSE(render());
    EXPECT_EQ(lit(), (Pixels{{5, kBase}, {6, kBase - 1}, {7, kBase - 2}, {8, kBase - 3}}));
    EXPECT_EQ(image.pixel(6, kBase - 1), toQRgb(kTrace));
}

TEST_F(TraceRendererTest, VectorsJoinNeighboursWithoutTheirEndPoints) {
    setHeights({0, 0, 5, 5, 2});
    params.mode = TraceMode::Vectors;
    render();
    const Pixels expected{{5, kBase},                                      // flat: 0 -> 1
                          {6, kBase},     {6, kBase - 1}, {6, kBase - 2},  // rising 1 -> 2
                          {7, kBase - 3}, {7, kBase - 4}, {7, kBase - 5},  // ... and flat 2 -> 3
                          {8, kBase - 5}, {8, kBase - 4}, {9, kBase - 3}}; // falling 3 -> 4, end left out
    EXPECT_EQ(lit(), expected);
}

TEST_F(TraceRendererTest, EmptyEntriesLeaveColumnsEmptyButDoNotBreakTheLine) {
    setHeights({0, kNoSample, 2, 7, 7});
    params.count = 3; // the last two are beyond the valid count
    render();
    EXPECT_EQ(lit(), (Pixels{{5, kBase}, {6, kBase - 1}}));
}

TEST_F(TraceRendererTest, EmptyColumnsBetweenOverlappingRangesAreBridged) {
    // A crest: the column before the hole spans 10..12, the one after it sits at 11.
    setHeights({10, kNoSample, kNoSample, 11});
    std::vector<std::int32_t> high{12 * 1024, kNoSample, kNoSample, 11 * 1024};
    params.max = high;
    render();
    EXPECT_NE(image.pixel(kX0 + 1, kBase - 11), kCanvas);
    EXPECT_NE(image.pixel(kX0 + 2, kBase - 11), kCanvas);
}

TEST_F(TraceRendererTest, CountBeyondTheArraysIsCut) {
    setHeights({1, 1});
    params.count = 100000;
    params.mode = TraceMode::Dots;
    render();
    EXPECT_EQ(lit(), (Pixels{{5, kBase - 1}, {6, kBase - 1}}));
}

TEST_F(TraceRendererTest, NegativeFirstSampleStartsAtTheRightPlace) {
    setHeights({1, 2, 3});
    params.mode = TraceMode::Dots;
    params.firstSample = -3;
    params.pixelsPerSample = 2;
    render();
    EXPECT_EQ(lit(), (Pixels{{11, kBase - 1}, {13, kBase - 2}, {15, kBase - 3}}));
}

TEST_F(TraceRendererTest, FirstSampleSkipsTheStartOfTheArrays) {
    setHeights({9, 9, 1, 2});
    params.mode = TraceMode::Dots;
    params.firstSample = 2;
    render();
    EXPECT_EQ(lit(), (Pixels{{5, kBase - 1}, {6, kBase - 2}}));
}

TEST_F(TraceRendererTest, SubSampleShiftMovesTheTraceLeft) {
    setHeights({1, 2, 3});
    params.mode = TraceMode::Dots;
    params.pixelsPerSample = 2;
    params.subSampleShift = 0.5; // one pixel
    render();
    EXPECT_EQ(lit(), (Pixels{{4, kBase - 1}, {6, kBase - 2}, {8, kBase - 3}}));
}

TEST_F(TraceRendererTest, ManySamplesPerColumnShowTheirFullRange) {
    // 8 samples per column, alternating between heights 2 and 6: overlapping neighbours,
    // so every column is a bar and no line joins them.
    std::vector<int> h(400);
    for (std::size_t k = 0; k < h.size(); ++k) h[k] = (k % 2) ? 6 : 2;
    setHeights(h);
    params.pixelsPerSample = 0.125;
    render();
    Pixels expected;
    for (int c = 0; c <= 40; ++c)
        for (int y = kBase - 6; y <= kBase - 2; ++y) expected.insert({kX0 + c, y});
    EXPECT_EQ(lit(), expected);
}

TEST_F(TraceRendererTest, MinAndMaxArraysBothCount) {
    setHeights({3, 3});
    std::vector<std::int32_t> high{6 * 1024, 4 * 1024};
    params.max = high;
    params.mode = TraceMode::Dots;
    render();
    EXPECT_EQ(
        lit(),
        (Pixels{
            {5, kBase - 3}, {5, kBase - 4}, {5, kBase - 5}, {5, kBase - 6}, {6, kBase - 3}, {6, kBase - 4}}));
}

TEST_F(TraceRendererTest, GainAndZerosPlaceTheTrace) {
    setHeights({});
    samples = {0x8000 + 512};
    params.min = params.max = samples;
    params.count = 1;
    params.mode = TraceMode::Dots;
    params.captureZero = 0x8000;
    params.gain = 4;           // 512 codes -> 2048 -> 2 pixels
    params.screenZero = 10240; // 10 pixels
    render();
    EXPECT_EQ(lit(), (Pixels{{5, kBase - 12}}));
}

TEST_F(TraceRendererTest, RollFrameGapBreaksAndFadesTheTrace) {
    setHeights(std::vector<int>(30, 3));
    header[kx::core::fh::RollFrame] = 1;
    header[kx::core::fh::TriggerIndex] = 10; // gap of 5 samples (a quarter division is 1)
    params.gap = true;
    render();
    const int y = kBase - 3;
    const QRgb normal = toQRgb(kTrace), faded = toQRgb(fade(kTrace, kBackground, 2));
    EXPECT_EQ(image.pixel(kX0 + 5, y), normal);
    EXPECT_EQ(image.pixel(kX0 + 9, y), kCanvas); // end point of the last line before the gap
    EXPECT_EQ(image.pixel(kX0 + 10, y), kCanvas);
    for (int x = 11; x <= 13; ++x) EXPECT_EQ(image.pixel(kX0 + x, y), faded) << x;
    EXPECT_EQ(image.pixel(kX0 + 14, y), normal); // joined to column 15, the gap's end
    EXPECT_EQ(image.pixel(kX0 + 20, y), normal);
}

TEST_F(TraceRendererTest, GapOnlyInRollFrames) {
    setHeights(std::vector<int>(30, 3));
    header[kx::core::fh::TriggerIndex] = 10;
    params.gap = true;
    render();
    EXPECT_EQ(image.pixel(kX0 + 10, kBase - 3), toQRgb(kTrace));
}

TEST_F(TraceRendererTest, GapRunsToTheEndWhenNoSampleFollowsIt) {
    setHeights(std::vector<int>(14, 3));
    header[kx::core::fh::RollFrame] = 1;
    header[kx::core::fh::TriggerIndex] = 10;
    params.gap = true;
    params.mode = TraceMode::Dots;
    render();
    const QRgb faded = toQRgb(fade(kTrace, kBackground, 2));
    EXPECT_EQ(image.pixel(kX0 + 10, kBase - 3), kCanvas);
    for (int x = 11; x <= 13; ++x) EXPECT_EQ(image.pixel(kX0 + x, kBase - 3), faded) << x;
}

TEST_F(TraceRendererTest, SinxInterpolatesBetweenSamples) {
    std::vector<int> h{10, 30, 50, 20, 5, 40, 60, 25, 10, 30};
    setHeights(h);
    params.mode = TraceMode::Sinx;
    params.pixelsPerSample = 4;
    params.captureZero = 0;
    params.gain = 0.25; // heights 2..15 pixels
    EXPECT_TRUE(render());
    // Each sub-step lands on its own column or shares it; every sub-step's value is lit.
    for (int i = 0; i < 10 * (static_cast<int>(h.size()) - 1); ++i) {
        const auto v = kx::core::sinxInterpolate(samples, params.count, i / 10, i % 10);
        ASSERT_TRUE(v.has_value());
        const int column = roundPx(4.0 * i / 10.0);
        const int height = roundPx(*v * 0.25 * 64 / 65536.0);
        if (column > 36) break;
        bool found = false;
        for (int y = 0; y < image.height() && !found; ++y) found = image.pixel(kX0 + column, y) != kCanvas;
        EXPECT_TRUE(found) << i;
        EXPECT_NE(image.pixel(kX0 + column, kBase - height), kCanvas) << i;
    }
}

struct SinxCase {
    std::uint64_t periodPs;
    double pixelsPerSample;
    bool active;
};

class SinxSwitchTest : public TraceRendererTest, public ::testing::WithParamInterface<SinxCase> {};

TEST_P(SinxSwitchTest, FallsBackToVectors) {
    const auto c = GetParam();
    setHeights({0, 0, 5, 5, 2, 9, 1, 1, 4});
    header.set64(kx::core::fh::SamplePeriodPs, c.periodPs);
    params.pixelsPerSample = c.pixelsPerSample;
    params.mode = TraceMode::Vectors;
    EXPECT_FALSE(render());
    const QImage vectors = image.copy();
    image.fill(kCanvas);
    params.mode = TraceMode::Sinx;
    EXPECT_EQ(render(), c.active);
    if (!c.active) {
        EXPECT_EQ(image, vectors);
    }
}

INSTANTIATE_TEST_SUITE_P(Switch, SinxSwitchTest,
                         ::testing::Values(SinxCase{10000, 2.0, false}, // 100 MS/s: drawn as vectors
                                           SinxCase{5000, 0.8, false}, SinxCase{5000, 0.9, true}));

TEST_F(TraceRendererTest, ValuesFarOutsideThePlotAreClippedNotOverrun) {
    setHeights({0, 0});
    samples = {INT_MAX - 1, -2000000000, INT_MAX - 1};
    params.min = params.max = samples;
    params.count = 3;
    params.gain = 1e6;
    render();
    for (int y = 0; y < image.height(); ++y) EXPECT_NE(image.pixel(kX0, y), 0u);
}

TEST_F(TraceRendererTest, ZeroPixelsPerSampleDrawsNothing) {
    setHeights({1, 2});
    params.pixelsPerSample = 0;
    EXPECT_FALSE(render());
    EXPECT_TRUE(lit().empty());
}

} // namespace

// Runs of samples per column must give exactly what the walk sample by sample gives. A
// negative gain with negated values draws the same heights but takes the sample-by-sample
// walk, so the two pictures must be identical.
struct RunCase {
    const char* name;
    double pixelsPerSample;
    int firstSample;
    double shift;
    bool gap;
    std::uint32_t writePosition;
};

class ColumnRunTest : public TraceRendererTest, public ::testing::WithParamInterface<RunCase> {};

TEST_P(ColumnRunTest, SameAsSampleBySample) {
    const auto c = GetParam();
    std::vector<std::int32_t> lo(3000), hi(3000);
    for (std::size_t k = 0; k < lo.size(); ++k) {
        const auto v =
            static_cast<std::int32_t>(32768 + 20000 * std::sin(k * 0.01) + (k * 7919) % 3001 - 1500);
        lo[k] = v - 700;
        hi[k] = v + 700;
    }
    for (std::size_t k = 200; k < 230; ++k) lo[k] = hi[k] = kNoSample;
    hi[500] = kNoSample; // only one of the pair missing
    lo[501] = kNoSample;
    header[kx::core::fh::RollFrame] = c.gap ? 1 : 0;
    header[kx::core::fh::TriggerIndex] = c.writePosition;
    params.gap = c.gap;
    params.mode = TraceMode::Vectors;
    params.pixelsPerSample = c.pixelsPerSample;
    params.firstSample = c.firstSample;
    params.subSampleShift = c.shift;
    params.captureZero = 32768;
    params.gain = 0.7;
    params.screenZero = 30000;
    params.min = lo;
    params.max = hi;
    params.count = static_cast<int>(lo.size());
    render();
    const QImage runs = image.copy();

    std::vector<std::int32_t> nlo(lo.size()), nhi(hi.size());
    for (std::size_t k = 0; k < lo.size(); ++k) {
        nlo[k] = lo[k] == kNoSample ? kNoSample : -lo[k];
        nhi[k] = hi[k] == kNoSample ? kNoSample : -hi[k];
    }
    image.fill(kCanvas);
    params.min = nlo;
    params.max = nhi;
    params.captureZero = -32768;
    params.gain = -0.7;
    render();
    EXPECT_EQ(image, runs);
    EXPECT_FALSE(lit().empty());
}

INSTANTIATE_TEST_SUITE_P(Runs, ColumnRunTest,
                         ::testing::Values(RunCase{"dense", 0.0137, 0, 0, false, 0},
                                           RunCase{"dense_gap", 0.0137, 0, 0, true, 1200},
                                           RunCase{"gap_near_start", 0.05, 0, 0, true, 3},
                                           RunCase{"gap_in_empty", 0.08, 0, 0, true, 210},
                                           RunCase{"gap_past_end", 0.02, 0, 0, true, 2995},
                                           RunCase{"sparse", 2.5, 100, 0.37, true, 110},
                                           RunCase{"negative_start", 0.03, -400, -0.8, false, 0},
                                           RunCase{"shifted", 0.5, 1000, 1.61, true, 1040},
                                           RunCase{"one_to_one", 1.0, 180, 0, false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// A slow sine drawn as a line leaves no column empty, whatever the samples per column: flat
// stretches (the crests) included.
struct ContinuityCase {
    TraceMode mode;
    double pixelsPerSample;
};

class TraceContinuityTest : public TraceRendererTest, public ::testing::WithParamInterface<ContinuityCase> {};

TEST_P(TraceContinuityTest, EveryColumnOfTheLineIsLit) {
    const auto c = GetParam();
    const int n = static_cast<int>(std::ceil(40 / c.pixelsPerSample)) + 2;
    samples.clear();
    for (int k = 0; k < n; ++k)
        samples.push_back(static_cast<std::int32_t>(
            std::lround(1024 * (32 + 20 * std::sin(2 * 3.14159265358979 * k * c.pixelsPerSample / 48)))));
    params.min = samples;
    params.max = samples;
    params.count = n;
    params.mode = c.mode;
    params.pixelsPerSample = c.pixelsPerSample;
    render();
    for (int x = kX0; x < kX0 + 40; ++x) {
        bool found = false;
        for (int y = 0; y < image.height() && !found; ++y) found = image.pixel(x, y) != kCanvas;
        EXPECT_TRUE(found) << "column " << x - kX0;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, TraceContinuityTest,
    ::testing::Values(ContinuityCase{TraceMode::Vectors, 0.25}, ContinuityCase{TraceMode::Vectors, 1},
                      ContinuityCase{TraceMode::Vectors, 5}, ContinuityCase{TraceMode::Sinx, 1},
                      ContinuityCase{TraceMode::Sinx, 5}, ContinuityCase{TraceMode::Sinx, 12}));

TEST_F(TraceRendererTest, EdgesOfASquareWaveAreDrawnAtManySamplesPerColumn) {
    for (const double pps : {0.1, 0.25, 1.0, 3.0}) {
        SCOPED_TRACE(pps);
        image.fill(kCanvas);
        std::vector<int> h;
        const int plateau = static_cast<int>(8 / pps);
        for (int k = 0; h.size() < static_cast<std::size_t>(40 / pps) + 2; ++k)
            for (int i = 0; i < plateau; ++i) h.push_back((k % 2) ? 50 : 10);
        setHeights(h);
        params.mode = TraceMode::Vectors;
        params.pixelsPerSample = pps;
        render();
        // Every row between the two levels is lit in some column: the edges are drawn.
        for (int y = kBase - 49; y <= kBase - 11; ++y) {
            bool found = false;
            for (int x = kX0; x < kX0 + 40 && !found; ++x) found = image.pixel(x, y) != kCanvas;
            EXPECT_TRUE(found) << "row " << kBase - y;
        }
    }
}
