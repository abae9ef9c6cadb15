// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/EtsAnalysis.h"

#include <cmath>

namespace kx::acquisition::ets {
namespace {

constexpr int kLastRound = 8;
constexpr int kMaxMultiplier = 31;
constexpr int kNoR = 0xFFFF;

// Frequency of a tone seen at f cycles per sample when it lies in Nyquist zone z.
double inZone(int z, double f) {
    return (z % 2 == 0) ? z / 2 + f : (z + 1) / 2 - f;
}

} // namespace

void markUsable(SubRecords& s) {
    double sum = 0;
    for (const SubRecord& r : s) sum += r.levelDb;
    const double mean = std::trunc(sum / kSubRecords);
    for (SubRecord& r : s) {
        r.usable = r.peakValid && r.f >= 0.001 && r.f <= 0.499;
        if (mean - r.levelDb > 12) r.usable = false;
    }
}

ZoneResult searchZones(SubRecords& s) {
    for (int w = 0; w <= kLastRound; ++w) {
        std::array<double, 2 * kSubRecords> candidate{};
        for (int i = 0; i < 2 * kSubRecords; ++i) {
            const int l = i % kSubRecords;
            candidate[static_cast<std::size_t>(i)] =
                inZone(w + i / kSubRecords, s[static_cast<std::size_t>(l)].f) *
                kClockHz[static_cast<std::size_t>(l)];
        }
        double sum = 0;
        int matches = 0;
        bool marked = false;
        for (int i = 0; i < 2 * kSubRecords; ++i) {
            const auto& a = s[static_cast<std::size_t>(i % kSubRecords)];
            if (!a.usable) continue;
            for (int j = i + 1; j < 2 * kSubRecords; ++j) {
                const auto& b = s[static_cast<std::size_t>(j % kSubRecords)];
                if (!b.usable) continue;
                const double ci = candidate[static_cast<std::size_t>(i)];
                const double cj = candidate[static_cast<std::size_t>(j)];
                if (!(cj > 0)) continue;
                const double ratio = ci / cj;
                if (!(ratio > 0.9995 && ratio < 1.0005)) continue;
                sum += ci + cj;
                ++matches;
                s[static_cast<std::size_t>(i % kSubRecords)].zone = w + i / kSubRecords;
                s[static_cast<std::size_t>(j % kSubRecords)].zone = w + j / kSubRecords;
                if (i < kSubRecords) marked = true;
            }
        }
        if (matches >= 3 && marked) return {sum / (2.0 * matches), matches};
    }
    return {};
}

void unfold(SubRecords& s) {
    for (SubRecord& r : s) {
        if (r.usable && r.zone < 0) r.usable = false;
        if (r.zone < 0) continue;
        r.f = inZone(r.zone, r.f);
        if (r.zone % 2 != 0) r.phaseDeg = -r.phaseDeg;
    }
}

void checkSynchronism(SubRecords& s, bool digitalTrigger) {
    for (SubRecord& r : s) {
        r.k = r.r = 0;
        if (!r.usable || !(r.f > 0)) continue;
        for (int k = 1; k <= kMaxMultiplier; ++k) {
            // k * Fs / F_l with F_l = f * Fs.
            const double x = k / r.f;
            const double nearest = std::round(x);
            if (std::fabs(x - nearest) < 0.002 && nearest >= 1 && nearest < kNoR) {
                r.k = k;
                r.r = static_cast<int>(nearest);
                break;
            }
        }
    }
    // A dropped sub-record counts as having no R for the next drop; its words keep k and R.
    std::array<bool, kSubRecords> dropped{};
    auto hasR = [&](int l) {
        return s[static_cast<std::size_t>(l)].r != 0 && !dropped[static_cast<std::size_t>(l)];
    };
    auto rOf = [&](int l) { return hasR(l) ? s[static_cast<std::size_t>(l)].r : kNoR; };
    const int drops = digitalTrigger ? 2 : 1;
    for (int d = 0; d < drops; ++d) {
        int drop = -1;
        for (int l = 0; l < kSubRecords - 1 && drop < 0; ++l) {
            if (!hasR(l)) continue;
            bool smallest = true;
            for (int m = l + 1; m < kSubRecords; ++m) smallest = smallest && rOf(l) < rOf(m);
            if (smallest) drop = l;
        }
        if (drop < 0 && hasR(kSubRecords - 1)) drop = kSubRecords - 1;
        if (drop < 0) break;
        dropped[static_cast<std::size_t>(drop)] = true;
        s[static_cast<std::size_t>(drop)].usable = false;
    }
}

} // namespace kx::acquisition::ets
