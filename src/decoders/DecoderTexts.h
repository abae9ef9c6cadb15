// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"

namespace kx::decoders::text {

using core::TextPair;

inline constexpr TextPair kRxdData{"RXD (Data - ", "RXD (Данных - "};
inline constexpr TextPair kTxdData{"TXD (Data - ", "TXD (Данных - "};
inline constexpr TextPair kErrors{", errors - ", ", ошибок - "};

} // namespace kx::decoders::text
