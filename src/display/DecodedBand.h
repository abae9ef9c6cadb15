// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "decoders/DecodedChar.h"
#include "decoders/DecoderFrame.h"
#include "display/Glyphs.h"
#include "display/PixelCanvas.h"
#include "display/ScreenGeometry.h"

#include <cstdint>
#include <span>

namespace kx::display {

// Vertical place of a band in 1/256 of the plot height from its bottom: it spans p .. p + 12.
constexpr int kRxdBand = 226;
constexpr int kTxdBand = 210;
constexpr int kBandSpan = 12;

// Band rows of the plot: top, middle and bottom edge.
struct BandRows {
    int top = 0;
    int middle = 0;
    int bottom = 0;
    int height() const { return bottom - top; }
};
BandRows bandRows(const ScreenGeometry& g, int position);
// Character height of the labels: 11 pixels in a band less than 16 pixels tall, else 13.
int bandFontHeight(const ScreenGeometry& g);

// One line's characters and the horizontal mapping of its channel, the same as its trace's.
struct DecodedBand {
    std::span<const decoders::DecodedChar> chars;
    std::int64_t sampleCount = 0; // of the source channel
    std::uint32_t color = 0;      // 0x00BBGGRR: the source's trace colour in this frame
    int position = kRxdBand;
    decoders::DecoderDisplay display = decoders::DecoderDisplay::Hex;
    double pixelsPerSample = 0;
    std::int64_t firstSample = 0;
    std::int32_t shift = 0; // the channel's sub-sample shift in hundredths of a sample
};

// DrawDecodedBand: the idle line, a six-sided box per character with its label centred when it
// fits, in red with " PE" / " FE" for characters with errors. `font` is bandFontHeight() tall.
void drawDecodedBand(PixelCanvas& canvas, const ScreenGeometry& g, const GlyphSet& font,
                     const DecodedBand& band);

} // namespace kx::display
