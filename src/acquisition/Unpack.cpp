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

std::int32_t level(unsigned byte, int bit) {
    return static_cast<std::int32_t>((byte >> bit) & 1u) << 8;
}

// Block A holds the whole frame: analog bytes, and after every `8 / (enabled)` sample times one
// byte whose bits go round the enabled digital channels. Specialised so the inner loops unroll.
template <int Enabled, bool HasA1, bool HasA2>
void unpackWhole(const std::uint8_t* src, std::size_t times, std::int32_t* a1, std::int32_t* a2,
                 std::int32_t* const* order) {
    constexpr std::size_t group = Enabled > 0 ? 8 / Enabled : 1;
    const std::size_t groups = Enabled > 0 ? times / group : 0;
    std::size_t i = 0;
    for (std::size_t g = 0; g < groups; ++g) {
        for (std::size_t j = 0; j < group; ++j, ++i) {
            if constexpr (HasA1) a1[i] = static_cast<std::int32_t>(*src++) << 8;
            if constexpr (HasA2) a2[i] = static_cast<std::int32_t>(*src++) << 8;
        }
        if constexpr (Enabled > 0) {
            const unsigned byte = *src++;
            const std::size_t at = g * group;
            for (int c = 0; c < Enabled; ++c)
                for (std::size_t k = 0; k < group; ++k)
                    order[c][at + k] = level(byte, c + Enabled * static_cast<int>(k));
        }
    }
    for (; i < times; ++i) { // the tail never completes a digital byte
        if constexpr (HasA1) a1[i] = static_cast<std::int32_t>(*src++) << 8;
        if constexpr (HasA2) a2[i] = static_cast<std::int32_t>(*src++) << 8;
    }
}

template <int Enabled>
void unpackWhole(bool hasA1, bool hasA2, const std::uint8_t* src, std::size_t times, std::int32_t* a1,
                 std::int32_t* a2, std::int32_t* const* order) {
    if (hasA1 && hasA2)
        unpackWhole<Enabled, true, true>(src, times, a1, a2, order);
    else if (hasA1)
        unpackWhole<Enabled, true, false>(src, times, a1, a2, order);
    else if (hasA2)
        unpackWhole<Enabled, false, true>(src, times, a1, a2, order);
    else
        unpackWhole<Enabled, false, false>(src, times, a1, a2, order);
}

// Block A ends early: every byte is checked, missing samples stay empty.
bool unpackShort(std::span<const std::uint8_t> blockA, std::size_t times, std::int32_t* a1, std::int32_t* a2,
                 std::int32_t* const* order, int enabled) {
    bool shortBlock = false;
    const std::uint8_t* src = blockA.data();
    const std::size_t size = blockA.size();
    const std::size_t perByte = enabled > 0 ? static_cast<std::size_t>(8 / enabled) : 0;
    std::size_t pos = 0;
    std::size_t writePos = 0;
    int counter = 0;
    for (std::size_t i = 0; i < times; ++i) {
        for (std::int32_t* a : {a1, a2}) {
            if (!a) continue;
            if (pos < size)
                a[i] = static_cast<std::int32_t>(src[pos++]) << 8;
            else {
                a[i] = kNoSample;
                shortBlock = true;
            }
        }
        if (enabled == 0) continue;
        counter += enabled; // 2 per enabled pair
        if (counter > 7) {
            counter = 0;
            if (pos >= size) {
                shortBlock = true;
                continue;
            }
            const unsigned byte = src[pos++];
            for (int bit = 0; bit < 8; ++bit)
                order[bit % enabled][writePos + static_cast<std::size_t>(bit / enabled)] = level(byte, bit);
            writePos += perByte;
        }
    }
    return shortBlock;
}

// Fast digital frames: one byte of block B per enabled channel and sample time, 8 samples each.
bool unpackFastDigital(std::span<const std::uint8_t> blockB, std::size_t rounds, const bool* present,
                       std::int32_t* const* dig) {
    bool shortBlock = false;
    const std::uint8_t* b = blockB.data();
    const std::size_t size = blockB.size();
    std::size_t pos = 0;
    for (std::size_t i = 0; i < rounds; ++i) {
        for (int d = 0; d < 4; ++d) {
            std::int32_t* out = dig[d] + 8 * i;
            if (!present[d]) continue;
            if (pos < size) {
                const unsigned byte = b[pos++];
                for (int bit = 0; bit < 8; ++bit) out[bit] = level(byte, bit);
            } else {
                std::fill_n(out, 8, kNoSample);
                shortBlock = true;
            }
        }
    }
    return shortBlock;
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
    const std::size_t digitalLength = fast ? std::min(8 * captureLength, kRawCapacity) / 8 * 8 : times;
    result.sampleTimes = times;

    std::int32_t* a1 = raw.of(Channel::A1).data();
    std::int32_t* a2 = raw.of(Channel::A2).data();
    std::int32_t* const dig[4] = {raw.of(Channel::D1).data(), raw.of(Channel::D2).data(),
                                  raw.of(Channel::D3).data(), raw.of(Channel::D4).data()};
    // Channels absent from the frame get no raw samples: their buffers are simply emptied.
    raw.filled[idx(Channel::A1)] = hasA1 ? times : 0;
    raw.filled[idx(Channel::A2)] = hasA2 ? times : 0;
    for (std::size_t d = 0; d < 4; ++d)
        raw.filled[idx(Channel::D1) + d] = (d < 2 ? pair12 : pair34) ? digitalLength : 0;

    // Digital channels that receive bits from block A, in dealing order.
    std::int32_t* order[4] = {};
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
        // The tail that no digital byte reaches stays empty.
        const std::size_t covered =
            enabled > 0 ? times / static_cast<std::size_t>(8 / enabled) * (8 / enabled) : 0;
        for (int c = 0; c < enabled; ++c) std::fill(order[c] + covered, order[c] + times, kNoSample);
    }

    const std::size_t analogs = (hasA1 ? 1u : 0u) + (hasA2 ? 1u : 0u);
    const std::size_t needed =
        times * analogs + (enabled > 0 ? times / static_cast<std::size_t>(8 / enabled) : 0);
    if (blockA.size() >= needed) {
        switch (enabled) {
        case 2:
            unpackWhole<2>(hasA1, hasA2, blockA.data(), times, a1, a2, order);
            break;
        case 4:
            unpackWhole<4>(hasA1, hasA2, blockA.data(), times, a1, a2, order);
            break;
        default:
            unpackWhole<0>(hasA1, hasA2, blockA.data(), times, a1, a2, order);
            break;
        }
    } else {
        // Positions a missing digital byte would have filled must read as empty too.
        for (int c = 0; c < enabled; ++c) std::fill_n(order[c], times, kNoSample);
        result.shortBlock =
            unpackShort(blockA, times, hasA1 ? a1 : nullptr, hasA2 ? a2 : nullptr, order, enabled);
    }

    if (fast) {
        const bool present[4] = {pair12, pair12, pair34, pair34};
        if (unpackFastDigital(blockB, digitalLength / 8, present, dig)) result.shortBlock = true;
    }
    return result;
}

} // namespace kx::acquisition
