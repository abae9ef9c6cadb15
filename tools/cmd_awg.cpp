// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"
#include "ToolSupport.h"

#include "generator/AwgCompiler.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace kx::tool {

namespace {

std::filesystem::path programFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path{} : exe.parent_path();
}

} // namespace

int cmdAwg(int argc, char** argv) {
    bool russian = false;
    const char* script = nullptr;
    for (int i = 0; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--russian"))
            russian = true;
        else if (!script && argv[i][0] != '-')
            script = argv[i];
        else {
            std::fprintf(
                stderr,
                "kx48zz-tool awg: unexpected argument '%s'\nusage: kx48zz-tool awg [--russian] FILE.kxg\n",
                argv[i]);
            return 2;
        }
    }
    if (!script) {
        std::fprintf(stderr, "usage: kx48zz-tool awg [--russian] FILE.kxg\n");
        return 2;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(script, ec)) {
        std::fprintf(stderr, "kx48zz-tool awg: %s is a folder, not a script\n", script);
        return 2;
    }

    const auto result = generator::compileAwgFile(script, {true, russian});
    if (result.fileNotFound) {
        std::fprintf(stderr, "kx48zz-tool awg: %s\n", plainLines(result.message).c_str());
        return 2;
    }

    // The listing goes beside the program, as the main program does; a read-only install
    // folder sends it beside the script instead.
    auto listing = programFolder() / generator::kAwgListingName;
    if (!generator::saveAwgListing(listing.string(), result.listing)) {
        const auto fallback =
            std::filesystem::absolute(script, ec).parent_path() / generator::kAwgListingName;
        if (!generator::saveAwgListing(fallback.string(), result.listing)) {
            std::fprintf(stderr, "kx48zz-tool awg: can't write the listing to %s or %s\n", listing.c_str(),
                         fallback.c_str());
        } else {
            std::fprintf(stderr, "kx48zz-tool awg: %s is not writable; listing written to %s\n",
                         listing.parent_path().c_str(), fallback.c_str());
        }
    }

    std::printf("%s\n", plainLines(result.report).c_str());
    return result.ok ? 0 : 1;
}

} // namespace kx::tool
