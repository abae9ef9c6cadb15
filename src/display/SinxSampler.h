// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace kx::display {

// sin(x)/x values between samples, exactly as the shared interpolator gives them, but with the
// common case made cheap: where all eighteen neighbours are present nothing is extrapolated
// and the value is a dot product with the kernel; the nine phases of a sample share the
// presence check.
class SinxSampler {
public:
    SinxSampler();

    // Forget the last presence check; call when the samples may have changed.
    void reset() { m_checkedArray = nullptr; }

    std::optional<std::int32_t> at(std::span<const std::int32_t> samples, int n, int k, int r);

private:
    std::array<std::array<std::int32_t, 18>, 10> m_weights{}; // kernel per phase and neighbour
    const std::int32_t* m_checkedArray = nullptr;
    int m_checkedSample = -1;
    bool m_neighboursPresent = false;
};

} // namespace kx::display
