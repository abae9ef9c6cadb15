// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>

namespace kx::core {

// The program's version, "major.minor.patch".
const char* programVersion();

// The running executable as /proc/self/exe names it; empty when unknown.
std::string executablePath();

// The program's own folder in the user's configuration: $XDG_CONFIG_HOME/kx48zz, else
// ~/.config/kx48zz (a relative .config/kx48zz when neither is known).
std::filesystem::path userConfigDir(const char* xdgConfigHome, const char* home);
// The same from the environment.
std::filesystem::path userConfigDir();

// Where the files that come with an executable are. A build tree keeps everything beside the
// executable; an installed program has its documents and private libraries in the folders the
// install rules chose, found relative to the executable so that an unpacked package works too.
struct ProgramLayout {
    std::filesystem::path exeDir;
    std::string exeName; // file name without extension
    bool buildTree = false;

    // The documentation folder of an installed program.
    std::filesystem::path docDir() const;
    // The folder of the libraries only this program loads (the simulated instrument).
    std::filesystem::path privateLibDir() const;
};

// A build tree is recognised by CMake's cache one level above the executable's folder.
ProgramLayout programLayout(const std::filesystem::path& exePath);

// The simulated instrument's library for an executable: beside it in a build tree, in the private
// library folder once installed. Empty when it is not there.
std::string simulatorLibraryPath(const ProgramLayout& layout);

} // namespace kx::core
