// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"
#include "ToolSupport.h"

#include "decoders/DecoderFrame.h"
#include "decoders/DecoderListing.h"
#include "files/DataFile.h"
#include "files/Exports.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>

namespace kx::tool {
namespace {

struct Override {
    const char* flag;
    std::int32_t core::DecoderState::*field;
};

} // namespace

int cmdDecode(int argc, char** argv) {
    const char* path = nullptr;
    const char* csv = nullptr;
    long long baud = -1;
    bool msb = false;
    static constexpr Override kOverrides[] = {
        {"--bits", &core::DecoderState::Data_Bits}, {"--parity", &core::DecoderState::PRTY},
        {"--stop", &core::DecoderState::Stop_Bits}, {"--rxd", &core::DecoderState::RXD},
        {"--txd", &core::DecoderState::TXD},        {"--display", &core::DecoderState::Display},
    };
    // One slot per option: a repeated option replaces its earlier value.
    struct Pending {
        bool given = false;
        long long value = 0;
    } pending[std::size(kOverrides)];

    for (int i = 0; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--msb")) {
            msb = true;
            continue;
        }
        if (!std::strcmp(a, "--csv")) {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "kx48zz-tool decode: --csv needs a file name\n");
                return 2;
            }
            csv = argv[++i];
            continue;
        }
        if (!std::strcmp(a, "--baud")) {
            if (i + 1 >= argc || !parseInt(argv[++i], baud) || baud < 2) {
                std::fprintf(stderr, "kx48zz-tool decode: --baud needs a bit rate of at least 2\n");
                return 2;
            }
            continue;
        }
        bool matched = false;
        for (std::size_t k = 0; k < std::size(kOverrides) && !matched; ++k) {
            const Override& o = kOverrides[k];
            if (std::strcmp(a, o.flag)) continue;
            long long v;
            if (i + 1 >= argc || !parseInt(argv[++i], v) || v < INT32_MIN || v > INT32_MAX) {
                std::fprintf(stderr, "kx48zz-tool decode: %s needs a whole number\n", o.flag);
                return 2;
            }
            pending[k] = {true, v};
            matched = true;
        }
        if (matched) continue;
        if (a[0] == '-' || path) {
            std::fprintf(stderr, "usage: kx48zz-tool decode FILE.kxd [--baud N] [--bits N] [--parity N] "
                                 "[--stop N] [--msb] [--rxd N] [--txd N] [--display N] [--csv OUT.csv]\n");
            return 2;
        }
        path = a;
    }
    if (!path) {
        std::fprintf(stderr, "usage: kx48zz-tool decode FILE.kxd [options]\n");
        return 2;
    }

    auto file = std::make_unique<LoadedDataFile>();
    if (!loadDataFile(path, *file)) return 1;
    auto& dec = file->state.decoder;
    dec.Type = 1;
    if (baud > 0) dec.Baud_Rate = baud;
    if (msb) dec.MSB_First = 1;
    for (std::size_t k = 0; k < std::size(kOverrides); ++k)
        if (pending[k].given) dec.*(kOverrides[k].field) = static_cast<std::int32_t>(pending[k].value);

    const auto settings = decoders::rs232Settings(dec);
    const auto frame = decoders::decoderFrameOf(*file->frame, file->state);
    auto rxd = std::make_unique<decoders::DecodedLine>();
    auto txd = std::make_unique<decoders::DecodedLine>();
    if (!decoders::decodeFrame(settings, frame, *rxd, *txd)) {
        std::fprintf(stderr, "kx48zz-tool decode: the file holds no samples to decode\n");
        return 1;
    }
    if (csv != nullptr) {
        const auto& h = file->frame->header;
        const files::DecodedTraffic traffic{
            rxd->view(), txd->view(), files::decodedLineTiming(h, settings.rxdSource),
            files::decodedLineTiming(h, settings.txdSource), settings.format.dataBits};
        FixedPathPrompt prompt(csv);
        std::string lastDir;
        files::DataFileNames names;
        files::ExportContext context{prompt, false, lastDir, names, '.'};
        if (files::ExportDecodedCsv(context, traffic) != files::ExportStatus::Written) return 1;
        std::printf("wrote %s\n", prompt.chosen().c_str());
        return 0;
    }
    const auto lines =
        decoders::decodedText(rxd->view(), txd->view(), settings.display, settings.format.dataBits, false);
    for (const auto& l : lines) std::printf("%s\n", l.c_str());
    return 0;
}

} // namespace kx::tool
