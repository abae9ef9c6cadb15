// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/SinxSampler.h"

#include "core/FrameRecord.h"
#include "core/Rounding.h"
#include "core/SinxInterpolator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kx::display {

SinxSampler::SinxSampler() {
    for (int r = 0; r < 10; ++r)
        for (int j = 0; j < 18; ++j) {
            const int dist = std::abs(80 - 10 * j + r);
            m_weights[r][j] = dist < 80 ? core::kSinxKernel[static_cast<std::size_t>(dist)] : 0;
        }
}

std::optional<std::int32_t> SinxSampler::at(std::span<const std::int32_t> samples, int n, int k, int r) {
    if (r > 0 && r < 10 && k >= 8 && k + 9 < n && n <= static_cast<int>(samples.size())) {
        const std::int32_t* s = samples.data() + (k - 8);
        if (k != m_checkedSample || samples.data() != m_checkedArray) {
            m_checkedSample = k;
            m_checkedArray = samples.data();
            m_neighboursPresent =
                std::none_of(s, s + 18, [](std::int32_t v) { return v == core::kNoSample; });
        }
        if (m_neighboursPresent) {
            std::int64_t sum = 0;
            for (int j = 0; j < 18; ++j) sum += static_cast<std::int64_t>(s[j]) * m_weights[r][j];
            const double x = static_cast<double>(sum) * 10.0 / 65536.0;
            return core::roundHalfAway<std::int32_t>(x);
        }
    }
    return core::sinxInterpolate(samples, n, k, r);
}

} // namespace kx::display
