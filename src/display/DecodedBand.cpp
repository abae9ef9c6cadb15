// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/DecodedBand.h"

#include "decoders/DecoderListing.h"
#include "display/Colors.h"

#include <algorithm>

namespace kx::display {

namespace {

constexpr std::uint32_t kErrorColor = 0x0000FF; // red

int bandRow(const ScreenGeometry& g, int level) {
    return g.PlotTop + g.PlotHeight - roundPx(level * 256.0 * g.PlotHeight / 65536.0);
}

} // namespace

BandRows bandRows(const ScreenGeometry& g, int position) {
    return {bandRow(g, position + kBandSpan), bandRow(g, position + kBandSpan / 2), bandRow(g, position)};
}

int bandFontHeight(const ScreenGeometry& g) {
    return bandRows(g, kRxdBand).height() < 16 ? 11 : 13;
}

void drawDecodedBand(PixelCanvas& canvas, const ScreenGeometry& g, const GlyphSet& font,
                     const DecodedBand& band) {
    if (band.chars.empty() || band.sampleCount <= 0) return;
    const BandRows rows = bandRows(g, band.position);
    const QRgb pen = toQRgb(band.color);
    const QRgb red = toQRgb(kErrorColor);
    const double k = band.pixelsPerSample;
    const std::int64_t f = band.firstSample;
    // Everything below is relative to the shifted left edge.
    const int left = g.PlotLeft - roundPx(k * band.shift / 100.0);
    const auto xOf = [&](std::int64_t i) { return roundPx(k * static_cast<double>(i - f)); };
    const int drawable = std::min(roundPx(k * static_cast<double>(band.sampleCount - f - 1)), g.PlotWidth);
    const auto idle = [&](int from, int to) {
        canvas.line(left + from, rows.middle, left + to, rows.middle, pen);
    };

    std::size_t i = 0;
    while (i < band.chars.size() && band.chars[i].first < f && band.chars[i].last < f) ++i;

    int end = 0; // of the previous box
    decoders::BandLabelBuffer buffer;
    for (; i < band.chars.size(); ++i) {
        const decoders::DecodedChar& c = band.chars[i];
        const int d = xOf(c.first);
        const int e = xOf(c.last);
        if (end < d) idle(end, d);
        if (d > g.PlotWidth) break;

        const int inset = e - d < 4 ? 0 : 2;
        const int xs[6] = {d, d + inset, e - inset, e, e - inset, d + inset};
        const int ys[6] = {rows.middle, rows.top, rows.top, rows.middle, rows.bottom, rows.bottom};
        for (int p = 0; p < 6; ++p)
            canvas.line(left + xs[p], ys[p], left + xs[(p + 1) % 6], ys[(p + 1) % 6], pen);

        const bool error = c.flags != 0;
        const std::string_view label = decoders::bandLabel(c, band.display, buffer);
        const int from = std::max(d, 0);
        const int to = std::min(e, g.PlotWidth);
        const int width = font.width(label);
        if (width + 5 < to - from && rows.height() > 10) {
            const int top = rows.middle - font.pixelHeight() / 2 - 1;
            font.draw(canvas, left + from + (to - from - width) / 2, top, label, error ? red : pen);
        } else if (error) {
            canvas.vLine(left + e - inset - 1, rows.top, rows.bottom, red);
        }
        end = e;
    }
    if (end < drawable) idle(end, drawable);
}

} // namespace kx::display
