// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

namespace kx::tool {

int cmdSpectrum(int, char**) { return notAvailable("spectrum"); }

} // namespace kx::tool
