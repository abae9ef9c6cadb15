// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <vector>

namespace kx::app {

// The program's own switches; everything else is left for the window, whose last parameter
// names the file to open.
struct CommandLine {
    bool version = false;   // --version: print the version and end
    bool help = false;      // --help: print the usage and end
    bool simulator = false; // --simulator: use the simulated instrument that comes with the program
    std::vector<std::string> files;
};

// `args` without the program name. "--" ends the switches, so a file may be called "--help".
CommandLine parseCommandLine(std::span<const std::string> args);

// The text of --help.
std::string commandLineUsage(const std::string& programName);

} // namespace kx::app
