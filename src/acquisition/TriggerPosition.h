// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

#include <cstdint>
#include <span>

namespace kx::acquisition {

// Position of the trigger crossing after the trigger sample, in hundredths of a sample, for
// an analog source (0 = A1, 1 = A2). The search walks tenths of a sample from `preTrigger`
// through the source's min buffer with the sin(x)/x interpolator; when the channel is absent
// (or holds no value there) the two neighbourhood samples of the information block are used.
std::int32_t analogTriggerShift(std::span<const std::int32_t> sourceMin, bool sourcePresent,
                                int captureLength, int preTrigger, std::int32_t before, std::int32_t after,
                                std::int32_t threshold, bool edgeDown);

// The same for a digital source from its 16 neighbourhood bits (bit k = sample k).
std::int32_t digitalTriggerShift(std::uint32_t neighbourhood, bool edgeDown);

// Words 24..29 for the assembled frame: zero unless undecimated with a valid trigger source.
void writeTriggerShifts(core::FrameRecord& frame, std::span<const std::uint8_t> info, int preTrigger);

} // namespace kx::acquisition
