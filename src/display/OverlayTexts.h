// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "display/ReadoutTexts.h"

namespace kx::display {

// "Extra Info", "USB Debug Data" and "ETS Debug Data" lines over the top of the plot (UTF-8), in the interface
// language; none on a compact screen.
void buildOverlayTexts(const ReadoutContext& c, TextList& out);

} // namespace kx::display
