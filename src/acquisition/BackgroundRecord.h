// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

namespace kx::acquisition {

// Empties the background oscillogram: samples to kNoSample, points to no data, header to 0,
// its loaded-from-file flag and the lane swap off. Unlike the live record it raises nothing.
void clearBackgroundRecord(core::FrameRecord& background, bool& bgLaneSwap);

} // namespace kx::acquisition
