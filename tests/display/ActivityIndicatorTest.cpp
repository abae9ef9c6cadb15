// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/ActivityIndicator.h"
#include "display/Colors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace kx::display;

namespace {

constexpr QRgb kPen = 0xFFC08000u;
constexpr QRgb kBrush = 0xFF000000u;
constexpr QRgb kUntouched = 0xFF123456u;

struct StateCase {
    const char* name;
    LinkView link;
    bool armed;
    Activity expected;
};

class ActivityStateTest : public ::testing::TestWithParam<StateCase> {};

TEST_P(ActivityStateTest, Chosen) {
    const auto& c = GetParam();
    EXPECT_EQ(activityOf(c.link, c.armed), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    States, ActivityStateTest,
    ::testing::Values(
        StateCase{"no_device", {}, true, Activity::NoDevice},
        StateCase{"ready", {.deviceReady = true}, false, Activity::Ready},
        StateCase{"receiving", {.deviceReady = true}, true, Activity::Receiving},
        StateCase{"configuring", {.reconfiguring = true, .configProgress = 4}, false, Activity::Configuring},
        // Below 4 % the pie is not worth showing yet.
        StateCase{
            "configuring_early", {.reconfiguring = true, .configProgress = 3}, false, Activity::NoDevice},
        StateCase{"configuring_beats_ready",
                  {.deviceReady = true, .reconfiguring = true, .configProgress = 50},
                  true,
                  Activity::Configuring}),
    [](const auto& info) { return std::string(info.param.name); });

// Design-size paint box: centre (33 + 25 * 19, 29 / 2) = (508, 14), radius 10.
class ActivityDrawTest : public ::testing::Test {
protected:
    void draw(const LinkView& link, bool armed) {
        image.fill(kUntouched);
        PixelCanvas c(image);
        drawActivityIndicator(c, g, link, armed, {kPen, kBrush});
    }
    QRgb at(int dx, int dy) const { return image.pixel(cx + dx, cy + dy); }
    // A pixel on the ring at the middle of segment s (clockwise from twelve o'clock).
    QRgb ringAt(int s) const {
        const double a = (36.0 * s + 18.0) * std::numbers::pi / 180.0;
        return at(static_cast<int>(std::lround(std::sin(a) * (r - 1))),
                  -static_cast<int>(std::lround(std::cos(a) * (r - 1))));
    }

    ScreenGeometry g = computeGeometry(566, 375);
    QImage image{566, 375, QImage::Format_RGB32};
    const int cx = 508, cy = 14, r = 10;
};

TEST_F(ActivityDrawTest, SitsAtTheRightEndOfTheTopMargin) {
    EXPECT_EQ(activityCentreX(g), cx);
    EXPECT_EQ(activityCentreY(g), cy);
    EXPECT_EQ(activityRadius(g), r);
    EXPECT_EQ(activityRadius(computeGeometry(499, 375)), 7);
    draw({}, false);
    EXPECT_EQ(at(r + 1, 0), kUntouched);
    EXPECT_EQ(at(-r - 1, 0), kUntouched);
}

TEST_F(ActivityDrawTest, NoDeviceIsAnEmptyCircle) {
    draw({}, false);
    EXPECT_EQ(at(r, 0), kPen);
    EXPECT_EQ(at(0, -r), kPen);
    EXPECT_EQ(at(0, 0), kBrush);
    EXPECT_EQ(at(r - 2, 0), kBrush);
}

TEST_F(ActivityDrawTest, ReadyDiscShrinksInTheSecondHalfOfTenStatusPackets) {
    for (std::uint32_t packets = 0; packets < 20; ++packets) {
        draw({.deviceReady = true, .statusPackets = packets}, false);
        EXPECT_EQ(at(0, 0), kPen) << packets;
        EXPECT_EQ(at(r - 1, 0), kPen) << packets;
        EXPECT_EQ(at(r, 0), packets % 10 < 5 ? kPen : kBrush) << packets;
    }
}

TEST_F(ActivityDrawTest, PieFollowsTheUploadProgress) {
    draw({.reconfiguring = true, .configProgress = 50}, false);
    EXPECT_EQ(at(4, 0), kPen);    // three o'clock: within the first half turn
    EXPECT_EQ(at(-4, 0), kBrush); // nine o'clock: not yet
    EXPECT_EQ(at(-r, 0), kPen);   // the outline is always there
    draw({.reconfiguring = true, .configProgress = 80}, false);
    EXPECT_EQ(at(-4, 0), kPen);
    EXPECT_EQ(at(-3, -4), kBrush);
}

TEST_F(ActivityDrawTest, RingAdvancesWithStatusPacketsAndHandWithFrames) {
    for (std::uint32_t packets : {0u, 3u, 17u}) {
        draw({.deviceReady = true, .statusPackets = packets}, true);
        const int start = static_cast<int>(packets % 10);
        EXPECT_EQ(ringAt(start), kPen) << packets;
        // Every other segment is fainter, the one after the start the faintest.
        for (int s = 0; s < 10; ++s)
            if (s != start) {
                EXPECT_NE(ringAt(s), kPen) << packets << " " << s;
            }
        EXPECT_EQ(ringAt((start + 1) % 10), toQRgb(fade(fromQRgb(kPen), fromQRgb(kBrush), 1 + 0.4 * 9)));
    }
    draw({.deviceReady = true, .framesAssembled = 0}, true);
    EXPECT_EQ(at(0, -3), kPen);
    EXPECT_EQ(at(3, 0), kBrush);
    draw({.deviceReady = true, .framesAssembled = 12}, true); // 72 degrees
    EXPECT_EQ(at(0, -3), kBrush);
    EXPECT_EQ(at(3, -1), kPen);
}

TEST_F(ActivityDrawTest, RingDimsWhenFramesStopComing) {
    draw({.deviceReady = true, .statusSinceFrame = 5}, true);
    EXPECT_EQ(ringAt(0), kPen);
    draw({.deviceReady = true, .statusSinceFrame = 8}, true);
    const QRgb dim = ringAt(0);
    EXPECT_NE(dim, kPen);
    draw({.deviceReady = true, .statusSinceFrame = 12}, true);
    EXPECT_LT(qGreen(ringAt(0)), qGreen(dim));
}

} // namespace
