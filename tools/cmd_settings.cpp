// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"
#include "SettingsInput.h"
#include "ToolSupport.h"

#include "files/SettingsFile.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace kx::tool {

bool readAnySettingsFile(const std::string& path, core::InstrumentState& state) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        std::fprintf(stderr, "kx48zz-tool: %s: file not found\n", path.c_str());
        return false;
    }
    StderrPrompt prompt;
    // A file that claims no kind is read as a user file, which refuses it with its message.
    const bool program = files::settingsFileMarker(path) == files::FileMarker::Program;
    const files::ReadResult r = files::ReadSettingsFile(
        path, program ? files::SettingsKind::Program : files::SettingsKind::User, state, prompt);
    return !r.refused;
}

int cmdSettings(int argc, char** argv) {
    if (argc != 2 || argv[0][0] == '-' || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: kx48zz-tool settings IN OUT\n");
        return 2;
    }
    auto state = std::make_unique<core::InstrumentState>();
    if (!readAnySettingsFile(argv[0], *state)) return 1;
    StderrPrompt prompt;
    return files::WriteSettingsFile(argv[1], files::SettingsKind::User, *state, {}, prompt) ? 0 : 1;
}

} // namespace kx::tool
