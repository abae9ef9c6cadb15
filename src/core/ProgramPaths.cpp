// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/ProgramPaths.h"

#include "core/BuildInfo.h"

#include <cstdlib>
#include <system_error>

namespace kx::core {

namespace fs = std::filesystem;

namespace {
constexpr const char* kProgramFolder = "kx48zz";
constexpr const char* kSimulatorLibrary = "libkx48zz_sim.so";

bool isFile(const fs::path& p) {
    std::error_code ec;
    return fs::is_regular_file(p, ec);
}
} // namespace

const char* programVersion() {
    return build::kVersion;
}

std::string executablePath() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string{} : exe.string();
}

fs::path userConfigDir(const char* xdgConfigHome, const char* home) {
    fs::path base;
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/')
        base = xdgConfigHome;
    else if (home != nullptr && home[0] != '\0')
        base = fs::path(home) / ".config";
    else
        base = ".config";
    return base / kProgramFolder;
}

fs::path userConfigDir() {
    return userConfigDir(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

fs::path ProgramLayout::docDir() const {
    return (exeDir / build::kBinToDoc).lexically_normal();
}

fs::path ProgramLayout::privateLibDir() const {
    return (exeDir / build::kBinToPrivateLib).lexically_normal();
}

ProgramLayout programLayout(const fs::path& exePath) {
    ProgramLayout layout;
    layout.exeDir = exePath.parent_path();
    layout.exeName = exePath.stem().string();
    layout.buildTree = !layout.exeDir.empty() && isFile(layout.exeDir.parent_path() / "CMakeCache.txt");
    return layout;
}

std::string simulatorLibraryPath(const ProgramLayout& layout) {
    const fs::path candidate =
        layout.buildTree ? layout.exeDir / kSimulatorLibrary : layout.privateLibDir() / kSimulatorLibrary;
    return isFile(candidate) ? candidate.string() : std::string{};
}

} // namespace kx::core
