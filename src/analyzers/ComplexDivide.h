// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <complex>

namespace kx::analyzers {

// a / b by the scaled (Smith) method; a zero or non-finite divisor gives NaN + j NaN instead of
// a failure, so a broken point draws nothing rather than stopping the sweep.
std::complex<double> smithDivide(std::complex<double> a, std::complex<double> b);

} // namespace kx::analyzers
