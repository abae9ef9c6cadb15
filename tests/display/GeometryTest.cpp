// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/ScreenGeometry.h"

#include <gtest/gtest.h>

using kx::display::computeGeometry;

namespace {

struct GeometryCase {
    int width, height;
    bool compact;
    int left, top, plotWidth, plotHeight;
};

class GeometryTest : public ::testing::TestWithParam<GeometryCase> {};

TEST_P(GeometryTest, PlotInsidePaintBox) {
    const auto c = GetParam();
    const auto g = computeGeometry(c.width, c.height);
    EXPECT_EQ(g.CompactScreen, c.compact);
    EXPECT_EQ(g.PlotLeft, c.left);
    EXPECT_EQ(g.PlotTop, c.top);
    EXPECT_EQ(g.PlotWidth, c.plotWidth);
    EXPECT_EQ(g.PlotHeight, c.plotHeight);
    EXPECT_EQ(g.PixelsPerDivX, c.plotWidth / 10);
    EXPECT_EQ(g.PixelsPerDivY, c.plotHeight / 8);
    EXPECT_DOUBLE_EQ(g.cursorScale, c.plotWidth * 0.0002);
    EXPECT_DOUBLE_EQ(g.codeScale, c.plotHeight / 65536.0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GeometryTest,
                         ::testing::Values(
                             // Design size: 375 - 110 = 265 -> 256; 119 free pixels give exactly 28 + 1.
                             GeometryCase{566, 375, false, 33, 29, 500, 256},
                             // One pixel below the compact threshold: top margin base 18, 76 reserved.
                             GeometryCase{499, 375, true, 39, 21, 420, 288},
                             GeometryCase{500, 375, false, 40, 29, 420, 256},
                             // Tiny paint boxes keep the minimum plot, partly outside the bitmap.
                             GeometryCase{100, 50, true, -12, -2, 125, 64},
                             GeometryCase{1864, 1010, false, 32, 27, 1800, 896}));

TEST(GeometryTest, CompactTopMarginFollowsFreeHeight) {
    // 375 - 76 = 299 -> 288 high, 87 free pixels: trunc(87 * 4 / 17 + 1) = 21.
    const auto g = computeGeometry(499, 375);
    EXPECT_EQ(g.PlotHeight, 288);
    EXPECT_EQ(g.PlotTop, 21);
}

TEST(GeometryTest, RoundingHalvesAwayFromZero) {
    EXPECT_EQ(kx::display::roundPx(2.5), 3);
    EXPECT_EQ(kx::display::roundPx(-2.5), -3);
    EXPECT_EQ(kx::display::roundPx(2.49), 2);
    EXPECT_EQ(kx::display::roundPx(-0.4), 0);
}

} // namespace
