// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the spectrum analyzer settings.
struct FftState {};

} // namespace kx::core
