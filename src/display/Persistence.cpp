// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/Persistence.h"

#include "display/Colors.h"

#include <algorithm>

namespace kx::display {

FadePalette buildFadePalette(const core::ColorRoles& roles) {
    FadePalette p;
    const auto colors = channelColors(roles);
    for (int c = 0; c < 6; ++c) {
        for (int d = 0; d < kFadeLevels; ++d) {
            const std::uint32_t faded = fade(colors[c], roles.ColorBackground, 1.0 + 0.05 * (d * d + 1));
            const auto tag = static_cast<std::uint32_t>(16 * c + d + 1);
            p.entries[16 * c + d] = (tag << 24) | (toQRgb(faded) & 0x00FFFFFFu);
        }
        p.entries[16 * c + 15] = kPersistenceEmpty;
        p.fresh[c] = toQRgb(colors[c]) & 0x00FFFFFFu;
    }
    return p;
}

namespace {

constexpr QRgb kEmptyRgb = kPersistenceEmpty & 0x00FFFFFFu;

// Palette index of a non-empty pixel: its tag, unless it has exactly the colour of a channel
// other than A1 (a freshly drawn pixel of that channel).
std::uint32_t fadeIndex(QRgb v, const FadePalette& palette) {
    const QRgb rgb = v & 0x00FFFFFFu;
    for (int c = 1; c < 6; ++c)
        if (rgb == palette.fresh[c]) return static_cast<std::uint32_t>(16 * c);
    // Tags 1..95 are fading levels; anything else (0xFF from drawing) is a fresh pixel,
    // which counts as A1.
    const std::uint32_t tag = v >> 24;
    return tag < static_cast<std::uint32_t>(kFadePaletteSize) ? tag : 0;
}

} // namespace

void persistenceFadeStep(QImage& image, const FadePalette& palette) {
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32) return;
    // Almost every non-empty pixel is one the previous step wrote, so its whole value is a
    // palette entry: look its successor up by tag instead of testing its colour.
    std::array<QRgb, 256> written;
    std::array<QRgb, 256> next{};
    written.fill(kPersistenceEmpty); // empty pixels never reach the look-up
    for (const QRgb e : palette.entries) {
        const std::uint32_t tag = e >> 24;
        if (tag == 0) continue;
        written[tag] = e;
        next[tag] = palette.entries[fadeIndex(e, palette)];
    }
    const int w = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb v = px[x];
            if ((v & 0x00FFFFFFu) == kEmptyRgb) continue;
            const std::uint32_t tag = v >> 24;
            px[x] = v == written[tag] ? next[tag] : palette.entries[fadeIndex(v, palette)];
        }
    }
}

void clearPersistence(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(px, px + image.width(), kPersistenceEmpty);
    }
}

void blitPersistence(QImage& dst, int x, int y, const QImage& src) {
    const int x0 = std::max(0, -x), y0 = std::max(0, -y);
    const int x1 = std::min(src.width(), dst.width() - x), y1 = std::min(src.height(), dst.height() - y);
    for (int sy = y0; sy < y1; ++sy) {
        const auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(sy));
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(sy + y));
        for (int sx = x0; sx < x1; ++sx) {
            const QRgb v = s[sx];
            if ((v & 0x00FFFFFFu) != (kPersistenceEmpty & 0x00FFFFFFu)) d[sx + x] = 0xFF000000u | v;
        }
    }
}

} // namespace kx::display
