// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/TraceRenderer.h"

#include "display/Colors.h"
#include "display/PixelCanvas.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kx::display {

namespace {

constexpr std::int32_t kEmptyLower = INT_MAX;
constexpr std::int32_t kEmptyUpper = INT_MIN;

} // namespace

bool TraceRenderer::draw(QImage& canvas, const ScreenGeometry& g, std::uint32_t background,
                         const TraceParams& p) {
    const int columns = std::min(2 * g.PlotWidth + 1, kMaxColumns);
    const int lastColumn = columns - 1;
    m_sinx.reset(); // the samples may have changed since the last trace
    std::fill_n(m_lower.begin(), columns, kEmptyLower);
    std::fill_n(m_upper.begin(), columns, kEmptyUpper);

    const double pps = p.pixelsPerSample;
    if (!(pps > 0) || !std::isfinite(pps)) return false;
    const int n = std::clamp(p.count, 0, static_cast<int>(std::min(p.min.size(), p.max.size())));

    const bool interpolate = p.mode == TraceMode::Sinx && p.header != nullptr &&
                             p.header->get64(core::fh::SamplePeriodPs) <= 5000 && pps >= 0.9;

    // Gap width in samples: a quarter of a division, at least five samples.
    const double gapWidth = std::floor(std::min(g.PixelsPerDivX * 0.25 / pps, 1.0e12));
    const std::int64_t gapSamples = std::max<std::int64_t>(static_cast<std::int64_t>(gapWidth), 5);
    const bool gapOn = p.gap && p.header != nullptr && (*p.header)[core::fh::RollFrame] == 1;
    const std::int64_t gapFrom = gapOn ? static_cast<std::int64_t>((*p.header)[core::fh::TriggerIndex]) : 0;
    int gapStart = -1, gapEnd = -1;

    const double w = pps * p.subSampleShift;
    const int shiftPx = roundPx(w);
    const double phase = w - shiftPx;
    const std::int64_t stopColumn = static_cast<std::int64_t>(g.PlotWidth) + shiftPx;

    const double heightScale = g.PlotHeight / 65536.0;
    auto toHeight = [&](std::int32_t v) {
        return roundPx(((static_cast<double>(v) - p.captureZero) * p.gain + p.screenZero) * heightScale);
    };

    // Heights grow with the values for a non-negative gain, so a column only needs the
    // extremes of its samples converted: once per column instead of once per sample.
    // Columns only ever move right, so each is closed once.
    const bool monotonic = p.gain >= 0;
    int openColumn = -1;
    std::int32_t openLo = 0, openHi = 0;
    bool haveLo = false, haveHi = false;
    auto flush = [&] {
        if (openColumn < 0) return;
        if (haveLo) m_lower[openColumn] = std::min(m_lower[openColumn], toHeight(openLo));
        if (haveHi) m_upper[openColumn] = std::max(m_upper[openColumn], toHeight(openHi));
    };

    const std::int64_t s0 = p.firstSample;
    // Without interpolation whole runs of samples share a column: the column is found with
    // the walk's own formula at the ends of each run only, and the run's extremes are taken
    // straight from the arrays.
    const bool runs = !interpolate && monotonic;
    if (runs) {
        const std::int64_t mFirst = s0 < 0 ? -s0 : 0;
        const std::int64_t mEnd = static_cast<std::int64_t>(n) - s0; // offset of sample n
        auto columnOf = [&](std::int64_t m) -> std::int64_t {
            const double bx = pps * static_cast<double>(10 * m) / 10.0 - phase;
            if (bx > lastColumn + 1) return INT64_MAX;
            const int c = roundPx(bx);
            return c < 0 ? 0 : c;
        };
        for (std::int64_t m = mFirst; m < mEnd;) {
            const std::int64_t column = columnOf(m);
            if (column > lastColumn) break;
            // Guess where the next column begins, then settle it exactly.
            const double guess = std::ceil((static_cast<double>(column) + 0.5 + phase) / pps);
            std::int64_t end = guess >= static_cast<double>(mEnd)
                                   ? mEnd
                                   : std::max<std::int64_t>(m + 1, static_cast<std::int64_t>(guess));
            while (end > m + 1 && columnOf(end - 1) != column) --end;
            while (end < mEnd && columnOf(end) == column) ++end;

            const std::int64_t a = s0 + m, b = s0 + end; // samples [a, b)
            std::int32_t lo = core::kNoSample, hi = INT_MIN;
            bool anyHi = false;
            for (std::int64_t k = a; k < b; ++k) {
                lo = std::min(lo, p.min[static_cast<std::size_t>(k)]);
                const std::int32_t v = p.max[static_cast<std::size_t>(k)];
                const bool present = v != core::kNoSample;
                anyHi |= present;
                hi = std::max(hi, present ? v : INT_MIN);
            }
            if (gapOn) {
                if (gapStart < 0) {
                    const std::int64_t first = std::max(a, gapFrom);
                    if (first < b && first < gapFrom + gapSamples) {
                        gapStart = static_cast<int>(column);
                        if (b - 1 >= gapFrom + gapSamples) gapEnd = static_cast<int>(column);
                    }
                } else if (gapEnd < 0 && b - 1 >= gapFrom + gapSamples) {
                    gapEnd = static_cast<int>(column);
                }
            }
            const auto c = static_cast<std::size_t>(column);
            if (lo != core::kNoSample) m_lower[c] = std::min(m_lower[c], toHeight(lo));
            if (anyHi) m_upper[c] = std::max(m_upper[c], toHeight(hi));
            if (column > stopColumn) break;
            m = end;
        }
    }

    const std::int64_t firstStep = s0 < 0 ? -10 * s0 : 0;
    // Runs until the last sample, also when the walk starts before sample 0.
    const std::int64_t lastStep = 10 * (static_cast<std::int64_t>(n) - std::min<std::int64_t>(s0, 0)) - 1;
    const std::int64_t stride = interpolate ? 1 : 10;
    for (std::int64_t i = runs ? lastStep + 1 : firstStep; i <= lastStep; i += stride) {
        const double bx = pps * static_cast<double>(i) / 10.0 - phase;
        if (bx > lastColumn + 1) break; // also keeps the rounding below in range
        int column = roundPx(bx);
        if (column < 0) column = 0;
        const std::int64_t sample = s0 + i / 10;
        if (column > lastColumn || sample >= n) break;

        const int r = static_cast<int>(i % 10);
        const auto k = static_cast<std::size_t>(sample);
        std::int32_t lo = core::kNoSample, hi = core::kNoSample;
        if (interpolate) {
            if (r == 0) {
                lo = p.min[k];
            } else {
                const auto v = m_sinx.at(p.min, n, static_cast<int>(sample), r);
                if (v) lo = *v;
            }
            hi = lo;
        } else {
            lo = p.min[k];
            hi = p.max[k];
        }

        if (gapOn) {
            if (gapStart < 0) {
                if (sample >= gapFrom && sample < gapFrom + gapSamples) gapStart = column;
            } else if (gapEnd < 0 && sample >= gapFrom + gapSamples) {
                gapEnd = column;
            }
        }

        if (monotonic) {
            if (column != openColumn) {
                flush();
                openColumn = column;
                haveLo = haveHi = false;
            }
            if (lo != core::kNoSample) {
                openLo = haveLo ? std::min(openLo, lo) : lo;
                haveLo = true;
            }
            if (hi != core::kNoSample) {
                openHi = haveHi ? std::max(openHi, hi) : hi;
                haveHi = true;
            }
        } else {
            if (lo != core::kNoSample) m_lower[column] = std::min(m_lower[column], toHeight(lo));
            if (hi != core::kNoSample) m_upper[column] = std::max(m_upper[column], toHeight(hi));
        }
        if (column > stopColumn) break;
    }
    flush();
    if (gapStart >= 0 && gapEnd < 0) gapEnd = columns;

    PixelCanvas pc(canvas);
    if (!pc.valid()) return interpolate;
    const QRgb normal = toQRgb(p.color);
    const QRgb faded = toQRgb(fade(p.color, background, 2.0));
    const std::int64_t base = static_cast<std::int64_t>(p.y0) + g.PlotHeight;
    const bool dots = p.mode == TraceMode::Dots;

    bool segmentStart = true;
    std::int64_t prevX = 0;
    std::int32_t prevLower = 0, prevUpper = 0;
    for (int i = 0; i <= lastColumn; ++i) {
        const bool last = i >= stopColumn;
        if (gapStart > 0 && i == gapStart) {
            segmentStart = true; // the write position: leave a hole in the polyline
            if (last) break;
            continue;
        }
        const std::int32_t lower = m_lower[i], upper = m_upper[i];
        if (lower != kEmptyLower && upper != kEmptyUpper) {
            const QRgb c = (gapStart >= 0 && i >= gapStart && i < gapEnd) ? faded : normal;
            const std::int64_t x = static_cast<std::int64_t>(p.x0) + i - shiftPx;
            bool joined = false;
            if (!dots && !segmentStart) {
                if (lower < prevUpper && prevLower >= upper) {
                    pc.line(prevX, base - prevLower, x, base - upper, c);
                    joined = true;
                } else if (lower >= prevUpper) {
                    pc.line(prevX, base - prevUpper, x, base - lower, c);
                    joined = true;
                } else if (x - prevX > 1) {
                    // Overlapping ranges with empty columns between (a crest seen through a
                    // hole in the samples): bridge them where they overlap; the bar follows.
                    const std::int64_t level = std::max(lower, prevLower);
                    pc.line(prevX, base - level, x, base - level, c);
                }
            }
            if (dots || lower != upper || !joined)
                pc.line(x, base - lower, x, base - static_cast<std::int64_t>(upper) - 1, c);
            prevX = x;
            prevLower = lower;
            prevUpper = upper;
            segmentStart = false;
        }
        if (last) break;
    }
    return interpolate;
}

} // namespace kx::display
