// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/state/SystemState.h"
#include "device/StatusInfo.h"

#include <cstdint>
#include <string>

namespace kx::ui {

// This program's version, shown as d.dd.
inline constexpr int kProgramVersion = 307;

// What the about box shows of the program and of the instrument.
struct AboutInfo {
    std::string exePath;
    bool russian = false;
    bool debugMode = false;
    bool deviceReady = false;
    // As the instrument reported them; used only while deviceReady.
    std::int32_t deviceType = 0;
    std::uint16_t firmwareVersion = 0; // already value + 300
    std::uint16_t fpgaVersion = 0;
    std::uint64_t serial = 0;
    std::uint16_t flashHash = 0;
};

// The about box's lines; the last two are shown only in debug mode.
struct AboutTexts {
    std::string caption;
    std::string productName;
    std::string version;
    std::string firmware;
    std::string fpga;
    std::string serialNumber;
    std::string deviceCode;
};

// The window's view: its executable, its language and debug mode, the instrument's last status.
AboutInfo aboutInfoFrom(const std::string& exePath, const core::SystemState& system,
                        const device::StatusInfo& status, bool deviceReady);

AboutTexts aboutTexts(const AboutInfo& info);

// A version number v as v / 100 "." (v / 10) mod 10, v mod 10: 307 is "3.07".
std::string versionText(int v);

} // namespace kx::ui
