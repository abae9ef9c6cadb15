// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the model, language, debug mode, program-wide flags.
struct SystemState {};

} // namespace kx::core
