// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::acquisition {

constexpr std::size_t kRecorderCapacity = 65536;

// A1 roll samples collected during assembly for the binary recorder; the synchronised update
// appends them to the recorder file and empties the area.
struct RecorderCollection {
    std::array<std::int16_t, kRecorderCapacity> values{};
    std::size_t count = 0;
    std::int64_t position = -1; // collection position in the raw A1 ring, -1 = none yet
    std::uint32_t dropped = 0;  // values that did not fit because nobody emptied the area

    std::span<const std::int16_t> collected() const { return {values.data(), count}; }
    void empty() { count = 0; }
};

// One collection step. `writeIndex` is the raw roll write index W, `ringLength` the raw ring
// length T (both before any halving). With high-resolution averaging each value takes two raw
// entries and the position advances by two; it stops where a step would reach past W.
void collectRecorderSamples(RecorderCollection& area, bool recordingOn, bool rollDataPresent,
                            std::span<const std::int32_t> rawA1, std::size_t writeIndex,
                            std::size_t ringLength, bool hiRes);

} // namespace kx::acquisition
