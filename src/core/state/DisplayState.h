// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the view items, cursors, colours, advanced settings, background oscillogram.
struct DisplayState {};

} // namespace kx::core
