// SPDX-License-Identifier: GPL-3.0-or-later
// The settings reader over any file, as the program settings file and as a user settings file,
// and a write over it (which keeps what the program does not own).
#include "core/InstrumentState.h"
#include "files/SettingsFile.h"
#include "files/SettingsIni.h"

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    kx::fuzz::QuietPrompt prompt;
    const std::string path = kx::fuzz::inputFile(data, size, ".kxs");
    for (const auto kind : {kx::files::SettingsKind::Program, kx::files::SettingsKind::User}) {
        kx::core::InstrumentState state;
        kx::files::ReadSettingsFile(path, kind, state, prompt);
    }
    kx::core::InstrumentState state;
    kx::files::OpenSettingsFile(path, state, prompt);
    // What was read is written back over the same file and read again.
    kx::files::WriteSettingsFile(path, kx::files::SettingsKind::User, state, {}, prompt);
    kx::core::InstrumentState again;
    if (kx::files::ReadSettingsFile(path, kx::files::SettingsKind::User, again, prompt).refused)
        __builtin_trap();
    return 0;
}
