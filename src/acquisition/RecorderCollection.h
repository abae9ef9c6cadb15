// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/RawSamples.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::acquisition {

constexpr std::size_t kRecorderCapacity = 65536;

// A1 roll samples collected during assembly for the binary recorder; the synchronised update
// appends them to the recorder file and empties the area. Large: part of the assembly workspace.
struct RecorderCollection {
    std::array<std::int16_t, kRecorderCapacity> values{};
    std::size_t count = 0;
    std::int64_t position = -1; // collection position in the raw A1 ring, -1 = none yet
    // Values that never reached the area since the last append: overwritten in the instrument's
    // ring before a frame brought them, or beyond the area's room.
    std::uint64_t lost = 0;

    // The ring as the last collected frame held it, and when that frame arrived: entries a
    // frame has not rewritten must read the same in the next one.
    std::array<std::int32_t, kRawCapacity> previousRing{};
    std::size_t previousLength = 0;
    std::int64_t previousArrivalNs = 0;

    std::span<const std::int16_t> collected() const { return {values.data(), count}; }
    void empty() {
        count = 0;
        lost = 0;
    }
};

// What one roll frame offers the collection.
struct RecorderFrame {
    std::span<const std::int32_t> ring; // raw A1 entries of the frame, the ring of length T
    std::size_t writeIndex = 0;         // roll write index W (before any halving)
    bool rollData = false;              // frame status bit 0
    bool wrapped = false;               // frame status bit 1: every entry of the ring holds a sample
    bool hiRes = false;                 // each value takes two entries
    std::uint64_t entryPeriodPs = 0;    // time between two ring entries; 0 = unknown
    std::int64_t arrivalNs = 0;         // steady-clock time the frame arrived
};

// One collection step: the values from the previous write index up to W, across the ring's
// wrap. With high-resolution averaging each value takes two entries and the position advances
// by two; it stops where a step would reach past W. When the instrument has rewritten the ring
// since the last frame (its old entries changed and the clock says a lap or more went by), the
// whole ring is taken and what was overwritten is counted in `lost`.
void collectRecorderSamples(RecorderCollection& area, bool recordingOn, const RecorderFrame& frame);

} // namespace kx::acquisition
