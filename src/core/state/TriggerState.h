// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the trigger and additional conditions.
struct TriggerState {};

} // namespace kx::core
