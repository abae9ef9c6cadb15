// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Persistence.h"
#include "display/Colors.h"

#include <gtest/gtest.h>

using namespace kx::display;

namespace {

TEST(ColorTest, WindowsValuesSwapRedAndBlue) {
    EXPECT_EQ(toQRgb(0x0080FF), 0xFFFF8000u); // ColorD3: red FF, green 80, blue 00
    EXPECT_EQ(fromQRgb(0xFFFF8000u), 0x0080FFu);
}

TEST(ColorTest, FadeTruncatesEachComponent) {
    EXPECT_EQ(fade(0x000000, 0xFFFFFF, 2), 0x7F7F7Fu); // 255 + (0 - 255) / 2 = 127.5 -> 127
    EXPECT_EQ(fade(0x00FF00, 0x2D0000, 2), 0x167F00u);
    EXPECT_EQ(fade(0x123456, 0x654321, 1), 0x123456u);
    EXPECT_EQ(fade(0x808000, 0x2D0000, 1.5), 0x645500u); // blue 45 + 83 / 1.5 = 100.3
}

TEST(FadePaletteTest, LevelsAndTags) {
    kx::core::ColorRoles roles;
    const auto p = buildFadePalette(roles);
    for (int c = 0; c < 6; ++c) {
        const auto color = channelColors(roles)[c];
        for (int d = 0; d < kFadeLevels; ++d) {
            const QRgb e = p.entries[16 * c + d];
            EXPECT_EQ(e >> 24, static_cast<QRgb>(16 * c + d + 1));
            EXPECT_EQ(fromQRgb(e), fade(color, roles.ColorBackground, 1 + 0.05 * (d * d + 1)));
        }
        EXPECT_EQ(p.entries[16 * c + 15], kPersistenceEmpty);
    }
}

class FadeStepTest : public ::testing::Test {
protected:
    kx::core::ColorRoles roles;
    FadePalette palette = buildFadePalette(roles);
    QImage image{4, 1, QImage::Format_RGB32};
    QRgb* px() { return reinterpret_cast<QRgb*>(image.scanLine(0)); }
};

TEST_F(FadeStepTest, FreshPixelsStartTheirChannelsFade) {
    clearPersistence(image);
    px()[0] = toQRgb(roles.ColorA1);
    px()[1] = toQRgb(roles.ColorD2);
    px()[2] = toQRgb(0x123456); // not a channel colour: counts as A1
    persistenceFadeStep(image, palette);
    EXPECT_EQ(px()[0], palette.entries[0]);
    EXPECT_EQ(px()[1], palette.entries[48]);
    EXPECT_EQ(px()[2], palette.entries[0]);
    EXPECT_EQ(px()[3], kPersistenceEmpty);
}

TEST_F(FadeStepTest, PixelDiesAfterFifteenLevels) {
    clearPersistence(image);
    px()[0] = toQRgb(roles.ColorA2);
    for (int step = 0; step < kFadeLevels; ++step) {
        persistenceFadeStep(image, palette);
        EXPECT_EQ(px()[0], palette.entries[16 + step]) << step;
    }
    persistenceFadeStep(image, palette);
    EXPECT_EQ(px()[0], kPersistenceEmpty);
    persistenceFadeStep(image, palette);
    EXPECT_EQ(px()[0], kPersistenceEmpty);
}

TEST_F(FadeStepTest, ForeignTagDoesNotReadPastThePalette) {
    clearPersistence(image);
    px()[0] = 0xC0123456u; // a tag no palette entry has
    persistenceFadeStep(image, palette);
    EXPECT_EQ(px()[0], palette.entries[0]);
}

TEST_F(FadeStepTest, BlitLeavesEmptyPixelsOut) {
    clearPersistence(image);
    px()[1] = palette.entries[3];
    QImage screen(6, 3, QImage::Format_RGB32);
    screen.fill(0xFF222222u);
    blitPersistence(screen, 1, 1, image);
    EXPECT_EQ(screen.pixel(1, 1), 0xFF222222u);
    EXPECT_EQ(screen.pixel(2, 1), 0xFF000000u | palette.entries[3]);
    EXPECT_EQ(screen.pixel(3, 1), 0xFF222222u);
    blitPersistence(screen, 4, 2, image); // runs past the right edge without harm
    EXPECT_EQ(screen.pixel(5, 2), 0xFF000000u | palette.entries[3]);
}

} // namespace
