// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

#include "core/ProgramPaths.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace kx::tool {

int notAvailable(const char* name) {
    std::fprintf(stderr, "kx48zz-tool: '%s' is not available in this build\n", name);
    return 2;
}

} // namespace kx::tool

namespace {

struct Command {
    const char* name;
    int (*run)(int, char**);
    const char* what;
    const char* usage;
};

constexpr Command kCommands[] = {
    {"frame", kx::tool::cmdFrame, "the first settings frame of a settings file, in hex",
     "frame [--model CODE] [--tables] [FILE]"},
    {"settings", kx::tool::cmdSettings, "any settings file to a user settings file", "settings IN OUT"},
    {"probe", kx::tool::cmdProbe, "open the instrument, show its status and link statistics",
     "probe [--seconds N]"},
    {"capture", kx::tool::cmdCapture, "capture frames from the instrument into a data file",
     "capture [--settings FILE] [--frames N] [--single] [--generator on|off] [--awg FILE.kxg] --out "
     "FILE.kxd"},
    {"info", kx::tool::cmdInfo, "every FrameHeader word of a data file", "info FILE.kxd"},
    {"awg", kx::tool::cmdAwg, "compile an AWG script and write its listing kxg.lst", "awg FILE.kxg"},
    {"decode", kx::tool::cmdDecode, "RS232 decoding of a captured frame",
     "decode FILE.kxd [--baud N] [--bits N] [--parity N] [--stop N] [--msb] [--rxd N] [--txd N] [--display "
     "N] [--csv OUT.csv]"},
    {"spectrum", kx::tool::cmdSpectrum, "the spectrum of a captured frame",
     "spectrum FILE.kxd [--channel A1|A2] [--window N] [--size N]"},
    {"export", kx::tool::cmdExport,
     "a data file's frame as a picture, text, raw binary, CSV, VCD or sigrok session",
     "export FILE.kxd --image OUT.png|OUT.bmp | --text OUT.txt | --raw A1|A2|D1|D2|D3|D4 OUT.bin | --csv "
     "OUT.csv | "
     "--vcd OUT.vcd | --sr OUT.sr"},
    {"record", kx::tool::cmdRecord, "run the binary recorder for N seconds",
     "record --seconds N --out FILE.bin [--settings FILE]"},
    {"analyze", kx::tool::cmdAnalyze, "the network analyzer, the antenna analyzer or the LC meter",
     "analyze na [--settings FILE] [--cal FILE.kxc] [--save-response FILE.kxc] --out FILE.csv\n"
     "       analyze aa [--settings FILE] [--cal FILE.kxo] --out FILE.csv [--s1p FILE.s1p]\n"
     "       analyze aa [--settings FILE] --calibrate FILE.kxo\n"
     "       analyze lc [--settings FILE] [--calibrate]"},
    {"soak", kx::tool::cmdSoak, "the acquisition over a faulty link for N minutes, recovering as the program does",
     "soak --minutes N [--seed S]"},
    {"calibrate", kx::tool::cmdCalibrate,
     "zero calibration with the inputs disconnected; --write stores the table in the instrument",
     "calibrate zero [--write]"},
};

void usage(std::FILE* out) {
    std::fprintf(out, "usage: kx48zz-tool [--simulator] COMMAND [ARGS]\n"
                      "       kx48zz-tool --version | --help | COMMAND --help\n\ncommands:\n");
    for (const auto& c : kCommands) std::fprintf(out, "  %-10s %s\n", c.name, c.what);
    std::fprintf(out, "\n--simulator  use the simulated instrument that comes with the program\n");
}

void commandUsage(const Command& c) {
    std::fprintf(stdout, "usage: kx48zz-tool %s\n%s\n", c.usage, c.what);
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && !std::strcmp(argv[1], "--version")) {
        std::printf("kx48zz-tool %s\n", kx::core::programVersion());
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "--simulator")) {
        const std::string sim =
            kx::core::simulatorLibraryPath(kx::core::programLayout(kx::core::executablePath()));
        if (sim.empty()) {
            std::fprintf(stderr,
                         "kx48zz-tool: the simulated instrument (libkx48zz_sim.so) is not installed\n");
            return 2;
        }
        setenv("KX48ZZ_D2XX", sim.c_str(), 1);
        --argc;
        ++argv;
    }
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    if (argc == 3 && (!std::strcmp(argv[2], "--help") || !std::strcmp(argv[2], "-h"))) {
        for (const auto& c : kCommands)
            if (!std::strcmp(argv[1], c.name)) {
                commandUsage(c);
                return 0;
            }
    }
    for (const auto& c : kCommands)
        if (!std::strcmp(argv[1], c.name)) return c.run(argc - 2, argv + 2);
    std::fprintf(stderr, "kx48zz-tool: unknown command '%s'\n", argv[1]);
    usage(stderr);
    return 2;
}
