// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/RecorderCollection.h"

#include "core/FrameRecord.h"

namespace kx::acquisition {

namespace {

// Sample code with bit 15 inverted; an empty entry counts as mid-range.
std::uint16_t centred(std::int32_t code) {
    if (code == core::kNoSample) return 0;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(code) ^ 0x8000u);
}

} // namespace

void collectRecorderSamples(RecorderCollection& area, bool recordingOn, bool rollDataPresent,
                            std::span<const std::int32_t> rawA1, std::size_t writeIndex,
                            std::size_t ringLength, bool hiRes) {
    if (!recordingOn) {
        area.empty();
        area.position = -1;
        return;
    }
    if (!rollDataPresent || ringLength == 0 || ringLength > rawA1.size() || writeIndex >= ringLength) return;
    if (area.position >= 0 && static_cast<std::size_t>(area.position) < ringLength) {
        std::size_t k = static_cast<std::size_t>(area.position);
        const std::size_t step = hiRes ? 2 : 1;
        std::size_t remaining = (writeIndex + ringLength - k) % ringLength;
        while (remaining >= step) {
            std::uint16_t v = centred(rawA1[k]);
            if (hiRes) {
                const std::int32_t second = rawA1[(k + 1) % ringLength];
                if (second != core::kNoSample) v = static_cast<std::uint16_t>(v + (second >> 8));
            }
            if (area.count < kRecorderCapacity)
                area.values[area.count++] = static_cast<std::int16_t>(v);
            else
                ++area.dropped;
            k += step;
            if (k >= ringLength) k -= ringLength;
            remaining -= step;
        }
    }
    area.position = static_cast<std::int64_t>(writeIndex);
}

} // namespace kx::acquisition
