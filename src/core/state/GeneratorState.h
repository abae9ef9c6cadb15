// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the signal generator, modulation, sweep, AWG.
struct GeneratorState {};

} // namespace kx::core
