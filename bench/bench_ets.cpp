// SPDX-License-Identifier: GPL-3.0-or-later
// Equivalent-time reconstruction of one frame of four sub-records of the largest length:
// the four transforms of 32768 points, the wide spectrum, the fold and the resampling.
#include "acquisition/EtsReconstruction.h"
#include "acquisition/InfoBlock.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <memory>
#include <numbers>

namespace {

using namespace kx;

void BM_EtsReconstruction(benchmark::State& st) {
    constexpr std::size_t t = 40000;
    auto raw = std::make_unique<acquisition::RawSamples>();
    auto ets = std::make_unique<acquisition::EtsReconstruction>();
    std::array<std::uint8_t, acquisition::info::kSize> info{};
    info[acquisition::info::ChannelMask] = acquisition::info::kMaskA1 | acquisition::info::kMaskEts;
    info[acquisition::info::ChannelFlags] = 0x80;
    info[acquisition::info::A1Lower] = 120;
    info[acquisition::info::A1Upper] = 136;
    constexpr std::array<double, 4> kPeriod{5e-9, 5e-9 * 36 / 35, 5e-9 * 31 / 29, 5e-9 * 32 / 29};
    auto a1 = raw->of(core::Channel::A1);
    for (std::size_t l = 0; l < 4; ++l)
        for (std::size_t k = 0; k < t; ++k) {
            const double v = 128 + 100 * std::sin(2 * std::numbers::pi * 10e6 * (l * 1e-6 + k * kPeriod[l])) +
                             static_cast<double>((k * 7919) % 5) - 2;
            a1[l * t + k] = static_cast<std::int32_t>(std::lround(v)) << 8;
        }
    raw->filled[0] = 4 * t;
    acquisition::AssemblyContext ctx;
    ctx.fftViewA1 = true;
    ctx.fftAveragingDepth = 16;
    ctx.timeDivNs = 5;
    ctx.preDivisions = 5;
    core::FrameHeader h;
    // Kept aside: the reconstruction overwrites the first sub-record.
    std::vector<std::int32_t> first(a1.begin(), a1.begin() + t);
    const std::function<void()> none;
    for (auto _ : st) {
        ets->analyse(info, *raw, t, 1000000, 1000000, ctx, none);
        const auto out = ets->reconstruct(info, *raw, t, ctx, h);
        benchmark::DoNotOptimize(out);
        st.PauseTiming();
        std::copy(first.begin(), first.end(), a1.begin());
        st.ResumeTiming();
    }
    st.counters["reconstructed"] = h[core::fh::EtsState] == 0 && h[81] == 1000 ? 1 : 0;
}
BENCHMARK(BM_EtsReconstruction)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
