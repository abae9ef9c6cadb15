// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace kx::core {

// Serial decoder settings, section "Decoders". Line sources are source indices:
// 0 none ("ACTIVE" for CS), 1 A1, 2 A2, 3..6 D1..D4.
struct DecoderState {
    std::int32_t Type = 0;           // "Type": 0 off, 1 RS232
    std::int64_t Baud_Rate = 115200; // "Baud_Rate": 2 .. 400 000 000
    std::int32_t PRTY = 0;           // "PRTY": 0 none, 1 even, 2 odd, 3 ignore
    std::int32_t Data_Bits = 8;      // "Data_Bits": 2..32
    std::int32_t Stop_Bits = 1;      // "Stop_Bits": 1..2
    std::int32_t MSB_First = 0;      // "MSB_First"
    std::int32_t RXD = 1;            // "RXD"
    std::int32_t TXD = 3;            // "TXD"
    std::int32_t CLK = 4;            // "CLK"
    std::int32_t CS = 5;             // "CS"
    std::int32_t RXD_Inv = 0;        // "RXD_Inv"
    std::int32_t TXD_Inv = 0;        // "TXD_Inv"
    std::int32_t CLK_Inv = 0;        // "CLK_Inv"
    std::int32_t CS_Inv = 0;         // "CS_Inv"
    std::int32_t Display = 0;        // "Display": 0 HEX, 1 DECIMAL, 2 ASCII
};

} // namespace kx::core
