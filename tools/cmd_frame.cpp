// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"
#include "SettingsInput.h"
#include "ToolSupport.h"

#include "app/ApplySettings.h"
#include "app/ModelFeatures.h"
#include "device/RegisterImage.h"
#include "files/SettingsFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace kx::tool {
namespace {

int usage() {
    std::fprintf(stderr, "usage: kx48zz-tool frame [--model CODE] [--tables] [FILE]\n");
    return 2;
}

bool parseCode(const char* text, std::int32_t& code) {
    if (!text || !*text) return false;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 0); // 0x23, 35 or 043
    if (!end || *end || v < 0 || v > 0xFFFF) return false;
    code = static_cast<std::int32_t>(v);
    return true;
}

} // namespace

int cmdFrame(int argc, char** argv) {
    std::int32_t model = -1;
    bool tables = false;
    const char* path = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--model")) {
            if (i + 1 >= argc || !parseCode(argv[++i], model)) return usage();
        } else if (!std::strcmp(argv[i], "--tables")) {
            tables = true;
        } else if (argv[i][0] != '-' && !path) {
            path = argv[i];
        } else {
            return usage();
        }
    }

    // As at start-up: built-in defaults, the settings file, the model feature set, apply-settings.
    auto state = std::make_unique<core::InstrumentState>();
    if (path && !readAnySettingsFile(path, *state)) return 1;
    if (model >= 0) state->system.UiDeviceType = model;
    app::applyModelFeatures(*state);
    device::RegisterImageHolder holder;
    app::applySettings(*state, holder);
    if (tables) {
        holder.requestTableUpload(device::CalTableKind::ZeroOffset, state->calibration.ZeroTable);
        holder.requestTableUpload(device::CalTableKind::System, state->calibration.SystemTable);
    }

    // A frame carries one table: one line per frame, as the link sends them, until none is owed.
    do {
        std::uint8_t body[device::kMaxSettingsBodySize];
        const std::size_t n = holder.takeSettingsBody(body);
        if (n == 0) {
            std::fprintf(stderr, "kx48zz-tool frame: the settings body could not be built\n");
            return 1;
        }
        for (std::size_t i = 0; i < n; ++i) std::printf(i ? " %02X" : "%02X", body[i]);
        std::printf("\n");
    } while (holder.uploadPending());
    return 0;
}

} // namespace kx::tool
