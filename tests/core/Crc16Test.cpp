// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/Crc16.h"

#include <gtest/gtest.h>

#include <string_view>

using kx::core::crc16;
using kx::core::crc16Update;

TEST(Crc16, CheckValueOfTheStandardString) {
    std::string_view s = "123456789";
    std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
    EXPECT_EQ(crc16(bytes), 0x4B37);
}

TEST(Crc16, RunningUpdateMatchesWholeBufferAndAppendedCrcGivesZero) {
    std::uint8_t data[] = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A};
    std::uint16_t running = kx::core::kCrc16Init;
    for (auto b : data) running = crc16Update(running, b);
    EXPECT_EQ(running, crc16(data));
    // Low byte first: a buffer followed by its CRC checks to zero.
    std::uint8_t framed[8];
    std::copy(std::begin(data), std::end(data), framed);
    framed[6] = running & 0xFF;
    framed[7] = running >> 8;
    EXPECT_EQ(crc16(framed), 0);
}
