// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/NetworkCalFile.h"

#include "core/Text.h"

#include <algorithm>

namespace kx::analyzers {
namespace {

constexpr core::TextPair kOpenCaption{"Open NA Calibration", "Открытие калибровки АЦ"};
constexpr core::TextPair kSaveCaption{"Save NA Calibration", "Сохранение калибровки АЦ"};
constexpr std::size_t kMaxBytes = kCalFileHeaderBytes + 16 * kMaxCalibrationPoints;

} // namespace

std::vector<std::uint8_t> encodeNetworkCalibration(const NetworkCorrectionTable& table) {
    const int count =
        std::clamp(table.count, 0, std::min(kMaxCalibrationPoints, static_cast<int>(table.factors.size())));
    std::vector<std::uint8_t> out;
    out.reserve(kCalFileHeaderBytes + 16 * static_cast<std::size_t>(count));
    putCalHeader(out, count, table.startHz, table.spanHz);
    for (int i = 0; i < count; ++i) {
        putDouble(out, table.factors[static_cast<std::size_t>(i)].real());
        putDouble(out, table.factors[static_cast<std::size_t>(i)].imag());
    }
    return out;
}

CalFileStatus decodeNetworkCalibration(std::span<const std::uint8_t> bytes, NetworkCorrectionTable& table) {
    std::int32_t count, start, span;
    if (!checkCalHeader(bytes, 1, count, start, span)) return CalFileStatus::WrongFormat;
    NetworkCorrectionTable t;
    t.count = count;
    t.startHz = start;
    t.spanHz = span;
    t.factors.resize(static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < t.factors.size(); ++i) {
        const std::size_t at = kCalFileHeaderBytes + 16 * i;
        t.factors[i] = {getDouble(bytes, at), getDouble(bytes, at + 8)};
    }
    table = std::move(t);
    return CalFileStatus::Ok;
}

CalFileStatus saveNetworkCalibration(const std::string& path, const NetworkCorrectionTable& table) {
    return writeCalFileBytes(path, encodeNetworkCalibration(table));
}

CalFileStatus loadNetworkCalibration(const std::string& path, NetworkCorrectionTable& table) {
    std::vector<std::uint8_t> bytes;
    CalFileStatus s = readCalFileBytes(path, kMaxBytes, bytes);
    if (s == CalFileStatus::Ok) s = decodeNetworkCalibration(bytes, table);
    if (s != CalFileStatus::Ok) {
        table.count = 0;
        table.factors.clear();
    }
    return s;
}

bool loadNetworkCalibrationWithMessage(const std::string& path, NetworkCorrectionTable& table,
                                       core::Prompt& prompt, bool russian) {
    const CalFileStatus s = loadNetworkCalibration(path, table);
    reportCalFileError(prompt, kOpenCaption.pick(russian), path, s, russian);
    return s == CalFileStatus::Ok;
}

bool saveNetworkCalibrationWithMessage(const std::string& path, const NetworkCorrectionTable& table,
                                       core::Prompt& prompt, bool russian) {
    const CalFileStatus s = saveNetworkCalibration(path, table);
    reportCalFileError(prompt, kSaveCaption.pick(russian), path, s, russian);
    return s == CalFileStatus::Ok;
}

} // namespace kx::analyzers
