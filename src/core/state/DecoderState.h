// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the serial decoder settings.
struct DecoderState {};

} // namespace kx::core
