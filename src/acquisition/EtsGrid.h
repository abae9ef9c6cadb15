// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/FrameRecord.h"

#include <array>
#include <cstdint>
#include <span>

// One period of the signal on a grid of 100 ps, built from the folded sub-records.
namespace kx::acquisition::ets {

constexpr int kMaxGrid = static_cast<int>(core::kMaxFramePoints / 2);

struct GridStats {
    int emptyPoints = 0;
    int minCount = 0;
    int maxCount = 0;
};

struct Crossing {
    bool found = false;
    int index = 0;       // the first point beyond the threshold
    double fraction = 0; // where between the point before it and it the threshold lies
};

// Thresholds of the trigger crossing on the grid (the channel's own code scale).
struct CrossingSearch {
    double lower = 0;
    double upper = 0;
    bool falling = false;
};

// Large (a megabyte and a half): create once.
class Grid {
public:
    // Empties the grid of `points` points (1..kMaxGrid) for the channels of `channelMask`
    // (bit c = channel c).
    void start(int points, unsigned channelMask);
    int points() const { return m_points; }

    // Sample k of a sub-record goes to point round(((k - centre) * f + phase / 360) * P) mod P.
    // samples[c] holds the sub-record of channel c (empty for channels not folded); an empty
    // entry (INT_MAX) counts as the middle of the range, or as low for a logic input.
    void fold(const std::array<std::span<const std::int32_t>, core::kChannelCount>& samples, int centre,
              double f, double phaseDeg);

    // Mean of each point (integer division), empty points interpolated linearly (going round
    // the end), then every channel smoothed over w points. Returns the counts' statistics.
    GridStats finish(int smoothing);

    std::int32_t value(int channel, int point) const {
        return m_value[static_cast<std::size_t>(channel)][static_cast<std::size_t>(point)];
    }

    // The first crossing of the thresholds on one channel's grid, with hysteresis.
    Crossing findCrossing(int channel, const CrossingSearch& s) const;

    // Output sample l of channel c at grid position x (points, any real): linear between the
    // two neighbouring points, truncated.
    std::int32_t sampleAt(int channel, double x) const;

private:
    void fill(int channel);
    void smooth(int channel, int w);

    int m_points = 0;
    unsigned m_mask = 0;
    std::array<std::array<std::int64_t, kMaxGrid>, core::kChannelCount> m_sum{};
    std::array<std::int32_t, kMaxGrid> m_count{};
    std::array<std::array<std::int32_t, kMaxGrid>, core::kChannelCount> m_value{};
    std::array<std::int64_t, 2 * kMaxGrid + 1> m_prefix{};
};

} // namespace kx::acquisition::ets
