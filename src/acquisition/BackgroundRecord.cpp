// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/BackgroundRecord.h"

namespace kx::acquisition {

void clearBackgroundRecord(core::FrameRecord& background, bool& bgLaneSwap) {
    background.clear();
    bgLaneSwap = false;
}

} // namespace kx::acquisition
