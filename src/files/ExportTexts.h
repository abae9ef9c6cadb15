// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/Text.h"

namespace kx::files::texts {

using core::TextPair;

inline constexpr TextPair kNoData{"No data for writing.", "Нет данных для записи."};

inline constexpr TextPair kImageTitle{"Save Image", "Сохранение рисунка"};
inline constexpr TextPair kImageFilter{"PNG File (*.png)|*.png", "Рисунок PNG (*.png)|*.png"};

inline constexpr TextPair kTextTitle{"Save Text", "Сохранение текстового файла"};
inline constexpr TextPair kTextFilter{"Text File (*.txt)|*.txt", "Текст (*.txt)|*.txt"};

// The raw binary title ends with the channel and ")".
inline constexpr TextPair kRawTitle{"Save Row Binary (CH ", "Сохранение двоичного файла (канал "};
inline constexpr TextPair kRawFilter{"Binary File (*.bin)|*.bin", "Двоичный файл (*.bin)|*.bin"};
inline constexpr TextPair kRawTextTitle{"Save Text For Row Binary",
                                        "Сохранение сопутствующего текстового файла"};

inline constexpr TextPair kCsvTitle{"Save CSV", "Сохранение CSV"};
inline constexpr TextPair kCsvFilter{"CSV File (*.csv)|*.csv", "Файл CSV (*.csv)|*.csv"};
inline constexpr TextPair kTouchstoneTitle{"Save Touchstone", "Сохранение Touchstone"};
inline constexpr TextPair kTouchstoneFilter{"Touchstone File (*.s1p)|*.s1p", "Файл Touchstone (*.s1p)|*.s1p"};
inline constexpr TextPair kVcdTitle{"Save VCD", "Сохранение VCD"};
inline constexpr TextPair kVcdFilter{"VCD File (*.vcd)|*.vcd", "Файл VCD (*.vcd)|*.vcd"};
inline constexpr TextPair kSigrokTitle{"Save sigrok Session", "Сохранение сеанса sigrok"};
inline constexpr TextPair kSigrokFilter{"sigrok Session (*.sr)|*.sr", "Сеанс sigrok (*.sr)|*.sr"};
// "Save..." of the serial decoder dialog.
inline constexpr TextPair kDecodedTitle{"Save Decoded Data", "Сохранение декодированных данных"};

} // namespace kx::files::texts
