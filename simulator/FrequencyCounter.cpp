// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrequencyCounter.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kx::sim {

namespace {

constexpr std::uint32_t kFull = 0xFFFFFFFFu;
constexpr std::uint8_t kTimeInvalid = 0x20;
constexpr std::uint8_t kCountInvalid = 0x40;
constexpr Picoseconds kGatePs = 100'000'000'000; // 100 ms
// Slower inputs are scanned like inputs that do not repeat (and mostly read as not valid).
constexpr double kLongestPeriodPs = 1e14;
constexpr std::size_t kMaxPatternEvents = 1 << 14;
// Effort limits: an input too busy to follow (the generator's noise) reads as not valid.
constexpr long kPatternBudget = 1 << 21;
constexpr long kScanBudget = 1 << 20;

using Events = std::vector<Picoseconds>;

std::optional<double> lastAtOrBefore(const Events& events, double period, double t) {
    std::optional<double> best;
    for (const Picoseconds b : events) {
        const double e = static_cast<double>(b) + std::floor((t - static_cast<double>(b)) / period) * period;
        if (!best || e > *best) best = e;
    }
    return best;
}

std::optional<double> firstAtOrAfter(const Events& events, double period, double t) {
    std::optional<double> best;
    for (const Picoseconds b : events) {
        const double e = static_cast<double>(b) + std::ceil((t - static_cast<double>(b)) / period) * period;
        if (!best || e < *best) best = e;
    }
    return best;
}

// Events in [x, y].
double countBetween(const Events& events, double period, double x, double y) {
    if (y < x) return 0.0;
    double n = 0.0;
    for (const Picoseconds b : events) {
        const double k = std::floor((y - static_cast<double>(b)) / period) -
                         std::ceil((x - static_cast<double>(b)) / period) + 1.0;
        if (k > 0.0) n += k;
    }
    return n;
}

} // namespace

FrequencyCounter::FrequencyCounter() {
    m_pattern.events.reserve(kMaxPatternEvents);
    m_next.events.reserve(kMaxPatternEvents);
}

void FrequencyCounter::reset() {
    m_configured = false;
    m_setting = 0;
    m_source = CounterSource{};
    m_dirty = false;
    m_fresh = true;
    m_pattern.periodic = false;
    m_pattern.events.clear();
    m_carried = 0.0;
    m_carriedLast = LastTwo{};
    m_scanCount = 0.0;
    m_scanLast = LastTwo{};
    m_lost = false;
}

void FrequencyCounter::configure(std::uint8_t reg, const CounterSource& source, double ppm,
                                 std::int64_t nowNs) {
    const auto setting = static_cast<std::uint8_t>(reg & 0x1F);
    const Picoseconds now = nowNs * kPsPerNs;
    m_source = source;
    m_ppm = ppm;
    if (!m_configured || setting != m_setting || (reg & 0x80) != 0) {
        m_configured = true;
        m_setting = setting;
        m_segmentStart = now;
        m_carried = 0.0;
        m_carriedLast = LastTwo{};
        m_fresh = true;
    }
    // The input is looked at again at the next reading; until then nothing is known to have changed.
    m_dirty = true;
    m_pendingPs = now;
}

Picoseconds FrequencyCounter::warmUp() const {
    // A condition needs to have seen what opens the interval it measures (or the line it counts).
    return m_source.condition.lookbackPs();
}

bool FrequencyCounter::buildPattern(Pattern& p) const {
    p.events.clear();
    p.periodic = false;
    p.period = 0.0;
    const Signal* signal = m_source.input.signal();
    if (signal == nullptr) return false;
    const double period = signal->periodPs();
    if (!(period > 0.0) || period > kLongestPeriodPs) return false;
    // Two periods settle the comparator and the condition before the one that is kept.
    const auto span = static_cast<Picoseconds>(std::ceil(period));
    const Picoseconds origin = ceilClock(2 * span + warmUp());
    EdgeScanner scan;
    scan.start(m_source.input, origin - 2 * span - warmUp());
    ConditionTracker tracker;
    tracker.begin(m_source.condition, m_source.input.falling);
    long budget = kPatternBudget;
    Edge e;
    for (;;) {
        const EdgeScanner::Step step = scan.next(origin + span, e, budget);
        if (step == EdgeScanner::Step::Budget) {
            p.events.clear();
            return false;
        }
        if (step == EdgeScanner::Step::Limit) break;
        if (!tracker.feed(e) || e.t < origin || static_cast<double>(e.t - origin) >= period) continue;
        if (p.events.size() == kMaxPatternEvents) {
            p.events.clear();
            return false;
        }
        p.events.push_back(e.t);
    }
    p.periodic = true;
    p.period = period;
    return true;
}

void FrequencyCounter::restartScan(Picoseconds from) {
    m_scan.start(m_source.input, std::max<Picoseconds>(0, from - warmUp()));
    m_scanTracker.begin(m_source.condition, m_source.input.falling);
    m_scanCount = 0.0;
    m_scanLast = LastTwo{};
    m_lost = false;
}

void FrequencyCounter::advance(Picoseconds to) {
    if (m_lost) return;
    long budget = kScanBudget;
    Edge e;
    for (;;) {
        const EdgeScanner::Step step = m_scan.next(to + 1, e, budget);
        if (step == EdgeScanner::Step::Budget) {
            m_lost = true;
            return;
        }
        if (step == EdgeScanner::Step::Limit) return;
        if (m_scanTracker.feed(e) && e.t >= m_segmentStart) {
            m_scanCount += 1.0;
            m_scanLast.prev = m_scanLast.last;
            m_scanLast.last = static_cast<double>(e.t);
        }
    }
}

void FrequencyCounter::refresh() {
    if (!m_dirty) return;
    m_dirty = false;
    buildPattern(m_next);
    if (!m_fresh) {
        const bool same = m_next.periodic && m_pattern.periodic && m_next.period == m_pattern.period &&
                          m_next.events == m_pattern.events;
        if (same) return;
        // The input behaves differently from the last settings on: what was counted so far stays.
        if (!m_pattern.periodic) advance(m_pendingPs);
        fold(m_pendingPs);
    }
    m_fresh = false;
    std::swap(m_pattern, m_next);
    restartScan(m_segmentStart);
}

double FrequencyCounter::segmentCount(Picoseconds t) const {
    if (!m_pattern.periodic) return m_scanCount;
    return countBetween(m_pattern.events, m_pattern.period, static_cast<double>(m_segmentStart),
                        static_cast<double>(t));
}

FrequencyCounter::LastTwo FrequencyCounter::segmentLastTwo(Picoseconds t) const {
    if (!m_pattern.periodic) return m_scanLast;
    LastTwo r;
    const double start = static_cast<double>(m_segmentStart);
    const auto last = lastAtOrBefore(m_pattern.events, m_pattern.period, static_cast<double>(t));
    if (!last || *last < start) return r;
    r.last = last;
    const auto prev = lastAtOrBefore(m_pattern.events, m_pattern.period, *last - 1.0);
    if (prev && *prev >= start) r.prev = prev;
    return r;
}

FrequencyCounter::LastTwo FrequencyCounter::lastTwo(Picoseconds t) const {
    LastTwo seg = segmentLastTwo(t);
    if (!seg.last) return m_carriedLast;
    if (!seg.prev) seg.prev = m_carriedLast.last;
    return seg;
}

void FrequencyCounter::fold(Picoseconds at) {
    m_carried += segmentCount(at);
    m_carriedLast = lastTwo(at);
    m_segmentStart = at;
}

bool FrequencyCounter::gate(Picoseconds now, double& edges, double& spanPs) const {
    const LastTwo recent = lastTwo(now);
    if (!recent.last) return false;
    const double last = *recent.last;
    const double start = static_cast<double>(m_segmentStart);
    double n = 0.0;
    double first = last;
    if (last >= start) {
        const double from = std::max(start, last - static_cast<double>(kGatePs));
        if (m_pattern.periodic) {
            const auto f = firstAtOrAfter(m_pattern.events, m_pattern.period, from);
            if (f && *f <= last) {
                first = *f;
                n = countBetween(m_pattern.events, m_pattern.period, first, last);
            }
        } else {
            EdgeScanner scan;
            const auto fromPs = static_cast<Picoseconds>(std::ceil(from));
            scan.start(m_source.input, std::max<Picoseconds>(0, fromPs - warmUp()));
            ConditionTracker tracker;
            tracker.begin(m_source.condition, m_source.input.falling);
            long budget = kScanBudget;
            Edge e;
            for (;;) {
                const EdgeScanner::Step step = scan.next(static_cast<Picoseconds>(last) + 1, e, budget);
                if (step == EdgeScanner::Step::Budget) return false;
                if (step == EdgeScanner::Step::Limit) break;
                if (!tracker.feed(e) || e.t < fromPs) continue;
                if (n == 0.0) first = static_cast<double>(e.t);
                n += 1.0;
            }
        }
    }
    if (n >= 2.0) {
        edges = n;
        spanPs = last - first;
    } else if (recent.prev) {
        // Fewer than two edges in a gate: a slow input is timed over its last period.
        edges = 2.0;
        spanPs = last - *recent.prev;
    } else {
        return false;
    }
    // An input that has stopped gives no reading once its next edge is overdue.
    const double interval = spanPs / (edges - 1.0);
    return static_cast<double>(now) - last <= interval + static_cast<double>(kGatePs);
}

std::uint64_t FrequencyCounter::ticks(double spanPs) const {
    const double t = spanPs * 1e-12 * 200e6 * (1.0 + m_ppm * 1e-6);
    if (!(t > 0.0)) return 0;
    if (t >= static_cast<double>(kFull)) return kFull;
    return static_cast<std::uint64_t>(std::llround(t));
}

CounterReading FrequencyCounter::read(std::int64_t nowNs) {
    CounterReading r;
    r.state = m_setting;
    const unsigned code = m_setting & 0x0F;
    if (!m_configured || code == 0 || code > 12 || !m_source.present || m_source.input.signal() == nullptr) {
        r.state |= kTimeInvalid | kCountInvalid;
        return r;
    }
    refresh();
    const Picoseconds now = nowNs * kPsPerNs;
    if (!m_pattern.periodic) advance(now);
    if (m_lost) {
        r.state |= kTimeInvalid | kCountInvalid;
        return r;
    }
    if ((m_setting & 0x10) != 0) {
        const double total = m_carried + segmentCount(now);
        r.edges = total >= static_cast<double>(kFull) ? kFull : static_cast<std::uint32_t>(total);
        const LastTwo recent = lastTwo(now);
        if (recent.last && ticks(static_cast<double>(now) - *recent.last) >= kFull) {
            r.ticks = kFull; // the period in progress already overflowed
        } else if (recent.last && recent.prev) {
            r.ticks = static_cast<std::uint32_t>(
                std::min<std::uint64_t>(ticks(*recent.last - *recent.prev), kFull));
        } else {
            r.state |= kTimeInvalid;
        }
        return r;
    }
    double edges = 0.0;
    double span = 0.0;
    const std::uint64_t t = gate(now, edges, span) ? ticks(span) : 0;
    if (t == 0 || t >= kFull) {
        r.state |= kTimeInvalid | kCountInvalid;
        return r;
    }
    r.edges = static_cast<std::uint32_t>(edges);
    r.ticks = static_cast<std::uint32_t>(t);
    return r;
}

} // namespace kx::sim
