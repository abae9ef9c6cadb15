// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

#include <cstdint>

namespace kx::display {

// Direct 32-bit pixel access to an RGB32/ARGB32 image, with every write clipped to the
// image, so traces and markers may run past the bitmap safely. Lines follow the GDI
// rule: the end point is not drawn.
class PixelCanvas {
public:
    explicit PixelCanvas(QImage& image);

    bool valid() const { return m_bits != nullptr; }
    int width() const { return m_width; }
    int height() const { return m_height; }

    QRgb pixel(int x, int y) const;
    void setPixel(int x, int y, QRgb c) {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height) row(y)[x] = c;
    }
    // Right and bottom edges exclusive.
    void fillRect(int left, int top, int right, int bottom, QRgb c);
    // Both ends inclusive.
    void hLine(int x1, int x2, int y, QRgb c);
    void vLine(int x, int y1, int y2, QRgb c);
    // From (x1, y1) towards (x2, y2), the end point left out.
    void line(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2, QRgb c);

private:
    QRgb* row(int y) const {
        return reinterpret_cast<QRgb*>(m_bits + static_cast<std::ptrdiff_t>(y) * m_stride);
    }

    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    int m_width = 0;
    int m_height = 0;
};

} // namespace kx::display
