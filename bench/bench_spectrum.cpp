// SPDX-License-Identifier: GPL-3.0-or-later
#include "analyzers/SpectrumFrame.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// One frame's spectrum at 32768 points with a 16-frame moving average, as the display runs it.
void spectrum32768Averaged(benchmark::State& state) {
    constexpr int count = 40000;
    std::vector<std::int32_t> samples(count);
    for (int i = 0; i < count; ++i)
        samples[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(
            0x8000 + 8000 * std::sin(2 * std::numbers::pi * 0.0123 * i) + (i * 7919 % 61) - 30);
    kx::analyzers::SpectrumSettings settings;
    settings.sizeSetting = 5;
    settings.averaging = true;
    settings.averagingExponent = 3;
    const kx::analyzers::SpectrumFrameFacts frame{1000000, count, 0, false, 1e6};
    kx::analyzers::SpectrumChannel channel;
    kx::analyzers::computeFrameSpectrum(channel, settings, frame, samples,
                                        true); // warm-up: plans, work areas
    for (auto _ : state) {
        auto r = kx::analyzers::computeFrameSpectrum(channel, settings, frame, samples, false);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(spectrum32768Averaged)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
