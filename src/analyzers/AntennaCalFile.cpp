// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/AntennaCalFile.h"

#include "core/Text.h"

#include <algorithm>

namespace kx::analyzers {
namespace {

constexpr core::TextPair kOpenCaption{"Open AA Calibration", "Открытие калибровки АА"};
constexpr core::TextPair kSaveCaption{"Save AA OSL Calibration", "Сохранение OSL калибровки АА"};
constexpr std::size_t kMaxBytes = kCalFileHeaderBytes + 48 * kMaxCalibrationPoints;

} // namespace

std::vector<std::uint8_t> encodeAntennaCalibration(const AntennaTermTable& table) {
    const int have = static_cast<int>(std::min({table.e1.size(), table.e2.size(), table.e3.size()}));
    const int count = std::clamp(table.count, 0, std::min(kMaxCalibrationPoints, have));
    std::vector<std::uint8_t> out;
    out.reserve(kCalFileHeaderBytes + 48 * static_cast<std::size_t>(count));
    putCalHeader(out, count, table.startHz, table.spanHz);
    for (const auto* e : {&table.e1, &table.e2, &table.e3}) {
        for (int i = 0; i < count; ++i) {
            putDouble(out, (*e)[static_cast<std::size_t>(i)].real());
            putDouble(out, (*e)[static_cast<std::size_t>(i)].imag());
        }
    }
    return out;
}

CalFileStatus decodeAntennaCalibration(std::span<const std::uint8_t> bytes, AntennaTermTable& table) {
    std::int32_t count, start, span;
    if (!checkCalHeader(bytes, 3, count, start, span)) return CalFileStatus::WrongFormat;
    AntennaTermTable t;
    t.count = count;
    t.startHz = start;
    t.spanHz = span;
    const auto n = static_cast<std::size_t>(count);
    std::size_t at = kCalFileHeaderBytes;
    for (auto* e : {&t.e1, &t.e2, &t.e3}) {
        e->resize(n);
        for (std::size_t i = 0; i < n; ++i, at += 16)
            (*e)[i] = {getDouble(bytes, at), getDouble(bytes, at + 8)};
    }
    table = std::move(t);
    return CalFileStatus::Ok;
}

CalFileStatus saveAntennaCalibration(const std::string& path, const AntennaTermTable& table) {
    return writeCalFileBytes(path, encodeAntennaCalibration(table));
}

CalFileStatus loadAntennaCalibration(const std::string& path, AntennaTermTable& table) {
    std::vector<std::uint8_t> bytes;
    CalFileStatus s = readCalFileBytes(path, kMaxBytes, bytes);
    if (s == CalFileStatus::Ok) s = decodeAntennaCalibration(bytes, table);
    if (s != CalFileStatus::Ok) {
        table.count = 0;
        table.e1.clear();
        table.e2.clear();
        table.e3.clear();
    }
    return s;
}

bool loadAntennaCalibrationWithMessage(const std::string& path, AntennaTermTable& table, core::Prompt& prompt,
                                       bool russian) {
    const CalFileStatus s = loadAntennaCalibration(path, table);
    reportCalFileError(prompt, kOpenCaption.pick(russian), path, s, russian);
    return s == CalFileStatus::Ok;
}

bool saveAntennaCalibrationWithMessage(const std::string& path, const AntennaTermTable& table,
                                       core::Prompt& prompt, bool russian) {
    const CalFileStatus s = saveAntennaCalibration(path, table);
    reportCalFileError(prompt, kSaveCaption.pick(russian), path, s, russian);
    return s == CalFileStatus::Ok;
}

} // namespace kx::analyzers
