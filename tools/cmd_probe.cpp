// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

namespace kx::tool {

int cmdProbe(int, char**) { return notAvailable("probe"); }

} // namespace kx::tool
