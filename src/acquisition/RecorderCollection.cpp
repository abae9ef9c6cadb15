// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/RecorderCollection.h"

#include "core/FrameRecord.h"

#include <algorithm>
#include <cmath>

namespace kx::acquisition {

namespace {

// Sample code with bit 15 inverted; an empty entry counts as mid-range.
std::uint16_t centred(std::int32_t code) {
    if (code == core::kNoSample) return 0;
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(code) ^ 0x8000u);
}

// Whether the entries from `from` up to (not including) `to`, going round the ring, differ
// from the previous frame's; from == to means the whole ring.
bool oldEntriesChanged(const RecorderCollection& area, std::span<const std::int32_t> ring, std::size_t from,
                       std::size_t to) {
    const std::size_t length = ring.size();
    std::size_t k = from;
    do {
        if (ring[k] != area.previousRing[k]) return true;
        if (++k == length) k = 0;
    } while (k != to);
    return false;
}

// Ring entries the clock says were written between the two frames; -1 when it cannot tell.
double elapsedEntries(const RecorderCollection& area, const RecorderFrame& f) {
    if (f.entryPeriodPs == 0 || f.arrivalNs <= area.previousArrivalNs) return -1.0;
    return static_cast<double>(f.arrivalNs - area.previousArrivalNs) * 1000.0 /
           static_cast<double>(f.entryPeriodPs);
}

void append(RecorderCollection& area, std::uint16_t v) {
    if (area.count < kRecorderCapacity)
        area.values[area.count++] = static_cast<std::int16_t>(v);
    else
        ++area.lost;
}

// `entries` entries from position k on, one value per step.
void take(RecorderCollection& area, std::span<const std::int32_t> ring, std::size_t k, std::size_t entries,
          bool hiRes) {
    const std::size_t length = ring.size();
    const std::size_t step = hiRes ? 2 : 1;
    while (entries >= step) {
        std::uint16_t v = centred(ring[k]);
        if (hiRes) {
            const std::int32_t second = ring[(k + 1) % length];
            if (second != core::kNoSample) v = static_cast<std::uint16_t>(v + (second >> 8));
        }
        append(area, v);
        k += step;
        if (k >= length) k -= length;
        entries -= step;
    }
}

// Whole laps beyond `fresh` entries that `elapsed` entries make, to the nearest lap.
double lapsBeyond(double elapsed, std::size_t fresh, std::size_t length) {
    if (elapsed < 0.0) return 0.0;
    return std::floor((elapsed - static_cast<double>(fresh)) / static_cast<double>(length) + 0.5);
}

// The ring went round past K since the last frame: the clock says so, and the entries that
// should have stayed as they were have changed. Either alone is not enough: frames that waited
// in the link arrive late with nothing lost, and a slow ring may hold a steady signal.
bool lapped(const RecorderCollection& area, const RecorderFrame& f, double elapsed, std::size_t fresh) {
    if (lapsBeyond(elapsed, fresh, f.ring.size()) < 1.0) return false;
    return oldEntriesChanged(area, f.ring, f.writeIndex, static_cast<std::size_t>(area.position));
}

void remember(RecorderCollection& area, const RecorderFrame& f) {
    std::copy(f.ring.begin(), f.ring.end(), area.previousRing.begin());
    area.previousLength = f.ring.size();
    area.previousArrivalNs = f.arrivalNs;
    area.position = static_cast<std::int64_t>(f.writeIndex);
}

} // namespace

void collectRecorderSamples(RecorderCollection& area, bool recordingOn, const RecorderFrame& f) {
    if (!recordingOn) {
        area.empty();
        area.position = -1;
        area.previousLength = 0;
        return;
    }
    const std::size_t length = f.ring.size();
    const std::size_t w = f.writeIndex;
    if (!f.rollData || length == 0 || length > area.previousRing.size() || w >= length) return;
    const bool continuing = area.position >= 0 && static_cast<std::size_t>(area.position) < length &&
                            area.previousLength == length;
    if (!continuing) {
        remember(area, f);
        return;
    }

    const auto k = static_cast<std::size_t>(area.position);
    const std::size_t fresh = (w + length - k) % length;
    const std::size_t valuesPerEntry = f.hiRes ? 2 : 1;
    const double elapsed = elapsedEntries(area, f);
    // Laps the ring went round beyond `fresh`; by the clock, to the nearest whole lap.
    if (!f.wrapped && w < k) {
        // The instrument started its ring again (new settings): only [0, W) holds samples, and
        // what it took between the last frame and the restart never arrived.
        take(area, f.ring, 0, w, f.hiRes);
        if (elapsed > static_cast<double>(w))
            area.lost += static_cast<std::uint64_t>(elapsed - static_cast<double>(w)) / valuesPerEntry;
    } else if (f.wrapped && lapped(area, f, elapsed, fresh)) {
        // The entries after K were overwritten before this frame brought them: keep what the ring
        // still holds and count the rest.
        take(area, f.ring, w, length, f.hiRes);
        const double laps = lapsBeyond(elapsed, fresh, length);
        const double overwritten = static_cast<double>(fresh) + (laps - 1.0) * static_cast<double>(length);
        area.lost += static_cast<std::uint64_t>(overwritten) / valuesPerEntry;
    } else {
        take(area, f.ring, k, fresh, f.hiRes);
    }
    remember(area, f);
}

} // namespace kx::acquisition
