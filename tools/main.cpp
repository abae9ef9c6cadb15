// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"

#include <cstdio>
#include <cstring>

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
    const char* usage;
};

constexpr Command kCommands[] = {
    {"frame", kx::tool::cmdFrame, "frame [--model CODE] [--tables] [FILE]"},
    {"settings", kx::tool::cmdSettings, "settings IN OUT"},
    {"probe", kx::tool::cmdProbe, "probe [--seconds N]"},
    {"capture", kx::tool::cmdCapture, "capture [--settings FILE] [--frames N] [--single] --out FILE.kxd"},
    {"info", kx::tool::cmdInfo, "info FILE.kxd"},
    {"awg", kx::tool::cmdAwg, "awg FILE.kxg"},
    {"decode", kx::tool::cmdDecode,
     "decode FILE.kxd [--baud N] [--bits N] [--parity N] [--stop N] [--msb] [--rxd N] [--txd N] [--display "
     "N]"},
    {"spectrum", kx::tool::cmdSpectrum, "spectrum FILE.kxd [--channel A1|A2] [--window N] [--size N]"},
};

void usage(std::FILE* out) {
    std::fprintf(out, "usage: kx48zz-tool COMMAND [ARGS]\n\ncommands:\n");
    for (const auto& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
        usage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const auto& c : kCommands)
        if (!std::strcmp(argv[1], c.name)) return c.run(argc - 2, argv + 2);
    std::fprintf(stderr, "kx48zz-tool: unknown command '%s'\n", argv[1]);
    usage(stderr);
    return 2;
}
