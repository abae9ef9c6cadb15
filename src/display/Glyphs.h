// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/PixelCanvas.h"

#include <QString>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kx::display {

// The Tahoma clone of fonts-wine when it can be loaded, else the default sans-serif family.
// Needs a QGuiApplication.
QString tahomaFamily();

// A few characters of one font rendered once into a bit mask, so that labels drawn on every
// frame are plain pixel copies: no painter, no allocation, the same pixels every time.
class GlyphSet {
public:
    // `pixelHeight` is the font's character height; only `characters` (ASCII) can be drawn.
    void build(const QString& family, int pixelHeight, std::string_view characters);

    int pixelHeight() const { return m_pixelHeight; }
    int cellHeight() const { return m_cellHeight; }
    int width(std::string_view text) const;
    // Ink only (clear background); `top` is the top of the character cell.
    void draw(PixelCanvas& canvas, int x, int top, std::string_view text, QRgb color) const;

private:
    struct Glyph {
        int slot = -1; // left column of the glyph's slot in the mask
        int advance = 0;
    };
    static constexpr int kPad = 2; // room for ink outside the advance

    std::array<Glyph, 128> m_glyphs{};
    std::vector<std::uint8_t> m_mask; // m_maskWidth x m_cellHeight, 1 = ink
    int m_maskWidth = 0;
    int m_cellHeight = 0;
    int m_pixelHeight = 0;
};

} // namespace kx::display
