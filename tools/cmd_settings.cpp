// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

namespace kx::tool {

int cmdSettings(int, char**) { return notAvailable("settings"); }

} // namespace kx::tool
