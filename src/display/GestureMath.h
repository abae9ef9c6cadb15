// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Rounding.h"
#include "display/Gestures.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kx::display::gesture {

inline constexpr std::int32_t kCodeTop = 65536; // vertical codes run 0..65536 over the plot
inline constexpr std::int32_t kCursorSpan = 5000;

// Nearest integer, halves away from zero, pinned to +-1e15 so sums of a few never overflow even
// with a bad frame header.
inline std::int64_t roundAway(double x) {
    return core::roundHalfAway(std::clamp(x, -1.0e15, 1.0e15));
}

inline std::int32_t clampCode(std::int64_t code) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(code, 0, kCodeTop));
}

inline double clampLevel(double level) {
    if (!(level == level)) return 0;
    return std::clamp(level, 0.0, static_cast<double>(kCodeTop));
}

// FFT zoom ("Zoom" 0..8); the analyser zoom is core::kIqZoom.
inline constexpr std::array<int, 9> kFftZoom{1, 2, 5, 10, 20, 50, 100, 200, 500};

// One step along a table of `count` entries: the index to take, never outside 0..count-1.
inline int stepIndex(int current, int direction, int count) {
    const int cur = std::clamp(current, 0, count - 1);
    return std::clamp(cur + (direction > 0 ? 1 : -1), 0, count - 1);
}

// One event may ask for several notifications: the strongest one runs.
inline void raise(GestureResult& r, Notify n) {
    r.notify = std::max(r.notify, n);
}

} // namespace kx::display::gesture
