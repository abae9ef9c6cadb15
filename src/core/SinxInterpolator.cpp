// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/SinxInterpolator.h"

#include "core/FrameRecord.h"
#include "core/Rounding.h"

#include <cmath>
#include <cstdlib>

namespace kx::core {

const std::array<std::int16_t, 80> kSinxKernel{
    6554, 6442, 6114, 5590,  4904,  4099,  3224,  2329, 1465, 676,  //
    0,    -538, -923, -1152, -1233, -1185, -1034, -808, -541, -262, //
    0,    224,  394,  502,   547,   532,   469,   370,  249,  121,  //
    0,    -104, -182, -231,  -251,  -243,  -213,  -167, -111, -54,  //
    0,    45,   78,   98,    105,   101,   87,    67,   44,   21,   //
    0,    -17,  -29,  -36,   -38,   -36,   -30,   -23,  -15,  -7,   //
    0,    5,    9,    11,    11,    10,    8,     6,    4,    2,    //
    0,    -1,   -2,   -2,    -2,    -2,    -2,    -1,   -1,   0,    //
};

std::optional<std::int32_t> sinxInterpolate(std::span<const std::int32_t> samples, int n, int k, int r) {
    if (n > static_cast<int>(samples.size())) n = static_cast<int>(samples.size());
    if (k < 0 || k >= n) return std::nullopt;
    if (r == 0) {
        if (samples[static_cast<std::size_t>(k)] == kNoSample) return std::nullopt;
        return samples[static_cast<std::size_t>(k)];
    }
    if (k == n - 1) return std::nullopt;

    // Extrapolation state runs along the reading order, so that missing neighbours are
    // met after the present ones: from the top near the start, from the bottom elsewhere.
    std::int64_t prev = 0, d1 = 0, d2 = 0, lastPresentD1 = 0;
    std::int64_t sum = 0;
    for (int step = 0; step < 18; ++step) {
        const int j = (k < 8) ? 17 - step : step;
        const int idx = k - 8 + j;
        std::int64_t v;
        const bool present = idx >= 0 && idx < n && samples[static_cast<std::size_t>(idx)] != kNoSample;
        if (present) {
            v = samples[static_cast<std::size_t>(idx)];
            d1 = v - prev;
            d2 = d1 - lastPresentD1;
            lastPresentD1 = d1;
            prev = v;
        } else {
            d1 += d2;
            v = prev + d1;
            prev = v;
        }
        const int dist = std::abs(80 - 10 * j + r);
        if (dist < 80) sum += v * kSinxKernel[static_cast<std::size_t>(dist)];
    }
    // 64-bit sum: far-off extrapolated neighbours must not wrap around.
    const double x = static_cast<double>(sum) * 10.0 / 65536.0;
    return roundHalfAway<std::int32_t>(x);
}

} // namespace kx::core
