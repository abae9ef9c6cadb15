// SPDX-License-Identifier: GPL-3.0-or-later
#include "FlashFile.h"

#include "Settings.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace kx::sim {

namespace {

constexpr std::size_t kMaxFileBytes = 4096;

std::string hex(const CalibrationTable& t) {
    std::string out;
    char b[3];
    for (const std::uint8_t v : t) {
        std::snprintf(b, sizeof b, "%02X", v);
        out += b;
    }
    return out;
}

bool unhex(const std::string& text, CalibrationTable& t) {
    if (text.size() != 2 * t.size()) return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const auto v = parseInteger("0x" + text.substr(2 * i, 2));
        if (!v) return false;
        t[i] = static_cast<std::uint8_t>(*v);
    }
    return true;
}

} // namespace

std::optional<FlashImage> readFlashFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(kMaxFileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (got > kMaxFileBytes) return std::nullopt;
    text.resize(got);

    FlashImage image;
    bool zero = false, system = false;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto items = splitSettings(line);
        if (items.size() != 1 || !items[0].hasValue) return std::nullopt;
        const SettingItem& item = items[0];
        if (item.key == "zero_table") {
            if (!unhex(item.value, image.zeroTable)) return std::nullopt;
            zero = true;
        } else if (item.key == "system_table") {
            if (!unhex(item.value, image.systemTable)) return std::nullopt;
            system = true;
        } else if (item.key == "serial_number") {
            const auto v = parseInteger(item.value);
            if (!v) return std::nullopt;
            image.serialNumber = static_cast<std::uint64_t>(*v);
        } else if (item.key == "unit") {
            if (item.value != "drifted" && item.value != "factory") return std::nullopt;
            image.drifted = item.value == "drifted";
        } else if (item.key == "drift_seed") {
            const auto v = parseInteger(item.value);
            if (!v) return std::nullopt;
            image.driftSeed = static_cast<std::uint64_t>(*v);
        } else {
            return std::nullopt;
        }
    }
    if (!zero || !system) return std::nullopt;
    return image;
}

bool writeFlashFile(const std::string& path, const FlashImage& image) {
    std::ostringstream s;
    s << "# kx48zz simulated instrument: flash\n";
    s << "serial_number=" << image.serialNumber << "\n";
    s << "unit=" << (image.drifted ? "drifted" : "factory") << "\n";
    s << "drift_seed=" << image.driftSeed << "\n";
    s << "zero_table=" << hex(image.zeroTable) << "\n";
    s << "system_table=" << hex(image.systemTable) << "\n";
    // Written beside and renamed, so a crash never leaves half a flash.
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << s.str();
        if (!out.flush()) return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

} // namespace kx::sim
