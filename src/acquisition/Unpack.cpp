// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/Unpack.h"

#include "acquisition/InfoBlock.h"

#include <algorithm>

namespace kx::acquisition {

using core::Channel;
using core::kNoSample;

namespace {

constexpr std::int32_t kDigitalHigh = 256;

std::size_t idx(Channel c) {
    return static_cast<std::size_t>(c);
}

} // namespace

UnpackResult unpackBlocks(std::span<const std::uint8_t> blockA, std::span<const std::uint8_t> blockB,
                          std::uint8_t channelMask, std::size_t captureLength, RawSamples& raw) {
    UnpackResult result;
    const bool hasA1 = (channelMask & info::kMaskA1) != 0;
    const bool hasA2 = (channelMask & info::kMaskA2) != 0;
    const bool pair12 = (channelMask & info::kMaskD12) != 0;
    const bool pair34 = (channelMask & info::kMaskD34) != 0;
    const bool fast = (channelMask & info::kMaskFastDigital) != 0;
    const bool ets = (channelMask & info::kMaskEts) != 0;
    const std::size_t times = std::min(ets ? 4 * captureLength : captureLength, kRawCapacity);
    result.sampleTimes = times;

    std::int32_t* a1 = raw.of(Channel::A1).data();
    std::int32_t* a2 = raw.of(Channel::A2).data();
    std::int32_t* dig[4] = {raw.of(Channel::D1).data(), raw.of(Channel::D2).data(),
                            raw.of(Channel::D3).data(), raw.of(Channel::D4).data()};

    const std::size_t digitalLength = fast ? std::min(8 * captureLength, kRawCapacity) : times;
    raw.filled[idx(Channel::A1)] = times;
    raw.filled[idx(Channel::A2)] = times;
    for (int d = 0; d < 4; ++d) raw.filled[idx(Channel::D1) + static_cast<std::size_t>(d)] = digitalLength;
    if (!hasA1) std::fill_n(a1, times, kNoSample);
    if (!hasA2) std::fill_n(a2, times, kNoSample);
    // Slots not reached by a digital byte stay empty.
    if (!fast)
        for (auto* d : dig) std::fill_n(d, times, kNoSample);

    // Digital channels that receive bits from the packed bytes, in dealing order.
    std::int32_t* order[4];
    int enabled = 0;
    if (!fast) {
        if (pair12) {
            order[enabled++] = dig[0];
            order[enabled++] = dig[1];
        }
        if (pair34) {
            order[enabled++] = dig[2];
            order[enabled++] = dig[3];
        }
    }
    const int perTime = 2 * (enabled / 2); // counter step: 2 per enabled pair
    const std::size_t perByte = enabled > 0 ? static_cast<std::size_t>(8 / enabled) : 0;

    const std::uint8_t* src = blockA.data();
    const std::size_t size = blockA.size();
    std::size_t pos = 0;
    std::size_t writePos = 0;
    int counter = 0;
    for (std::size_t i = 0; i < times; ++i) {
        if (hasA1) {
            if (pos < size)
                a1[i] = static_cast<std::int32_t>(src[pos++]) << 8;
            else {
                a1[i] = kNoSample;
                result.shortBlock = true;
            }
        }
        if (hasA2) {
            if (pos < size)
                a2[i] = static_cast<std::int32_t>(src[pos++]) << 8;
            else {
                a2[i] = kNoSample;
                result.shortBlock = true;
            }
        }
        if (perTime == 0) continue;
        counter += perTime;
        if (counter > 7) {
            counter = 0;
            if (pos >= size) {
                result.shortBlock = true;
                continue;
            }
            const unsigned byte = src[pos++];
            // Bits go round the enabled channels, one per channel per round.
            if (writePos + perByte > times) continue; // cannot happen with sane counts; stay inside
            for (int bit = 0; bit < 8; ++bit) {
                order[bit % enabled][writePos + static_cast<std::size_t>(bit / enabled)] =
                    ((byte >> bit) & 1u) ? kDigitalHigh : 0;
            }
            writePos += perByte;
        }
    }

    if (fast) {
        const bool present[4] = {pair12, pair12, pair34, pair34};
        const std::uint8_t* b = blockB.data();
        const std::size_t bSize = blockB.size();
        std::size_t bPos = 0;
        const std::size_t rounds = digitalLength / 8;
        for (std::size_t i = 0; i < rounds; ++i) {
            for (int d = 0; d < 4; ++d) {
                std::int32_t* out = dig[d] + 8 * i;
                if (!present[d]) {
                    std::fill_n(out, 8, kNoSample);
                } else if (bPos < bSize) {
                    const unsigned byte = b[bPos++];
                    for (int bit = 0; bit < 8; ++bit) out[bit] = ((byte >> bit) & 1u) ? kDigitalHigh : 0;
                } else {
                    std::fill_n(out, 8, kNoSample);
                    result.shortBlock = true;
                }
            }
        }
    }
    return result;
}

} // namespace kx::acquisition
