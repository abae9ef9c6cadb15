// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

namespace kx::tool {

int cmdFrame(int, char**) { return notAvailable("frame"); }

} // namespace kx::tool
