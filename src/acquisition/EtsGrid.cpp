// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/EtsGrid.h"

#include "core/Rounding.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kx::acquisition::ets {
namespace {

constexpr std::int32_t kMidCode = 0x8000;

int wrap(std::int64_t i, int p) {
    const std::int64_t m = i % p;
    return static_cast<int>(m < 0 ? m + p : m);
}

} // namespace

void Grid::start(int points, unsigned channelMask) {
    m_points = std::clamp(points, 1, kMaxGrid);
    m_mask = channelMask;
    const auto n = static_cast<std::size_t>(m_points);
    std::fill_n(m_count.begin(), n, 0);
    for (int c = 0; c < core::kChannelCount; ++c)
        if (m_mask & (1u << c)) std::fill_n(m_sum[static_cast<std::size_t>(c)].begin(), n, 0);
}

void Grid::fold(const std::array<std::span<const std::int32_t>, core::kChannelCount>& samples, int centre,
                double f, double phaseDeg) {
    const int p = m_points;
    std::size_t length = SIZE_MAX;
    for (int c = 0; c < core::kChannelCount; ++c)
        if (m_mask & (1u << c)) length = std::min(length, samples[static_cast<std::size_t>(c)].size());
    if (length == SIZE_MAX) return;
    const double offset = phaseDeg / 360;
    for (std::size_t k = 0; k < length; ++k) {
        // Reduced into one period first (a double division is far cheaper than a 64-bit
        // remainder), then rounded half away from zero as the whole position would be.
        const double x = ((static_cast<double>(k) - centre) * f + offset) * p;
        const double reduced = x - std::floor(x / p) * p; // 0 <= reduced < p
        int g = static_cast<int>(x >= 0 ? reduced + 0.5 : std::ceil(reduced - 0.5));
        if (g >= p) g -= p;
        if (g < 0) g += p;
        ++m_count[static_cast<std::size_t>(g)];
        for (int c = 0; c < core::kChannelCount; ++c) {
            if (!(m_mask & (1u << c))) continue;
            std::int32_t v = samples[static_cast<std::size_t>(c)][k];
            if (v == core::kNoSample) v = c < 2 ? kMidCode : 0;
            m_sum[static_cast<std::size_t>(c)][static_cast<std::size_t>(g)] += v;
        }
    }
}

GridStats Grid::finish(int smoothing) {
    GridStats s;
    s.minCount = INT_MAX;
    for (int j = 0; j < m_points; ++j) {
        const int n = m_count[static_cast<std::size_t>(j)];
        if (n == 0) ++s.emptyPoints;
        s.minCount = std::min(s.minCount, n);
        s.maxCount = std::max(s.maxCount, n);
    }
    if (s.minCount == INT_MAX) s.minCount = 0;
    for (int c = 0; c < core::kChannelCount; ++c) {
        if (!(m_mask & (1u << c))) continue;
        auto& sum = m_sum[static_cast<std::size_t>(c)];
        auto& value = m_value[static_cast<std::size_t>(c)];
        for (int j = 0; j < m_points; ++j) {
            const int n = m_count[static_cast<std::size_t>(j)];
            value[static_cast<std::size_t>(j)] =
                n > 0 ? static_cast<std::int32_t>(sum[static_cast<std::size_t>(j)] / n) : 0;
        }
        fill(c);
        smooth(c, std::max(smoothing, 1));
    }
    return s;
}

void Grid::fill(int channel) {
    auto& v = m_value[static_cast<std::size_t>(channel)];
    const int p = m_points;
    int first = -1;
    for (int j = 0; j < p && first < 0; ++j)
        if (m_count[static_cast<std::size_t>(j)] > 0) first = j;
    if (first < 0) return;
    // From each filled point to the next one round the grid.
    int from = first;
    do {
        int to = wrap(from + 1, p);
        int gap = 1;
        while (m_count[static_cast<std::size_t>(to)] == 0) {
            to = wrap(to + 1, p);
            ++gap;
        }
        if (gap > 1) {
            const std::int64_t a = v[static_cast<std::size_t>(from)];
            const std::int64_t slope = (v[static_cast<std::size_t>(to)] - a) / gap;
            for (int i = 1; i < gap; ++i)
                v[static_cast<std::size_t>(wrap(from + i, p))] = static_cast<std::int32_t>(a + i * slope);
        }
        from = to;
    } while (from != first);
}

void Grid::smooth(int channel, int w) {
    auto& v = m_value[static_cast<std::size_t>(channel)];
    const int p = m_points;
    // New point j = (old j+1 + ... + old j+w) / w, indices round the grid; a window longer
    // than the grid would only count points twice.
    w = std::clamp(w, 1, p);
    m_prefix[0] = 0;
    for (int i = 0; i < 2 * p; ++i)
        m_prefix[static_cast<std::size_t>(i + 1)] =
            m_prefix[static_cast<std::size_t>(i)] + v[static_cast<std::size_t>(i < p ? i : i - p)];
    for (int j = 0; j < p; ++j) {
        const std::int64_t sum =
            m_prefix[static_cast<std::size_t>(j + w + 1)] - m_prefix[static_cast<std::size_t>(j + 1)];
        v[static_cast<std::size_t>(j)] = static_cast<std::int32_t>(sum / w);
    }
}

Crossing Grid::findCrossing(int channel, const CrossingSearch& s) const {
    Crossing out;
    if (!(m_mask & (1u << channel)) || m_points < 2) return out;
    const auto& v = m_value[static_cast<std::size_t>(channel)];
    const int p = m_points;
    bool armed = false;
    // Twice round: the point that arms may lie after the crossing in index order.
    for (int i = 0; i < 2 * p; ++i) {
        const double x = v[static_cast<std::size_t>(i % p)];
        if (armed && i > 0 && (s.falling ? x <= s.lower : x >= s.upper)) {
            const double before = v[static_cast<std::size_t>((i - 1) % p)];
            const double threshold = s.falling ? s.lower : s.upper;
            out.found = true;
            out.index = i % p;
            out.fraction = x != before ? std::clamp((threshold - before) / (x - before), 0.0, 1.0) : 0.0;
            return out;
        }
        if (s.falling ? x > s.upper : x < s.lower) armed = true;
    }
    return out;
}

std::int32_t Grid::sampleAt(int channel, double x) const {
    const auto& v = m_value[static_cast<std::size_t>(channel)];
    const double fl = std::floor(x);
    // Reduced in doubles: cheaper than a 64-bit remainder, and exact for whole numbers.
    int a = static_cast<int>(fl - std::floor(fl / m_points) * m_points);
    if (a >= m_points) a -= m_points;
    const int b = a + 1 == m_points ? 0 : a + 1;
    const double r = x - fl;
    return static_cast<std::int32_t>(
        std::trunc(v[static_cast<std::size_t>(a)] * (1 - r) + v[static_cast<std::size_t>(b)] * r));
}

} // namespace kx::acquisition::ets
