// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/DisplayState.h"

#include <QImage>

#include <array>
#include <cstdint>

namespace kx::display {

// The transparent "nothing here" pixel of PersistenceBitmap.
constexpr QRgb kPersistenceEmpty = 0x00010101;
constexpr int kFadeLevels = 15;
constexpr int kFadePaletteSize = 96; // 16 entries per channel

// Entry 16c + d (channel c = A1..D4, level d = 0..14) is the channel colour faded by
// 1 + 0.05 (d² + 1), tagged in the top byte with the index of the next level; entry 16c + 15
// is the empty pixel, so a trace pixel dies after fifteen steps.
struct FadePalette {
    std::array<QRgb, kFadePaletteSize> entries{};
    std::array<QRgb, 6> fresh{}; // channel colours as freshly drawn pixels (top byte ignored)
};

FadePalette buildFadePalette(const core::ColorRoles& roles);

// One step of the persistence fade over every pixel of `image` (RGB32).
void persistenceFadeStep(QImage& image, const FadePalette& palette);

// Fills `image` with the empty pixel.
void clearPersistence(QImage& image);

// Copies `src` onto `dst` at (x, y), leaving out the empty pixels.
void blitPersistence(QImage& dst, int x, int y, const QImage& src);

} // namespace kx::display
