// SPDX-License-Identifier: GPL-3.0-or-later
// Assembly of a 40 000-point frame with A1, D1 and D2; reports allocations per frame.
// Counting operator new pairs malloc with the library's free-based delete, which GCC cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include "acquisition/InfoBlock.h"
#include "acquisition/WaveformAssembly.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

namespace {
std::atomic<std::size_t> gAllocations{0};
} // namespace

void* operator new(std::size_t n) {
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}

namespace {

using namespace kx::acquisition;

void BM_AssembleA1D1D2(benchmark::State& state) {
    std::vector<std::uint8_t> info(info::kSize, 0);
    info[info::Decimation] = 1;
    info[info::PreTrigger] = 0x20; // 20 000 + 20 000
    info[info::PreTrigger + 1] = 0x4E;
    info[info::PostTrigger] = 0x20;
    info[info::PostTrigger + 1] = 0x4E;
    info[info::ChannelMask] = info::kMaskA1 | info::kMaskD12;
    info[info::ChannelFlags] = 0x80; // triggered on A1: the sub-sample search runs too
    info[info::A1Upper] = 128;
    std::vector<std::uint8_t> blockA(40000 + 10000);
    for (std::size_t i = 0; i < blockA.size(); ++i) blockA[i] = static_cast<std::uint8_t>(i * 37);
    const std::vector<std::uint8_t> blockB;
    AssemblyContext ctx;
    ctx.preTrigger = 20000;
    auto work = std::make_unique<AssemblyWorkspace>();
    auto frame = std::make_unique<kx::core::FrameRecord>();
    frame->clear();

    const std::size_t before = gAllocations.load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(assembleFrame(info, blockA, blockB, ctx, *work, *frame));
        benchmark::ClobberMemory();
    }
    state.counters["allocations_per_frame"] =
        static_cast<double>(gAllocations.load() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_AssembleA1D1D2)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
