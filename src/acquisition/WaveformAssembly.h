// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/AssemblyContext.h"
#include "acquisition/AssemblyHooks.h"
#include "acquisition/EtsReconstruction.h"
#include "acquisition/RawSamples.h"
#include "acquisition/RecorderCollection.h"
#include "core/FrameRecord.h"

#include <cstdint>
#include <functional>
#include <span>

namespace kx::acquisition {

enum class AssemblyStatus {
    Ok,
    ShortBlock,   // assembled; a data block ended early and the missing samples are empty
    BadInfoBlock, // refused: the information block is shorter than 160 bytes
    BadLength,    // refused: the returned capture length does not fit the buffers
};

constexpr bool assembled(AssemblyStatus s) {
    return s == AssemblyStatus::Ok || s == AssemblyStatus::ShortBlock;
}

// Cumulative counters for the diagnostics overlay.
struct AssemblyStats {
    std::uint32_t assembled = 0;
    std::uint32_t refused = 0;     // frames dropped for a corrupt information block
    std::uint32_t shortBlocks = 0; // frames whose blocks held fewer bytes than announced
    std::uint32_t clamped = 0;     // frames whose roll write index lay outside the ring
};

// Everything assembly keeps between frames. Several megabytes: create once, keep.
struct AssemblyWorkspace {
    RawSamples raw;
    RecorderCollection recorder;
    AssemblyHooks hooks;
    AssemblyStats stats;
    // Equivalent-time frames are reconstructed by this (kept by the owner, shared with the
    // spectrum view and data files); without one the hook above is asked instead.
    EtsReconstruction* ets = nullptr;
    // Runs between the reconstruction's transforms, before the frame record is touched: the
    // acquisition thread lets the GUI draw meanwhile.
    std::function<void()> betweenSpectra;
};

// Turns one accepted data packet into the frame record: unpacking into the raw arrays, the
// recorder collection, FrameHeader, the channel buffers, statistics, the trigger's sub-sample
// position and the per-frame hooks. A refused frame leaves the record untouched.
// The caller holds frame.mutex (GUI handlers outside the synchronised update take it too).
AssemblyStatus assembleFrame(std::span<const std::uint8_t> info, std::span<const std::uint8_t> blockA,
                             std::span<const std::uint8_t> blockB, const AssemblyContext& context,
                             AssemblyWorkspace& work, core::FrameRecord& frame);

} // namespace kx::acquisition
