// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/AboutTexts.h"

#include "core/DeviceModel.h"
#include "core/Text.h"

#include <cstdio>
#include <filesystem>

namespace kx::ui {
namespace {

constexpr core::TextPair kCaption{"About", "О программе"};
constexpr core::TextPair kVersion{"Software Version  ", "Версия программы  "};
constexpr core::TextPair kFirmware{"Firmware Version  ", "Версия ПО устройства  "};
constexpr core::TextPair kFpga{"FPGA Version  ", "Версия FPGA устройства  "};
constexpr core::TextPair kSerial{"Serial Number  ", "Серийный номер  "};
constexpr core::TextPair kDeviceCode{"Device Code ", "Код устройства  "};
constexpr const char* kUnknown = "...";

std::string hex(std::uint64_t value, int digits) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%0*llX", digits, static_cast<unsigned long long>(value));
    return buf;
}

} // namespace

AboutInfo aboutInfoFrom(const std::string& exePath, const core::SystemState& system,
                        const device::StatusInfo& status, bool deviceReady) {
    AboutInfo info;
    info.exePath = exePath;
    info.russian = system.RussianUi;
    info.debugMode = system.DebugMode;
    info.deviceReady = deviceReady;
    info.deviceType = status.deviceType;
    info.firmwareVersion = status.firmwareVersion;
    info.fpgaVersion = status.fpgaVersion;
    info.serial = status.serial;
    info.flashHash = status.flashHash;
    return info;
}

std::string versionText(int v) {
    if (v < 0) v = 0;
    return std::to_string(v / 100) + "." + std::to_string((v / 10) % 10) + std::to_string(v % 10);
}

AboutTexts aboutTexts(const AboutInfo& info) {
    const bool ru = info.russian;
    const bool ready = info.deviceReady;
    AboutTexts t;
    t.caption = kCaption.pick(ru);
    t.productName = std::filesystem::path(info.exePath).stem().string();
    if (ready) t.productName += "  (" + core::modelName(info.deviceType) + ")";
    t.version = kVersion.pick(ru) + versionText(kProgramVersion);
    t.firmware = kFirmware.pick(ru) + (ready ? versionText(info.firmwareVersion) : kUnknown);
    t.fpga = kFpga.pick(ru) + (ready ? versionText(info.fpgaVersion) : kUnknown);
    t.serialNumber =
        kSerial.pick(ru) + (ready ? hex(info.serial, 16) + " - " + hex(info.flashHash, 4) : kUnknown);
    t.deviceCode = kDeviceCode.pick(ru) +
                   (ready ? hex(static_cast<std::uint32_t>(info.deviceType) & 0xFFFFu, 4) : kUnknown);
    return t;
}

} // namespace kx::ui
