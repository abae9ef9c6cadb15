// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/SingleInstance.h"

// Exit codes of kx_instance_second, the stand-in for a second start of the program.
namespace kx::secondstart {

inline constexpr int kBadArguments = 2;
inline constexpr int kBecamePrimary = 50;

inline int exitCodeFor(app::HandOverResult r) {
    return 10 * (static_cast<int>(r.status) + 1) + (r.raise ? 1 : 0);
}

} // namespace kx::secondstart
