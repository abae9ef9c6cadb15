// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/PixelCanvas.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kx::display {

PixelCanvas::PixelCanvas(QImage& image) {
    const auto f = image.format();
    if (image.isNull() ||
        (f != QImage::Format_RGB32 && f != QImage::Format_ARGB32 && f != QImage::Format_ARGB32_Premultiplied))
        return;
    m_bits = image.bits();
    m_stride = image.bytesPerLine();
    m_width = image.width();
    m_height = image.height();
}

QRgb PixelCanvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
    return row(y)[x];
}

void PixelCanvas::fillRect(int left, int top, int right, int bottom, QRgb c) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, m_width);
    bottom = std::min(bottom, m_height);
    if (left >= right || top >= bottom) return;
    // One row by hand, the rest copied from it: the library copy moves whole vectors.
    QRgb* first = row(top) + left;
    std::fill(first, first + (right - left), c);
    const std::size_t bytes = static_cast<std::size_t>(right - left) * sizeof(QRgb);
    for (int y = top + 1; y < bottom; ++y) std::memcpy(row(y) + left, first, bytes);
}

void PixelCanvas::hLine(int x1, int x2, int y, QRgb c) {
    if (x1 > x2) std::swap(x1, x2);
    fillRect(x1, y, x2 + 1, y + 1, c);
}

void PixelCanvas::vLine(int x, int y1, int y2, QRgb c) {
    if (y1 > y2) std::swap(y1, y2);
    if (x < 0 || x >= m_width) return;
    y1 = std::max(y1, 0);
    y2 = std::min(y2, m_height - 1);
    for (int y = y1; y <= y2; ++y) row(y)[x] = c;
}

void PixelCanvas::line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, QRgb c) {
    if (!valid()) return;
    const std::int64_t dx = x2 - x1, dy = y2 - y1;
    if (dx == 0 && dy == 0) return;
    // Trace bars are vertical and flat traces horizontal: no stepping needed for those.
    if (dx == 0) {
        if (x1 < 0 || x1 >= m_width) return;
        std::int64_t lo = dy > 0 ? y1 : y2 + 1, hi = dy > 0 ? y2 - 1 : y1;
        lo = std::max<std::int64_t>(lo, 0);
        hi = std::min<std::int64_t>(hi, m_height - 1);
        for (std::int64_t y = lo; y <= hi; ++y) row(static_cast<int>(y))[x1] = c;
        return;
    }
    if (dy == 0) {
        if (y1 < 0 || y1 >= m_height) return;
        std::int64_t lo = dx > 0 ? x1 : x2 + 1, hi = dx > 0 ? x2 - 1 : x1;
        lo = std::max<std::int64_t>(lo, 0);
        hi = std::min<std::int64_t>(hi, m_width - 1);
        if (lo <= hi) std::fill(row(static_cast<int>(y1)) + lo, row(static_cast<int>(y1)) + hi + 1, c);
        return;
    }
    const std::int64_t n = std::max(std::llabs(dx), std::llabs(dy));
    // Step along the major axis, visiting only the steps that land inside the image.
    const bool steep = std::llabs(dy) > std::llabs(dx);
    const std::int64_t start = steep ? y1 : x1;
    const std::int64_t step = (steep ? dy : dx) > 0 ? 1 : -1;
    const std::int64_t limit = steep ? m_height : m_width;
    std::int64_t tFirst = 0, tLast = n - 1;
    if (step > 0) {
        tFirst = std::max<std::int64_t>(tFirst, -start);
        tLast = std::min<std::int64_t>(tLast, limit - 1 - start);
    } else {
        tFirst = std::max<std::int64_t>(tFirst, start - (limit - 1));
        tLast = std::min<std::int64_t>(tLast, start);
    }
    if (tFirst > tLast) return;
    // Minor offset at step t: t * d / n rounded half away from zero, kept as a quotient and
    // remainder of (2 t |d| + n) / 2n so that each step costs an addition.
    const std::int64_t d = steep ? dx : dy;
    const std::int64_t ad = std::llabs(d), sign = d < 0 ? -1 : 1;
    const std::int64_t minorStart = steep ? x1 : y1;
    const std::int64_t acc = 2 * tFirst * ad + n;
    std::int64_t q = acc / (2 * n), r = acc % (2 * n);
    for (std::int64_t t = tFirst; t <= tLast; ++t) {
        const std::int64_t major = start + step * t;
        const std::int64_t minor = minorStart + sign * q;
        const std::int64_t x = steep ? minor : major;
        const std::int64_t y = steep ? major : minor;
        if (x >= 0 && y >= 0 && x < m_width && y < m_height) row(static_cast<int>(y))[x] = c;
        r += 2 * ad;
        if (r >= 2 * n) {
            r -= 2 * n;
            ++q;
        }
    }
}

} // namespace kx::display
