// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

namespace kx::tool {

int cmdDecode(int, char**) { return notAvailable("decode"); }

} // namespace kx::tool
