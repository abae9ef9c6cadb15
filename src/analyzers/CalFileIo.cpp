// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/CalFileIo.h"

#include "analyzers/CorrectionTables.h"
#include "core/Text.h"

#include <bit>
#include <cstdio>
#include <memory>

namespace kx::analyzers {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

constexpr core::TextPair kNotFound{"\r\nFile not found.", "\r\nФайл не найден."};
constexpr core::TextPair kWrongFormat{"\r\nWrong file format.", "\r\nНеверный формат файла."};
constexpr core::TextPair kCannotWrite{"\r\nCan't open file for writing.", "\r\nНет доступа к файлу."};

} // namespace

CalFileStatus readCalFileBytes(const std::string& path, std::size_t maxBytes,
                               std::vector<std::uint8_t>& out) {
    out.clear();
    File f(std::fopen(path.c_str(), "rb"));
    if (!f) return CalFileStatus::NotFound;
    out.resize(maxBytes + 1);
    const std::size_t got = std::fread(out.data(), 1, out.size(), f.get());
    if (std::ferror(f.get())) {
        out.clear();
        return CalFileStatus::WrongFormat;
    }
    out.resize(got);
    return CalFileStatus::Ok;
}

CalFileStatus writeCalFileBytes(const std::string& path, std::span<const std::uint8_t> bytes) {
    File f(std::fopen(path.c_str(), "wb"));
    if (!f) return CalFileStatus::CannotWrite;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
    const bool closed = std::fclose(f.release()) == 0;
    return ok && closed ? CalFileStatus::Ok : CalFileStatus::CannotWrite;
}

void putInt32(std::vector<std::uint8_t>& out, std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    for (int s = 0; s < 32; s += 8) out.push_back(static_cast<std::uint8_t>(u >> s));
}

void putDouble(std::vector<std::uint8_t>& out, double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    for (int s = 0; s < 64; s += 8) out.push_back(static_cast<std::uint8_t>(u >> s));
}

std::int32_t getInt32(std::span<const std::uint8_t> in, std::size_t at) {
    std::uint32_t u = 0;
    for (int b = 0; b < 4; ++b)
        u |= static_cast<std::uint32_t>(in[at + static_cast<std::size_t>(b)]) << (8 * b);
    return static_cast<std::int32_t>(u);
}

double getDouble(std::span<const std::uint8_t> in, std::size_t at) {
    std::uint64_t u = 0;
    for (int b = 0; b < 8; ++b)
        u |= static_cast<std::uint64_t>(in[at + static_cast<std::size_t>(b)]) << (8 * b);
    return std::bit_cast<double>(u);
}

void putCalHeader(std::vector<std::uint8_t>& out, std::int32_t count, std::int32_t startHz,
                  std::int32_t spanHz) {
    putInt32(out, count);
    putInt32(out, startHz);
    putInt32(out, spanHz);
    for (int i = 0; i < 22; ++i) putInt32(out, 0);
}

bool checkCalHeader(std::span<const std::uint8_t> in, int arrays, std::int32_t& count, std::int32_t& startHz,
                    std::int32_t& spanHz) {
    if (in.size() <= kCalFileHeaderBytes) return false;
    count = getInt32(in, 0);
    startHz = getInt32(in, 4);
    spanHz = getInt32(in, 8);
    if (count > kMaxCalibrationPoints || spanHz == 0) return false;
    const long long expected = static_cast<long long>(kCalFileHeaderBytes) + 16LL * arrays * count;
    return static_cast<long long>(in.size()) == expected;
}

const char* calFileErrorText(CalFileStatus status, bool russian) {
    switch (status) {
    case CalFileStatus::NotFound:
        return kNotFound.pick(russian);
    case CalFileStatus::WrongFormat:
        return kWrongFormat.pick(russian);
    case CalFileStatus::CannotWrite:
        return kCannotWrite.pick(russian);
    default:
        return "";
    }
}

void reportCalFileError(core::Prompt& prompt, const std::string& caption, const std::string& path,
                        CalFileStatus status, bool russian) {
    if (status == CalFileStatus::Ok) return;
    const auto style =
        status == CalFileStatus::CannotWrite ? core::MessageStyle::Error : core::MessageStyle::Warning;
    prompt.message(caption, path + calFileErrorText(status, russian), style);
}

} // namespace kx::analyzers
