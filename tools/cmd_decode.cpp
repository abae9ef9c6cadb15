// SPDX-License-Identifier: GPL-3.0-or-later
#include "Commands.h"
#include "ToolSupport.h"

#include "core/ScopeControls.h"
#include "decoders/DecoderFrame.h"
#include "decoders/DecoderListing.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace kx::tool {
namespace {

decoders::DecoderFrame decoderFrameOf(const core::FrameRecord& rec, const core::InstrumentState& s) {
    const auto& h = rec.header;
    decoders::DecoderFrame f;
    for (int c = 0; c < core::kChannelCount; ++c) {
        f.min[static_cast<std::size_t>(c)] = rec.channels.min[static_cast<std::size_t>(c)];
        f.max[static_cast<std::size_t>(c)] = rec.channels.max[static_cast<std::size_t>(c)];
    }
    f.channelMask = h[core::fh::ChannelMask];
    f.captureLength = h[core::fh::CaptureLength];
    f.analogCount = h.signedWord(core::fh::AnalogCount);
    f.digitalCount = h.signedWord(core::fh::DigitalCount);
    f.samplePeriodPs = static_cast<std::int64_t>(h.get64(core::fh::SamplePeriodPs));
    f.digitalPeriodPs = static_cast<std::int64_t>(h.get64(core::fh::DigitalPeriodPs));
    f.channelShown = {s.scope.A1.shown, s.scope.A2.shown, s.scope.CH_D1,
                      s.scope.CH_D2,    s.scope.CH_D3,    s.scope.CH_D4};
    f.a1 = decoders::analogThresholds(s.trigger.Lev_A1, s.trigger.Hyst, s.scope.A1.Zero,
                                      static_cast<double>(core::channelMicroVolts(s.scope.A1)),
                                      h.signedWord(core::fh::ScaleA1), h.signedWord(core::fh::ZeroA1));
    f.a2 = decoders::analogThresholds(s.trigger.Lev_A2, s.trigger.Hyst, s.scope.A2.Zero,
                                      static_cast<double>(core::channelMicroVolts(s.scope.A2)),
                                      h.signedWord(core::fh::ScaleA2), h.signedWord(core::fh::ZeroA2));
    return f;
}

struct Override {
    const char* flag;
    std::int32_t core::DecoderState::*field;
};

} // namespace

int cmdDecode(int argc, char** argv) {
    const char* path = nullptr;
    long long baud = -1;
    bool msb = false;
    static constexpr Override kOverrides[] = {
        {"--bits", &core::DecoderState::Data_Bits}, {"--parity", &core::DecoderState::PRTY},
        {"--stop", &core::DecoderState::Stop_Bits}, {"--rxd", &core::DecoderState::RXD},
        {"--txd", &core::DecoderState::TXD},        {"--display", &core::DecoderState::Display},
    };
    struct Pending {
        std::int32_t core::DecoderState::*field;
        long long value;
    } pending[8];
    int pendingCount = 0;

    for (int i = 0; i < argc; ++i) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--msb")) {
            msb = true;
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
        for (const auto& o : kOverrides) {
            if (std::strcmp(a, o.flag)) continue;
            long long v;
            if (i + 1 >= argc || !parseInt(argv[++i], v)) {
                std::fprintf(stderr, "kx48zz-tool decode: %s needs a whole number\n", o.flag);
                return 2;
            }
            pending[pendingCount++] = {o.field, v};
            matched = true;
        }
        if (matched) continue;
        if (a[0] == '-' || path) {
            std::fprintf(stderr, "usage: kx48zz-tool decode FILE.kxd [--baud N] [--bits N] [--parity N] "
                                 "[--stop N] [--msb] [--rxd N] [--txd N] [--display N]\n");
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
    for (int i = 0; i < pendingCount; ++i)
        file->state.decoder.*(pending[i].field) = static_cast<std::int32_t>(pending[i].value);

    const auto settings = decoders::rs232Settings(dec);
    const auto frame = decoderFrameOf(*file->frame, file->state);
    auto rxd = std::make_unique<decoders::DecodedLine>();
    auto txd = std::make_unique<decoders::DecodedLine>();
    if (!decoders::decodeFrame(settings, frame, *rxd, *txd)) {
        std::fprintf(stderr, "kx48zz-tool decode: the file holds no samples to decode\n");
        return 1;
    }
    const auto lines = decoders::decodedText(rxd->view(), txd->view(), settings.display,

                                             settings.format.dataBits, false);
    for (const auto& l : lines) std::printf("%s\n", l.c_str());
    return 0;
}

} // namespace kx::tool
