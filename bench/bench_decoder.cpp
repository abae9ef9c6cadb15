// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/Rs232Decoder.h"

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

} // namespace

BENCHMARK_MAIN();
