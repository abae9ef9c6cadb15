// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::acquisition {

// Room for four sub-records of the largest frame (equivalent-time frames) and for eight
// digital samples per sample time (fast digital frames).
constexpr std::size_t kRawCapacity = 4 * core::kMaxFramePoints;

// Unpacked samples, one array per channel, before they are copied into the channel buffers.
// Only the first `length(channel)` entries belong to the current frame; a channel absent
// from the frame has length 0. Large: create once.
struct RawSamples {
    std::array<std::array<std::int32_t, kRawCapacity>, core::kChannelCount> data;
    std::array<std::size_t, core::kChannelCount> filled{}; // entries written by the last unpacking

    std::span<std::int32_t> of(core::Channel c) { return data[static_cast<std::size_t>(c)]; }
    std::span<const std::int32_t> of(core::Channel c) const { return data[static_cast<std::size_t>(c)]; }
    std::size_t length(core::Channel c) const { return filled[static_cast<std::size_t>(c)]; }
};

} // namespace kx::acquisition
