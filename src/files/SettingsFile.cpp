// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/SettingsFile.h"

#include "core/NumberFormat.h"
#include "core/ProgramPaths.h"
#include "core/Text.h"
#include "files/FileOutput.h"
#include "files/SettingsIni.h"
#include "files/SettingsSections.h"
#include "files/SettingsValues.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace kx::files {

namespace {

constexpr core::TextPair kOpenTitle{"Open Settings", "Открытие файла настроек"};
constexpr core::TextPair kVersion1{"\r\nUse software version 1.xx to open.",
                                   "\r\nДля открытия используйте программу версии 1.xx."};
constexpr core::TextPair kVersion2{"\r\nUse software version 2.xx to open.",
                                   "\r\nДля открытия используйте программу версии 2.xx."};
constexpr core::TextPair kInvalid{"\r\nInvalid file format.", "\r\nНеверный формат файла."};
constexpr core::TextPair kCantWrite{"\r\nCan't open file for writing.", "\r\nНет доступа к файлу."};
constexpr core::TextPair kOpenFileTitle{"Open Settings", "Открытие файла настроек"};
constexpr core::TextPair kNotFound{"\r\nFile not found.", "\r\nФайл не найден."};
constexpr core::TextPair kSaveTitle{"Save Settings", "Сохранение файла настроек"};
constexpr core::TextPair kErrorTitle{"Error", "Ошибка"};

constexpr const char* kProgramMarker = "KX48zz_INI_FILE";
constexpr const char* kUserMarker = "KX48zz_KXS_FILE";

constexpr const char* kOwnedSections[] = {"Common", "Scope",  "Trigger",      "SysClbr",  "Generator",
                                          "FFT",    "Colors", "Advanced_Set", "Decoders", "NA_AA"};

std::string hex(std::uint64_t value, int digits) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", digits, static_cast<unsigned long long>(value));
    return buf;
}

void writeDeviceKeys(SettingsIni& doc, const DeviceRecord& d) {
    const char* sys = "System";
    doc.set(sys, "FIRM_VER", std::to_string(d.firmwareVersion));
    doc.set(sys, "FPGA_VER", std::to_string(d.fpgaVersion));
    doc.set(sys, "FPGA_DT", "0x" + hex(static_cast<std::uint32_t>(d.reportedDeviceType) & 0xFFFFu, 4));
    doc.set(sys, "FPGA_DNA", hex(d.serialNumber, 16));
    doc.set(sys, "ZERO_CLBR", d.zeroTableValid ? "1" : "0");
    doc.set(sys, "SYS_CLBR", d.systemTableValid ? "1" : "0");
    doc.set(sys, "ON_CNT", d.flashFailure ? "..." : std::to_string(d.powerOnCounter));
    doc.set(sys, "FLASH_HASH", d.flashFailure ? "..." : hex(d.flashHash, 4));
    doc.set(sys, "PIN", d.pin ? "1" : "0");
    // Whole millivolts, shown as the voltage readouts show them.
    const double microvolts = std::round(d.supplyMicrovolts / 1000.0) * 1000.0;
    doc.set(sys, "Vcc", core::formatNumber(microvolts, core::UnitType::Voltage, -3));
    if (d.systemTableValid) doc.set(sys, "LAST_VALID_SYS_CLBR", formatBinary(d.lastValidSystemTable));
}

bool readSystemBool(const SettingsIni& doc, const char* key, bool fallback) {
    const auto t = doc.get("System", key);
    if (!t) return fallback;
    const auto v = parseInteger(*t);
    return v ? *v != 0 : fallback;
}

void bindSections(SettingsKeyIo& io, core::InstrumentState& s, bool awgLoaded, std::string& awgToLoad) {
    bindCommon(io, s);
    bindScope(io, s);
    bindTrigger(io, s);
    bindGenerator(io, s, awgLoaded, awgToLoad);
    bindFft(io, s);
    bindDecoders(io, s);
    bindAnalyzers(io, s);
    bindSysClbr(io, s);
    bindAdvanced(io, s);
    bindColors(io, s);
}

} // namespace

namespace {

bool writeSettings(const std::string& path, SettingsKind kind, const core::InstrumentState& state,
                   const WriteContext& context) {
    SettingsIni doc;
    doc.load(path); // a missing file starts empty
    for (const char* section : kOwnedSections) doc.eraseSection(section);
    const bool program = kind == SettingsKind::Program;
    doc.set("System", program ? kProgramMarker : kUserMarker, "1");
    if (program && context.device.ready) writeDeviceKeys(doc, context.device);
    doc.set("System", "SOFT_VER", std::to_string(kSoftwareVersion));
    doc.set("System", "WIN_DT", formatDeviceType(state.system.UiDeviceType));

    core::InstrumentState copy = state;
    std::string unused;
    SettingsKeyIo io(doc, kind, true);
    bindSections(io, copy, context.awgLoaded, unused);

    if (program) {
        std::error_code ec;
        const auto parent = std::filesystem::path(path).parent_path();
        if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    }
    // Written beside and renamed over: a failure keeps the old file whole.
    return doc.save(path);
}

ReadResult readSettings(SettingsIni& doc, const std::string& path, SettingsKind kind,
                        core::InstrumentState& state, core::Prompt& prompt) {
    ReadResult result;
    const bool program = kind == SettingsKind::Program;
    result.markerFound = doc.hasKey("System", program ? kProgramMarker : kUserMarker);
    if (!program && !result.markerFound) {
        const bool ru = state.system.RussianUi;
        const core::TextPair* text = &kInvalid;
        if (doc.hasKey("Common", "ExtTrig")) text = &kVersion1;
        if (doc.hasKey("System", "KX48_KXS_FILE")) text = &kVersion2;
        prompt.message(kOpenTitle.pick(ru), path + text->pick(ru), core::MessageStyle::Error);
        result.refused = true;
        return result;
    }
    if (program) {
        if (const auto t = doc.get("System", "WIN_DT"))
            if (const auto v = parseInteger(*t); v && *v >= 0 && *v <= 0xFF) state.system.UiDeviceType = *v;
        state.system.DebugAllowed = readSystemBool(doc, "Debug", false);
        state.system.FlowCtrlOff = readSystemBool(doc, "FLOW_CTRL_OFF", false);
        if (const auto t = doc.get("System", "LAST_VALID_SYS_CLBR"))
            if (const auto bytes = parseBinary(*t); bytes && bytes->size() == core::kCalTableSize) {
                std::copy(bytes->begin(), bytes->end(), state.calibration.SystemTable.begin());
                result.systemTableRead = true;
            }
    }
    SettingsKeyIo io(doc, kind, false);
    bindSections(io, state, false, result.awgToLoad);
    return result;
}

} // namespace

bool WriteSettingsFile(const std::string& path, SettingsKind kind, const core::InstrumentState& state,
                       const WriteContext& context, core::Prompt& prompt) {
    if (writeSettings(path, kind, state, context)) return true;
    const bool ru = state.system.RussianUi;
    prompt.message(kErrorTitle.pick(ru), path + kCantWrite.pick(ru), core::MessageStyle::Error);
    return false;
}

ReadResult ReadSettingsFile(const std::string& path, SettingsKind kind, core::InstrumentState& state,
                            core::Prompt& prompt) {
    SettingsIni doc;
    doc.load(path); // a missing (or unreadable) file reads as an empty one
    return readSettings(doc, path, kind, state, prompt);
}

ReadResult OpenSettingsFile(const std::string& path, core::InstrumentState& state, core::Prompt& prompt) {
    SettingsIni doc;
    // A device or FIFO (a link named .kxs to /dev/zero) or a huge file is refused like a missing one.
    if (!doc.load(path)) {
        const bool ru = state.system.RussianUi;
        prompt.message(kOpenFileTitle.pick(ru), path + kNotFound.pick(ru), core::MessageStyle::Error);
        ReadResult r;
        r.refused = true;
        return r;
    }
    return readSettings(doc, path, SettingsKind::User, state, prompt);
}

bool SaveSettingsFile(const std::string& path, const core::InstrumentState& state,
                      const WriteContext& context, core::Prompt& prompt) {
    // The access test leaves the old file whole: it is replaced only by a complete new one.
    if (!mayReplace(path) || !writeSettings(path, SettingsKind::User, state, context)) {
        const bool ru = state.system.RussianUi;
        prompt.message(kSaveTitle.pick(ru), path + kCantWrite.pick(ru), core::MessageStyle::Error);
        return false;
    }
    return true;
}

FileMarker settingsFileMarker(const std::string& path) {
    SettingsIni doc;
    doc.load(path);
    if (doc.hasKey("System", kUserMarker)) return FileMarker::User;
    if (doc.hasKey("System", kProgramMarker)) return FileMarker::Program;
    return FileMarker::None;
}

std::string programSettingsPathFor(const std::string& exePath, bool besideExe, const char* xdgConfigHome,
                                   const char* home) {
    const std::filesystem::path exe(exePath);
    if (!exePath.empty() && besideExe) return std::filesystem::path(exe).replace_extension(".ini");
    const std::string name = exe.stem().empty() ? std::string("kx48zz") : exe.stem().string();
    return core::userConfigDir(xdgConfigHome, home) / (name + ".ini");
}

std::string programSettingsPath() {
    const std::string exePath = core::executablePath();
    // A build tree keeps the program's files together; an installed program keeps them in the
    // user's configuration folder, also when run by someone who could write beside it.
    const bool beside = !exePath.empty() && core::programLayout(exePath).buildTree &&
                        ::access(std::filesystem::path(exePath).parent_path().c_str(), W_OK) == 0;
    return programSettingsPathFor(exePath, beside, std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

} // namespace kx::files
