// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Settings of the network analyzer, antenna analyzer and LC meter settings.
struct AnalyzerState {};

} // namespace kx::core
