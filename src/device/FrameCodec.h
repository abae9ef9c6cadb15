// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::device {

// The preamble both directions use: 0xAA 0x0F 0x55 eight times, then 0x00.
inline constexpr std::size_t kPatternBytes = 24;
inline constexpr std::size_t kPreambleSize = kPatternBytes + 1;
inline constexpr std::array<std::uint8_t, kPreambleSize> kPreamble = {
    0xAA, 0x0F, 0x55, 0xAA, 0x0F, 0x55, 0xAA, 0x0F, 0x55, 0xAA, 0x0F, 0x55, 0xAA,
    0x0F, 0x55, 0xAA, 0x0F, 0x55, 0xAA, 0x0F, 0x55, 0xAA, 0x0F, 0x55, 0x00};

// Inbound header byte of a status packet; any other value heads a data packet.
inline constexpr std::uint8_t kStatusHeader = 0x5A;

// One write block of an outbound frame: n (1..255) bytes stored from `address` on.
struct WriteBlock {
    std::uint16_t address;
    std::span<const std::uint8_t> data;
};

// Largest outbound body: a length byte that counts up to 255 bytes after it, plus the CRC.
inline constexpr std::size_t kMaxFrameBody = 1 + 255 + 2;

// Builds an outbound frame body (length byte, block count, blocks, CRC low byte first) into
// `out`. Returns its size, or 0 when a block is empty or longer than 255 bytes, the blocks do
// not fit the length byte, or `out` is too small.
std::size_t buildWriteFrame(std::span<const WriteBlock> blocks, std::span<std::uint8_t> out);

// Sizes of the two data blocks announced by a data packet's header for N points per channel.
struct BlockSizes {
    std::uint64_t a = 0;
    std::uint64_t b = 0;
};
BlockSizes dataBlockSizes(std::uint8_t header, std::uint32_t points);

} // namespace kx::device
