// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Crc16.h"

#include <array>

namespace kx::core {
namespace {

constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        std::uint16_t c = static_cast<std::uint16_t>(i);
        for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : (c >> 1);
        t[i] = c;
    }
    return t;
}

constexpr auto kTable = makeTable();

} // namespace

std::uint16_t crc16Update(std::uint16_t crc, std::uint8_t byte) {
    return static_cast<std::uint16_t>((crc >> 8) ^ kTable[(crc ^ byte) & 0xFF]);
}

std::uint16_t crc16(std::span<const std::uint8_t> data, std::uint16_t crc) {
    for (std::uint8_t b : data) crc = crc16Update(crc, b);
    return crc;
}

} // namespace kx::core
