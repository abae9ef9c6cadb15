// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

namespace kx::tool {

int cmdAwg(int, char**) { return notAvailable("awg"); }

} // namespace kx::tool
