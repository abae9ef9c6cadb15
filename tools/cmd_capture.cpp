// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

namespace kx::tool {

int cmdCapture(int, char**) { return notAvailable("capture"); }

} // namespace kx::tool
