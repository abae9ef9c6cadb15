// SPDX-License-Identifier: GPL-3.0-or-later
// export: writes what an item of File > Export writes for the frame of a data file. Every channel
// the file holds counts as shown; the save dialog is answered with the file named here.
#include "Commands.h"
#include "ExportImage.h"
#include "ToolSupport.h"

#include "files/DataFile.h"
#include "files/Exports.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace kx::tool {
namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: kx48zz-tool export FILE.kxd --image OUT.png|OUT.bmp | --text OUT.txt |\n"
                 "       --raw A1|A2|D1|D2|D3|D4 OUT.bin | --csv OUT.csv | --vcd OUT.vcd | --sr OUT.sr\n");
    return 2;
}

enum class Kind { Image, Text, Raw, Csv, Vcd, Sigrok };

struct Request {
    std::string input;
    Kind kind = Kind::Text;
    core::Channel channel = core::Channel::A1;
    std::string out;
};

bool channelOf(const char* name, core::Channel& c) {
    for (int i = 0; i < core::kChannelCount; ++i)
        if (files::channelName(static_cast<core::Channel>(i)) == name) {
            c = static_cast<core::Channel>(i);
            return true;
        }
    return false;
}

bool parse(int argc, char** argv, Request& r) {
    static constexpr struct {
        const char* option;
        Kind kind;
    } kOptions[] = {{"--image", Kind::Image},
                    {"--text", Kind::Text},
                    {"--csv", Kind::Csv},
                    {"--vcd", Kind::Vcd},
                    {"--sr", Kind::Sigrok}};
    bool chosen = false;
    for (int i = 0; i < argc; ++i) {
        const char* a = argv[i];
        bool matched = false;
        for (const auto& o : kOptions)
            if (!std::strcmp(a, o.option)) {
                if (chosen || i + 1 >= argc) return false;
                r.kind = o.kind;
                r.out = argv[++i];
                chosen = matched = true;
            }
        if (matched) continue;
        if (!std::strcmp(a, "--raw")) {
            if (chosen || i + 2 >= argc) return false;
            if (!channelOf(argv[i + 1], r.channel)) {
                std::fprintf(stderr, "kx48zz-tool export: unknown channel '%s' (A1, A2, D1 .. D4)\n",
                             argv[i + 1]);
                return false;
            }
            r.kind = Kind::Raw;
            r.out = argv[i + 2];
            i += 2;
            chosen = true;
        } else if (a[0] != '-' && r.input.empty()) {
            r.input = a;
        } else {
            return false;
        }
    }
    return chosen && !r.input.empty() && !r.out.empty();
}

} // namespace

int cmdExport(int argc, char** argv) {
    Request r;
    if (!parse(argc, argv, r)) return usage();

    LoadedDataFile loaded;
    if (!loadDataFile(r.input, loaded)) return 1;
    const core::FrameRecord& frame = *loaded.frame;

    FixedPathPrompt prompt(r.out);
    std::string lastDir;
    files::DataFileNames names;
    files::ExportContext context{prompt, false, lastDir, names, '.'};
    files::ExportStatus status = files::ExportStatus::Cancelled;
    switch (r.kind) {
    case Kind::Image:
        status = exportImage(context, loaded);
        break;
    case Kind::Text:
        status = files::ExportText(context, frame, files::kAllChannels);
        break;
    case Kind::Raw:
        status = files::ExportRawBinary(context, frame, r.channel);
        break;
    case Kind::Csv:
        status = files::ExportCsv(context, frame, files::kAllChannels);
        break;
    case Kind::Vcd:
        status = files::ExportVcd(context, frame, files::kAllChannels);
        break;
    case Kind::Sigrok:
        status = files::ExportSigrok(context, frame, files::kAllChannels);
        break;
    }
    switch (status) {
    case files::ExportStatus::Written:
        std::printf("wrote %s\n", prompt.chosen().c_str());
        return 0;
    case files::ExportStatus::DescriptionKept:
        std::printf("wrote %s (its existing description text was kept)\n", prompt.chosen().c_str());
        return 0;
    case files::ExportStatus::Cancelled:
        return 2; // only when this build cannot draw the picture
    default:
        return 1;
    }
}

} // namespace kx::tool
