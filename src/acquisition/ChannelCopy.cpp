// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/ChannelCopy.h"

#include <algorithm>
#include <limits>

namespace kx::acquisition {

using core::kNoSample;
namespace fh = core::fh;

namespace {

// 16 significant bits from an averaged pair: the coarse code and the fraction byte.
std::int32_t combine(std::int32_t first, std::int32_t second) {
    if (first == kNoSample || second == kNoSample) return kNoSample;
    return first + (second >> 8);
}

} // namespace

void copyChannel(std::span<const std::int32_t> raw, std::span<std::int32_t> min, std::span<std::int32_t> max,
                 const CopyPlan& plan) {
    const std::size_t length = std::min({plan.length, min.size(), max.size()});
    const bool pairs = plan.peakDetect || plan.hiRes;
    const std::size_t stride = pairs ? 2 : 1;
    // Positions whose source pair would lie outside the raw data are left empty.
    const std::size_t sourceLimit = pairs ? raw.size() / 2 : raw.size();
    const bool rotate = plan.period != 0;
    std::size_t valid = std::min(plan.valid, length);
    if (!rotate) valid = std::min(valid, sourceLimit);
    if (rotate && plan.period > sourceLimit) valid = 0;

    const std::int32_t* r = raw.data();
    std::int32_t* lo = min.data();
    std::int32_t* hi = max.data();
    std::size_t s = rotate ? plan.rotation % plan.period : 0;
    if (!rotate && !pairs) {
        std::copy_n(r, valid, lo);
        std::copy_n(r, valid, hi);
    } else {
        for (std::size_t a = 0; a < valid; ++a) {
            const std::size_t at = s * stride;
            if (plan.hiRes) {
                if (plan.analog) {
                    const std::int32_t v = combine(r[at], r[at + 1]);
                    lo[a] = v;
                    hi[a] = v;
                } else {
                    lo[a] = r[at];
                    hi[a] = r[at + 1];
                }
            } else if (plan.peakDetect) {
                lo[a] = r[at];
                hi[a] = r[at + 1];
            } else {
                lo[a] = r[at];
                hi[a] = r[at];
            }
            if (++s == plan.period) s = 0;
        }
    }
    std::fill(lo + valid, lo + length, kNoSample);
    std::fill(hi + valid, hi + length, kNoSample);
}

void writeStatistics(core::FrameRecord& frame, bool hasA1, bool hasA2) {
    auto& h = frame.header;
    const std::size_t count = std::min<std::size_t>(h[fh::AnalogCount], core::kMaxFramePoints);
    if (count == 0) return;
    const bool analyzer = h[fh::AnalyzerMode] != 0;
    for (int c = 0; c < 2; ++c) {
        const auto ch = c == 0 ? core::Channel::A1 : core::Channel::A2;
        const std::int32_t* lo = frame.channels.minOf(ch).data();
        const std::int32_t* hi = frame.channels.maxOf(ch).data();
        std::int64_t sum = 0;
        std::int64_t sumSq = 0;
        std::int32_t smallest = std::numeric_limits<std::int32_t>::max();
        std::int32_t largest = std::numeric_limits<std::int32_t>::min();
        if (c == 0 ? hasA1 : hasA2) {
            // Branch-free so the loop vectorises; empty entries contribute nothing.
            for (std::size_t i = 0; i < count; ++i) {
                const std::int32_t a = lo[i];
                const std::int32_t b = hi[i];
                const bool valid = (a != kNoSample) & (b != kNoSample);
                const std::int64_t a64 = valid ? a : 0;
                const std::int64_t b64 = valid ? b : 0;
                sum += a64 + b64;
                sumSq += a64 * a64 + b64 * b64;
                smallest = std::min(smallest, valid ? a : std::numeric_limits<std::int32_t>::max());
                largest = std::max(largest, valid ? b : std::numeric_limits<std::int32_t>::min());
            }
        }
        h.setReal(c == 0 ? fh::SumA1 : fh::SumA2, static_cast<double>(sum) / 2.0);
        h.setReal(c == 0 ? fh::SumSqA1 : fh::SumSqA2, static_cast<double>(sumSq) / 2.0);
        const bool overdriven = h[c == 0 ? fh::OverdriveA1 : fh::OverdriveA2] != 0;
        std::int32_t p2p = largest >= smallest ? largest - smallest : 0;
        if (overdriven || analyzer) p2p = -1;
        h[c == 0 ? fh::PeakToPeakA1 : fh::PeakToPeakA2] = static_cast<std::uint32_t>(p2p);
    }
}

} // namespace kx::acquisition
