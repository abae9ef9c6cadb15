// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/PixelCanvas.h"

#include <algorithm>
#include <cstdlib>

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
    for (int y = top; y < bottom; ++y) std::fill(row(y) + left, row(y) + std::max(left, right), c);
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

namespace {

// t * d / n rounded half away from zero, n > 0.
std::int64_t scaled(std::int64_t t, std::int64_t d, std::int64_t n) {
    const std::int64_t num = 2 * t * d;
    return num >= 0 ? (num + n) / (2 * n) : -((-num + n) / (2 * n));
}

} // namespace

void PixelCanvas::line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, QRgb c) {
    if (!valid()) return;
    const std::int64_t dx = x2 - x1, dy = y2 - y1;
    const std::int64_t n = std::max(std::llabs(dx), std::llabs(dy));
    if (n == 0) return;
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
    for (std::int64_t t = tFirst; t <= tLast; ++t) {
        const std::int64_t major = start + step * t;
        const std::int64_t minor = steep ? x1 + scaled(t, dx, n) : y1 + scaled(t, dy, n);
        const std::int64_t x = steep ? minor : major;
        const std::int64_t y = steep ? major : minor;
        if (x >= 0 && y >= 0 && x < m_width && y < m_height) row(static_cast<int>(y))[x] = c;
    }
}

} // namespace kx::display
