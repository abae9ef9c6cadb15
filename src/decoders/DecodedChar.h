// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::decoders {

constexpr std::size_t kMaxDecodedChars = 2000; // per line and frame

constexpr std::uint32_t kParityError = 0x1;
constexpr std::uint32_t kFramingError = 0x2; // a stop bit was not at the idle level

// One received character; positions are sample indices of its line's channel.
struct DecodedChar {
    std::uint32_t flags = 0;
    std::uint32_t value = 0; // data bits, right-aligned
    std::int32_t first = 0;  // start bit begins
    std::int32_t last = 0;   // last stop bit ends
};

// The characters of one line in one frame (RxdChars, TxdChars). Large: keep one per line.
struct DecodedLine {
    std::array<DecodedChar, kMaxDecodedChars> chars{};
    int count = 0;

    std::span<const DecodedChar> view() const { return {chars.data(), static_cast<std::size_t>(count)}; }
};

} // namespace kx::decoders
