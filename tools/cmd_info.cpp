// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

namespace kx::tool {

int cmdInfo(int, char**) { return notAvailable("info"); }

} // namespace kx::tool
