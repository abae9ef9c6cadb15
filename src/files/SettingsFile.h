// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/InstrumentState.h"
#include "core/Prompt.h"
#include "core/state/CalibrationState.h"
#include "files/SettingsKeyIo.h"

#include <cstdint>
#include <string>

namespace kx::files {

// What the instrument last reported; recorded in the program settings file while `ready`.
struct DeviceRecord {
    bool ready = false; // status received since opening (DeviceReady)
    std::uint32_t firmwareVersion = 0;
    std::uint32_t fpgaVersion = 0;
    std::int32_t reportedDeviceType = 0;
    std::uint64_t serialNumber = 0;
    bool zeroTableValid = false;
    bool systemTableValid = false;
    std::uint32_t powerOnCounter = 0;
    std::uint16_t flashHash = 0;
    bool flashFailure = false;
    bool pin = false;
    double supplyMicrovolts = 0;
    core::CalTable lastValidSystemTable{};
};

struct WriteContext {
    DeviceRecord device{};
    bool awgLoaded = false; // the last AWG upload was acknowledged completely
};

struct ReadResult {
    bool markerFound = false;     // the kind's marker key was present
    bool refused = false;         // a user file without its marker: nothing was read
    std::string awgToLoad;        // an AWG script to compile and load once connected
    bool systemTableRead = false; // "LAST_VALID_SYS_CLBR" replaced the system table
};

inline constexpr std::int32_t kSoftwareVersion = 307;

// Writes the state into `path`, keeping what the file holds beyond the sections the program
// owns. A file that cannot be written is reported through `prompt`; the result says whether
// the file was saved.
bool WriteSettingsFile(const std::string& path, SettingsKind kind, const core::InstrumentState& state,
                       const WriteContext& context, core::Prompt& prompt);

// Reads `path` over `state`; a missing key leaves its field unchanged. A user file without
// its marker is refused with a message and changes nothing.
ReadResult ReadSettingsFile(const std::string& path, SettingsKind kind, core::InstrumentState& state,
                            core::Prompt& prompt);

// The open operation behind "Open Settings...": a file that cannot be read is reported as
// not found; otherwise it is read as a user settings file. The caller then applies the model
// feature set and runs the settings-changed notification, whether or not it was accepted.
ReadResult OpenSettingsFile(const std::string& path, core::InstrumentState& state, core::Prompt& prompt);

// "Save Settings..." after its dialog: tests write access first (which empties an existing
// file, as the program always did), then writes the user settings file.
bool SaveSettingsFile(const std::string& path, const core::InstrumentState& state,
                      const WriteContext& context, core::Prompt& prompt);

// Which kind a file claims by its marker, if any.
enum class FileMarker { None, Program, User };
FileMarker settingsFileMarker(const std::string& path);

// Beside the executable (its name with ".ini") when it runs from a writable build tree, else the
// same name in the user's folder, $XDG_CONFIG_HOME/kx48zz/ or ~/.config/kx48zz/.
std::string programSettingsPath();
// The rule itself, for tests: `exePath` as /proc/self/exe names it.
std::string programSettingsPathFor(const std::string& exePath, bool besideExe, const char* xdgConfigHome,
                                   const char* home);

} // namespace kx::files
