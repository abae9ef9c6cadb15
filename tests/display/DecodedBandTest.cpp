// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/DecodedBand.h"

#include "decoders/DecoderListing.h"
#include "display/Colors.h"

#include <gtest/gtest.h>

#include <vector>

namespace kx::display {
namespace {

using decoders::DecodedChar;
using decoders::DecoderDisplay;

constexpr std::uint32_t kPen = 0x00FFFF; // yellow, 0x00BBGGRR
constexpr std::uint32_t kRed = 0x0000FF;
constexpr QRgb kBlack = 0xFF000000;

// A plot of 160 x 256 at (10, 5): the RXD band spans rows 23 .. 35 with its middle at 29.
class BandFixture : public ::testing::Test {
protected:
    void SetUp() override {
        g.PlotLeft = 10;
        g.PlotTop = 5;
        g.PlotWidth = 160;
        g.PlotHeight = 256;
        image = QImage(200, 300, QImage::Format_RGB32);
        image.fill(kBlack);
        font.build(tahomaFamily(), bandFontHeight(g), "0123456789ABCDEF PE-");
        band.color = kPen;
        band.sampleCount = 100;
        band.pixelsPerSample = 2;
    }

    void draw(std::vector<DecodedChar> chars) {
        m_chars = std::move(chars);
        band.chars = m_chars;
        PixelCanvas canvas(image);
        drawDecodedBand(canvas, g, font, band);
    }
    QRgb at(int x, int y) const { return image.pixel(x, y); }
    // Columns of a row range in a colour, within [x1, x2).
    int countIn(int x1, int x2, int y1, int y2, QRgb c) const {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x < x2; ++x) n += image.pixel(x, y) == c ? 1 : 0;
        return n;
    }

    ScreenGeometry g;
    QImage image;
    GlyphSet font;
    DecodedBand band;
    std::vector<DecodedChar> m_chars;
};

TEST_F(BandFixture, RowsOfBothBands) {
    const BandRows rxd = bandRows(g, kRxdBand);
    EXPECT_EQ(rxd.top, 23);
    EXPECT_EQ(rxd.middle, 29);
    EXPECT_EQ(rxd.bottom, 35);
    const BandRows txd = bandRows(g, kTxdBand);
    EXPECT_EQ(txd.top, 39);
    EXPECT_EQ(txd.middle, 45);
    EXPECT_EQ(txd.bottom, 51);
    EXPECT_EQ(bandFontHeight(g), 11);
    g.PlotHeight = 400; // bands of 19 pixels
    EXPECT_EQ(bandFontHeight(g), 13);
    g.PlotHeight = 300; // 14 pixels
    EXPECT_EQ(bandFontHeight(g), 11);
}

TEST_F(BandFixture, BoxesAndIdleLineFollowTheTraceMapping) {
    // Samples 10 .. 30 at 2 pixels a sample: the box spans x 30 .. 70.
    draw({{0, 0x41, 10, 30}});
    const QRgb pen = toQRgb(kPen);
    EXPECT_EQ(at(30, 29), pen); // the middle corners
    EXPECT_EQ(at(70, 29), pen);
    EXPECT_EQ(at(32, 23), pen); // the top and bottom edges, 2 pixels inside
    EXPECT_EQ(at(68, 23), pen);
    EXPECT_EQ(at(50, 23), pen);
    EXPECT_EQ(at(50, 35), pen);
    EXPECT_EQ(at(30, 23), kBlack);
    EXPECT_EQ(at(71, 23), kBlack);
    EXPECT_EQ(at(50, 22), kBlack);
    EXPECT_EQ(at(50, 36), kBlack);
    // The idle line from the plot's left edge to the box and on to the plot's right edge.
    EXPECT_EQ(countIn(10, 30, 29, 29, pen), 20);
    EXPECT_EQ(countIn(71, 170, 29, 29, pen), 99);
    EXPECT_EQ(at(170, 29), kBlack);
    EXPECT_EQ(countIn(0, 200, 36, 299, pen), 0); // nothing below the band

    // The label "41" centred in the box, as the glyphs draw it.
    QImage expected(200, 300, QImage::Format_RGB32);
    expected.fill(kBlack);
    PixelCanvas e(expected);
    const int w = font.width("41");
    font.draw(e, 30 + (40 - w) / 2, 29 - font.pixelHeight() / 2 - 1, "41", pen);
    for (int y = 24; y < 35; ++y)
        for (int x = 33; x < 68; ++x) ASSERT_EQ(image.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
}

TEST_F(BandFixture, LabelsInEachDisplayFormat) {
    struct Case {
        DecoderDisplay display;
        const char* label;
    };
    const Case cases[] = {
        {DecoderDisplay::Hex, "41"}, {DecoderDisplay::Decimal, "65"}, {DecoderDisplay::Ascii, "A"}};
    font.build(tahomaFamily(), bandFontHeight(g), "0123456789ABCDEF");
    for (const Case& c : cases) {
        image.fill(kBlack);
        band.display = c.display;
        draw({{0, 0x41, 10, 40}});
        QImage expected(200, 300, QImage::Format_RGB32);
        expected.fill(kBlack);
        PixelCanvas e(expected);
        const int w = font.width(c.label);
        font.draw(e, 30 + (60 - w) / 2, 29 - font.pixelHeight() / 2 - 1, c.label, toQRgb(kPen));
        int same = 0, inked = 0;
        for (int y = 24; y < 35; ++y)
            for (int x = 33; x < 88; ++x) {
                inked += expected.pixel(x, y) != kBlack ? 1 : 0;
                same += expected.pixel(x, y) != kBlack && image.pixel(x, y) == expected.pixel(x, y) ? 1 : 0;
            }
        EXPECT_GT(inked, 0) << c.label;
        EXPECT_EQ(same, inked) << c.label;
    }
}

TEST_F(BandFixture, ErrorsInRedAndNarrowBoxes) {
    const QRgb red = toQRgb(kRed);
    const QRgb pen = toQRgb(kPen);
    // A wide box with a framing error: its label ("41 FE") in red, the box in the trace colour.
    band.pixelsPerSample = 4;
    draw({{decoders::kFramingError, 0x41, 5, 35}});
    EXPECT_EQ(at(30, 29), pen);
    EXPECT_GT(countIn(33, 130, 24, 34, red), 0);
    EXPECT_EQ(countIn(33, 130, 24, 34, pen), 0);

    // Too narrow for a label: the error is a red line 1 pixel left of the top right corner.
    image.fill(kBlack);
    band.pixelsPerSample = 0.5;
    draw({{decoders::kParityError, 0x41, 20, 40}, {0, 0x42, 60, 80}});
    // Boxes at x 20..30 and 40..50: 10 pixels wide, insets 2, no room for a label.
    EXPECT_EQ(countIn(27, 28, 23, 35, red), 13);
    EXPECT_EQ(countIn(0, 200, 0, 299, red), 13);
    // Under 4 pixels the corners lie on the ends.
    image.fill(kBlack);
    band.pixelsPerSample = 0.1;
    draw({{0, 0x41, 100, 130}});
    EXPECT_EQ(at(20, 23), pen); // x = 10 + 10: the top left corner
    EXPECT_EQ(at(23, 23), pen);
}

TEST_F(BandFixture, ScrollShiftAndEdges) {
    const QRgb pen = toQRgb(kPen);
    band.firstSample = 5;
    band.shift = 50; // half a sample: one pixel to the left
    // The first character lies before the first sample shown: skipped; the second starts before it.
    draw({{0, 1, 0, 4}, {0, 2, 3, 20}, {0, 3, 30, 50}, {0, 4, 95, 99}});
    // The second: D = -4, G = 30 from the shifted edge at x 9.
    EXPECT_EQ(at(9 + 30, 29), pen);
    EXPECT_EQ(at(9 + 28, 23), pen);
    // The third: 50 .. 90.
    EXPECT_EQ(at(9 + 50, 29), pen);
    EXPECT_EQ(at(9 + 90, 29), pen);
    // The fourth starts at 180, beyond the plot's 160: the idle line runs up to it (the margin
    // covers what lies outside), its box is not drawn.
    EXPECT_EQ(at(9 + 170, 29), pen);
    EXPECT_EQ(countIn(9 + 161, 200, 23, 23, pen), 0);
    EXPECT_EQ(countIn(9 + 161, 200, 35, 35, pen), 0);

    // A short frame: the idle line ends at the last sample.
    image.fill(kBlack);
    band.firstSample = 0;
    band.shift = 0;
    band.sampleCount = 40;
    draw({{0, 1, 0, 10}});
    EXPECT_EQ(at(10 + 77, 29), pen);
    EXPECT_EQ(at(10 + 78, 29), kBlack); // 2 x (40 - 0 - 1) = 78, the end left out

    // No samples or no characters: nothing at all.
    image.fill(kBlack);
    band.sampleCount = 0;
    draw({{0, 1, 0, 10}});
    EXPECT_EQ(countIn(0, 200, 0, 299, pen), 0);
}

} // namespace
} // namespace kx::display
