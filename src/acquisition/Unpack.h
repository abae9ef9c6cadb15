// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/RawSamples.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::acquisition {

struct UnpackResult {
    std::size_t sampleTimes = 0; // T, or 4 x T in equivalent-time frames
    bool shortBlock = false;     // a block ended before the samples did; the rest stay kNoSample
};

// Deals block A (analog bytes with the packed digital bytes in between) and, in fast digital
// frames, block B into the raw arrays. `sampleTimes` x (1, or 8 for fast digital) must fit
// kRawCapacity: the caller checks the lengths before. Never reads past either block.
UnpackResult unpackBlocks(std::span<const std::uint8_t> blockA, std::span<const std::uint8_t> blockB,
                          std::uint8_t channelMask, std::size_t captureLength, RawSamples& raw);

} // namespace kx::acquisition
