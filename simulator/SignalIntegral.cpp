// SPDX-License-Identifier: GPL-3.0-or-later
#include "SignalIntegral.h"

#include <algorithm>
#include <cmath>

namespace kx::sim {

namespace {

constexpr Picoseconds kSampleClockPs = 5000;
// One period is tabled when it takes no more pieces than this; longer ones are integrated on demand.
constexpr std::size_t kMaxPieces = std::size_t{1} << 18;
// Pieces per forward integration before the steps get coarser (a slow, busy input).
constexpr double kMaxSteps = 1 << 20;
constexpr Picoseconds kCheckpointPs = 1'000'000'000; // 1 ms
constexpr std::size_t kMaxCheckpoints = 4096;
constexpr int kWalkLevels = 52;

std::uint64_t mix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Close to a standard normal and cheap: four uniforms summed (Irwin-Hall), scaled to unit variance.
double unitNormal(std::uint64_t h) {
    double sum = 0.0;
    for (int i = 0; i < 4; ++i) sum += static_cast<double>((h >> (16 * i)) & 0xFFFF) / 65536.0;
    return (sum - 2.0) * 1.7320508075688772;
}

} // namespace

double hashedNormal(std::uint64_t seed, std::int64_t n, double sigma) {
    return sigma * unitNormal(mix64(seed ^ mix64(static_cast<std::uint64_t>(n))));
}

double randomWalk(std::uint64_t seed, std::int64_t n, double sigma) {
    // The walk spans [0, 2^L); index 0 of the caller sits in the middle so earlier steps exist too.
    const std::uint64_t span = std::uint64_t{1} << kWalkLevels;
    const std::uint64_t at = std::clamp<std::uint64_t>(static_cast<std::uint64_t>(n) + span / 2, 0, span);
    std::uint64_t lo = 0;
    std::uint64_t hi = span;
    double wLo = 0.0;
    double wHi = sigma * std::sqrt(static_cast<double>(span)) * unitNormal(mix64(seed ^ 0x5EEDull));
    for (int level = kWalkLevels; level > 0 && at != lo && at != hi; --level) {
        const std::uint64_t half = (hi - lo) / 2;
        const std::uint64_t mid = lo + half;
        // A Brownian bridge: the midpoint's spread given both ends.
        const double spread = sigma * std::sqrt(static_cast<double>(hi - lo)) * 0.5;
        const double wMid = 0.5 * (wLo + wHi) + spread * unitNormal(mix64(seed ^ mix64(mid * 64 + level)));
        if (at < mid) {
            hi = mid;
            wHi = wMid;
        } else {
            lo = mid;
            wLo = wMid;
        }
    }
    return at == hi ? wHi : wLo;
}

void SignalIntegral::reset(const Signal* hints, Value value, Picoseconds origin) {
    m_hints = hints;
    m_value = std::move(value);
    m_origin = origin;
    m_built = false;
    m_periodic = false;
    m_pieces.clear();
    m_at = origin;
    m_sum = 0.0;
    m_checkpoints.clear();
}

double SignalIntegral::integrate(Picoseconds from, Picoseconds to) const {
    if (to <= from) return 0.0;
    const double span = static_cast<double>(to - from);
    const Picoseconds step =
        std::max<Picoseconds>(kSampleClockPs, static_cast<Picoseconds>(span / kMaxSteps));
    double sum = 0.0;
    for (Picoseconds t = from; t < to;) {
        const Picoseconds quiet = m_hints != nullptr ? m_hints->stableUntil(t) : t;
        const Picoseconds next = std::min(to, quiet > t + step ? quiet : t + step);
        sum += m_value(t) * static_cast<double>(next - t);
        t = next;
    }
    return sum * 1e-12;
}

void SignalIntegral::buildPeriod() const {
    m_built = true;
    m_periodic = false;
    m_pieces.clear();
    const double period = m_hints != nullptr ? m_hints->periodPs() : 0.0;
    if (!(period > 0.0) || period / kSampleClockPs > static_cast<double>(kMaxPieces)) return;
    const auto end = m_origin + static_cast<Picoseconds>(std::ceil(period));
    double before = 0.0;
    for (Picoseconds t = m_origin; t < end;) {
        if (m_pieces.size() >= kMaxPieces) {
            m_pieces.clear();
            return;
        }
        const Picoseconds quiet = m_hints->stableUntil(t);
        const Picoseconds next = std::min(end, quiet > t + kSampleClockPs ? quiet : t + kSampleClockPs);
        const double v = m_value(t);
        m_pieces.push_back({static_cast<double>(t - m_origin), before, v});
        before += v * static_cast<double>(next - t) * 1e-12;
        t = next;
    }
    m_period = period;
    m_perPeriod = before;
    m_periodic = true;
}

double SignalIntegral::at(Picoseconds t) const {
    if (!m_value) return 0.0;
    if (!m_built) buildPeriod();
    if (m_periodic) {
        const double d = static_cast<double>(t - m_origin);
        const double rounds = std::floor(d / m_period);
        const double r = d - rounds * m_period;
        const auto it = std::upper_bound(m_pieces.begin(), m_pieces.end(), r,
                                         [](double v, const Piece& p) { return v < p.start; });
        const Piece& p = it == m_pieces.begin() ? m_pieces.front() : *(it - 1);
        return rounds * m_perPeriod + p.before + p.value * (r - p.start) * 1e-12;
    }
    if (t <= m_origin) return m_value(t) * static_cast<double>(t - m_origin) * 1e-12;
    if (t < m_at) {
        // Back to the latest point before t.
        m_at = m_origin;
        m_sum = 0.0;
        while (!m_checkpoints.empty() && m_checkpoints.back().first > t) m_checkpoints.pop_back();
        if (!m_checkpoints.empty()) {
            m_at = m_checkpoints.back().first;
            m_sum = m_checkpoints.back().second;
        }
    }
    while (m_at < t) {
        const Picoseconds last = m_checkpoints.empty() ? m_origin : m_checkpoints.back().first;
        const Picoseconds to = std::min(t, std::max(m_at, last) + kCheckpointPs);
        m_sum += integrate(m_at, to);
        m_at = to;
        if (m_at - last >= kCheckpointPs) {
            m_checkpoints.emplace_back(m_at, m_sum);
            if (m_checkpoints.size() > kMaxCheckpoints) m_checkpoints.pop_front();
        }
    }
    return m_sum;
}

} // namespace kx::sim
