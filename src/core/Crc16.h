// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::core {

// CRC-16/MODBUS: polynomial 0xA001 (reflected 0x8005), initial value 0xFFFF, no final XOR.
// Frames carry it low byte first.
constexpr std::uint16_t kCrc16Init = 0xFFFF;

// One byte into a running CRC (table driven).
std::uint16_t crc16Update(std::uint16_t crc, std::uint8_t byte);

// CRC of a whole buffer, optionally continuing a running value.
std::uint16_t crc16(std::span<const std::uint8_t> data, std::uint16_t crc = kCrc16Init);

} // namespace kx::core
