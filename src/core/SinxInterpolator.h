// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

namespace kx::core {

// sin(x)/x kernel in tenths of a sample, scaled so that K(0) ~ 65536/10; zero at every
// whole-sample distance and from 80 tenths on.
extern const std::array<std::int16_t, 80> kSinxKernel;

// Value at sample k plus r/10 (r = 0..9) of the first n entries of `samples`, or nothing
// where there is no value. Missing neighbours (outside the array or empty entries) are
// extrapolated quadratically from the present ones, so edges don't ring towards zero.
// Shared by the trigger's sub-sample position and the trace renderer.
std::optional<std::int32_t> sinxInterpolate(std::span<const std::int32_t> samples, int n, int k, int r);

} // namespace kx::core
