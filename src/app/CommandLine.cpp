// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

namespace kx::app {

CommandLine parseCommandLine(std::span<const std::string> args) {
    CommandLine out;
    bool switches = true;
    for (const std::string& a : args) {
        if (switches && a == "--") {
            switches = false;
        } else if (switches && a == "--version") {
            out.version = true;
        } else if (switches && (a == "--help" || a == "-h")) {
            out.help = true;
        } else if (switches && a == "--simulator") {
            out.simulator = true;
        } else {
            out.files.push_back(a);
        }
    }
    return out;
}

std::string commandLineUsage(const std::string& programName) {
    return "usage: " + programName +
           " [--simulator] [FILE]\n"
           "Opens a data file (.kxd), a settings file (.kxs) or an AWG script (.kxg); a second start\n"
           "hands its file to the running window.\n\n"
           "  --simulator  use the simulated instrument that comes with the program\n"
           "  --version    print the version\n"
           "  --help       print this text\n";
}

} // namespace kx::app
