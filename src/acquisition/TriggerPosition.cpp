// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/TriggerPosition.h"

#include "acquisition/InfoBlock.h"
#include "core/Rounding.h"
#include "core/SinxInterpolator.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kx::acquisition {

namespace fh = core::fh;

namespace {

// Halves away from zero; the clamp keeps a corrupt neighbourhood from overflowing the word.
std::int32_t roundClamped(double v) {
    return core::roundHalfAway<std::int32_t>(std::clamp(v, -1.0e6, 1.0e6));
}

} // namespace

std::int32_t analogTriggerShift(std::span<const std::int32_t> sourceMin, bool sourcePresent,
                                int captureLength, int preTrigger, std::int32_t before, std::int32_t after,
                                std::int32_t threshold, bool edgeDown) {
    std::int64_t m = before;
    std::int64_t n = after;
    int b = -1;
    if (sourcePresent) {
        b = 9;
        for (int s = 1; s <= 9; ++s) {
            if (s > 1) m = n;
            const auto v = core::sinxInterpolate(sourceMin, captureLength, preTrigger, s);
            if (!v) { // nothing to interpolate: fall back to the neighbourhood
                m = before;
                n = after;
                b = -1;
                break;
            }
            n = *v;
            if (edgeDown ? n < threshold : n > threshold) {
                b = s - 1;
                break;
            }
        }
    }
    const std::int64_t d = std::llabs(n - m);
    double fraction = 0.5;
    if (d != 0)
        fraction = static_cast<double>(edgeDown ? m - threshold : threshold - m) / static_cast<double>(d);
    if (b < 0) return roundClamped(100.0 * fraction);
    return roundClamped(10.0 * fraction) + 10 * b;
}

std::int32_t digitalTriggerShift(std::uint32_t neighbourhood, bool edgeDown) {
    std::uint32_t bits = neighbourhood & 0xFFFFu;
    if (edgeDown) bits = ~bits & 0xFFFFu;
    int k = 16;
    for (int i = 1; i <= 15; ++i) {
        if (((bits >> i) & 1u) && !((bits >> (i - 1)) & 1u)) {
            k = i;
            break;
        }
    }
    return roundClamped(100.0 * (k - 0.5) * 0.125);
}

void writeTriggerShifts(core::FrameRecord& frame, std::span<const std::uint8_t> info, int preTrigger) {
    auto& h = frame.header;
    const std::uint32_t source = h[fh::TriggerSource];
    std::int32_t shift = 0;
    if (h.get64(fh::SamplePeriodPs) == 5000 && source != 0) {
        const std::uint32_t trig = infoByte(info, info::TriggerFlags);
        const bool edgeDown = (trig & info::kTriggerEdgeDown) != 0;
        if (source <= 2) {
            const bool isA1 = source == 1;
            const std::size_t thrAt = isA1 ? (edgeDown ? info::A1Lower : info::A1Upper)
                                           : (edgeDown ? info::A2Lower : info::A2Upper);
            const std::int32_t threshold = static_cast<std::int32_t>(infoByte(info, thrAt)) * 256;
            const std::uint8_t mask = static_cast<std::uint8_t>(infoByte(info, info::ChannelMask));
            const bool present = (mask & (isA1 ? info::kMaskA1 : info::kMaskA2)) != 0;
            const auto& buffer = frame.channels.minOf(isA1 ? core::Channel::A1 : core::Channel::A2);
            shift = analogTriggerShift(
                buffer, present, static_cast<int>(h[fh::CaptureLength]), preTrigger,
                static_cast<std::int32_t>(infoByte(info, info::TriggerNeighbourhood)) * 256,
                static_cast<std::int32_t>(infoByte(info, info::TriggerNeighbourhood + 1)) * 256, threshold,
                edgeDown);
        } else {
            shift = digitalTriggerShift(infoWord16(info, info::TriggerNeighbourhood), edgeDown);
        }
    }
    const bool fast = (infoByte(info, info::ChannelMask) & info::kMaskFastDigital) != 0;
    const std::int32_t digitalShift = (fast && source != 0) ? shift * 8 : shift;
    h[fh::ShiftA1] = static_cast<std::uint32_t>(shift);
    h[fh::ShiftA1 + 1] = static_cast<std::uint32_t>(shift);
    for (int i = 2; i < 6; ++i) h[fh::ShiftA1 + i] = static_cast<std::uint32_t>(digitalShift);
}

} // namespace kx::acquisition
