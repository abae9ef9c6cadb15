// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"

#include <array>

namespace kx::decoders::text {

using core::TextPair;

inline constexpr TextPair kRxdData{"RXD (Data - ", "RXD (Данных - "};
inline constexpr TextPair kTxdData{"TXD (Data - ", "TXD (Данных - "};
inline constexpr TextPair kErrors{", errors - ", ", ошибок - "};

// TForm_S_Decoders.
inline constexpr TextPair kTitle{"Serial Decoders", "Декодер протоколов"};
inline constexpr TextPair kDecoder{"Decoder -", "Декодер -"};
inline constexpr TextPair kOff{"OFF", "Выкл."};
inline constexpr TextPair kActive{"ACTIVE", "Активн."};
inline constexpr TextPair kInv{"Inv", "Инв."};
inline constexpr TextPair kDisplay{"Data Display Format -", "Формат отображения -"};
inline constexpr TextPair kSave{"Save...", "Сохранить..."};
// The same in both languages.
inline constexpr const char* kRs232 = "RS232";
inline constexpr const char* kBaudRate = "Baud Rate - ";
inline constexpr const char* kParity = "PRTY - ";
inline constexpr const char* kDataBits = "Data Bits - ";
inline constexpr const char* kStopBits = "Stop Bits - ";
inline constexpr const char* kRxd = "RXD -";
inline constexpr const char* kTxd = "TXD -";
inline constexpr std::array<const char*, 2> kBitOrderItems{"LSB First", "MSB First"};
inline constexpr std::array<const char*, 4> kParityItems{"None", "Even", "Odd", "Ignore"};
inline constexpr std::array<const char*, 3> kDisplayItems{"HEX", "DECIMAL", "ASCII"};
inline constexpr const char* kOk = "OK";
inline constexpr const char* kCancel = "Cancel";

} // namespace kx::decoders::text
