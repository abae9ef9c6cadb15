// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::acquisition {

// How one channel's raw samples become its min and max arrays.
struct CopyPlan {
    std::size_t length = 0;   // output positions written (capped at the buffer size)
    std::size_t valid = 0;    // positions below this get samples, the rest kNoSample
    std::size_t period = 0;   // ring length for the rotation (0 = no rotation)
    std::size_t rotation = 0; // source index of output position 0 when rotating
    bool peakDetect = false;  // raw stream holds min, max pairs
    bool hiRes = false;       // two raw entries per value (HiResFactor >= 2)
    bool analog = true;
};

// Copies with the plan; every raw index read stays below raw.size().
void copyChannel(std::span<const std::int32_t> raw, std::span<std::int32_t> min, std::span<std::int32_t> max,
                 const CopyPlan& plan);

// Words 40..49 over the valid samples of A1 and A2; an absent channel has none.
void writeStatistics(core::FrameRecord& frame, bool hasA1, bool hasA2);

} // namespace kx::acquisition
