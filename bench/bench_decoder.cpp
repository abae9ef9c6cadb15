// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/Rs232Decoder.h"
#include "decoders/SerialDecoder.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string_view>
#include <vector>

using namespace kx::decoders;

namespace {

// A full-length digital line carrying back-to-back 8N1 text at 10 samples per bit.
struct Line {
    std::vector<std::int32_t> min;
    std::vector<std::int32_t> max;

    explicit Line(std::size_t n) {
        constexpr std::string_view kText = "Hello from KX48zz\r\n";
        std::vector<int> bits(20, 1);
        while (bits.size() * 10 < n) {
            for (char c : kText) {
                bits.push_back(0);
                for (int k = 0; k < 8; ++k) bits.push_back((static_cast<unsigned char>(c) >> k) & 1);
                bits.push_back(1);
            }
        }
        min.resize(n);
        max.resize(n);
        for (std::size_t i = 0; i < n; ++i) min[i] = max[i] = bits[i / 10] ? 256 : 0;
    }
};

void BM_DecodeRs232(benchmark::State& state) {
    const Line line(40000);
    auto out = std::make_unique<DecodedLine>();
    const Rs232Line input{line.min, line.max, 1000000, 96, 160, false};
    Rs232Format format;
    format.baudRate = 100000;
    for (auto _ : state) {
        decodeRs232(input, format, *out);
        benchmark::DoNotOptimize(out->count);
    }
    state.counters["chars"] = out->count;
}
BENCHMARK(BM_DecodeRs232)->Unit(benchmark::kMicrosecond);

// The per-frame step: both lines of a full frame decoded and the listing rebuilt in its kept
// storage (the same text every frame, as on a steady signal).
void BM_PerFrameStep(benchmark::State& state) {
    const Line line(40000);
    DecoderFrame frame;
    frame.captureLength = 40000;
    frame.channelMask = 0x3F;
    frame.channelShown.fill(true);
    frame.digitalCount = 40000;
    frame.digitalPeriodPs = 1000000;
    for (std::size_t c = 2; c < 4; ++c) {
        frame.min[c] = line.min;
        frame.max[c] = line.max;
    }
    Rs232Settings settings;
    settings.type = 1;
    settings.format.baudRate = 100000;
    settings.rxdSource = kSourceD1;
    settings.txdSource = kSourceD1 + 1;
    settings.display = static_cast<DecoderDisplay>(state.range(0));
    auto decoder = std::make_unique<SerialDecoder>();
    for (auto _ : state) {
        decoder->step(settings, frame, false);
        benchmark::DoNotOptimize(decoder->listingRevision());
    }
    state.counters["chars"] = decoder->rxd().count + decoder->txd().count;
}
BENCHMARK(BM_PerFrameStep)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
