// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated generator: what one full record (40 000 samples) of its output costs per function,
// and what starting an AWG program costs.
#include "Factory.h"
#include "Generator.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace kx::sim;

namespace {

constexpr std::size_t kRecord = 40000;

struct Image {
    RegisterFile r{};
    void set(std::size_t off, std::uint64_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            r[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }
};

std::uint64_t wordOf(double hertz) {
    return static_cast<std::uint64_t>(std::llround(hertz * 281474976710656.0 / 400e6));
}

// func, shape register, depth word; 1 kHz carrier, 100 Hz modulation.
Image image(unsigned func, unsigned shape, std::uint64_t step) {
    Image i;
    i.r[reg::kA2Gain] = 9;
    i.set(reg::kGenLoad, 4194, 2);
    i.set(reg::kGenAwgMark, kAwgNoMark, 2);
    i.set(reg::kGenOffset, 32768, 2);
    i.set(reg::kGenAmp, 2000, 2);
    i.r[reg::kGenFunc] = static_cast<std::uint8_t>(func);
    i.r[reg::kGenShape] = static_cast<std::uint8_t>(shape);
    i.set(reg::kGenFreq, wordOf(1000.0), 6);
    i.set(reg::kGenModFreq, wordOf(100.0), 6);
    i.set(reg::kGenStep, step, 6);
    i.set(reg::kGenAwgDiv, 9, 4);
    return i;
}

void record(benchmark::State& state, const Image& i) {
    const Factory factory;
    Generator g;
    std::vector<std::uint8_t> awg(4096);
    // Staircase: OUT 0, DIFF 1000 x 3, JMP 0.
    const std::uint16_t program[] = {0, (1u << 12) | 1000u, (1u << 12) | 1000u, (1u << 12) | 1000u, 9u << 12};
    for (std::size_t k = 0; k < 5; ++k) {
        awg[2 * k] = static_cast<std::uint8_t>(program[k]);
        awg[2 * k + 1] = static_cast<std::uint8_t>(program[k] >> 8);
    }
    g.programWritten(awg, 0);
    g.configure(i.r, factory, 0, {5000, static_cast<std::int64_t>(kRecord)});
    Picoseconds t0 = 1'000'000'000;
    for (auto _ : state) {
        double sum = 0.0;
        for (std::size_t k = 0; k < kRecord; ++k) sum += g.volts(t0 + static_cast<Picoseconds>(k) * 5000);
        benchmark::DoNotOptimize(sum);
        t0 += kRecord * 5000;
    }
    state.SetItemsProcessed(state.iterations() * static_cast<long>(kRecord));
}

void BM_RecordSine(benchmark::State& s) {
    record(s, image(0, 0x28, 0));
}
void BM_RecordSweep(benchmark::State& s) {
    record(s, image(1, 0x28, 1000));
}
void BM_RecordAmSine(benchmark::State& s) {
    record(s, image(2, 0x00, 8000));
}
void BM_RecordFmSine(benchmark::State& s) {
    record(s, image(3, 0x00, 3000));
}
void BM_RecordFmNoise(benchmark::State& s) {
    record(s, image(3, 0x38, 3000));
}
void BM_RecordAwg(benchmark::State& s) {
    record(s, image(6, 0x80 | 0x28, 0));
}

// RUN of a program whose state comes round only after 4095 x 100 steps.
void BM_AwgRunNestedLoops(benchmark::State& state) {
    AwgProgram p{};
    p[0] = (5u << 12) | 4095u; // REPEAT 4095
    p[1] = (5u << 12) | 100u;  // REPEAT 100
    p[2] = (1u << 12) | 1u;    // DIFF 1
    p[3] = (6u << 12);         // ENDREP 0
    p[4] = (6u << 12);         // ENDREP 0
    AwgTiming timing;
    for (auto _ : state) {
        AwgSequencer s;
        s.run(p, timing, 0);
        benchmark::DoNotOptimize(s.cycleClocks());
    }
}

} // namespace

BENCHMARK(BM_RecordSine);
BENCHMARK(BM_RecordSweep);
BENCHMARK(BM_RecordAmSine);
BENCHMARK(BM_RecordFmSine);
BENCHMARK(BM_RecordFmNoise);
BENCHMARK(BM_RecordAwg);
BENCHMARK(BM_AwgRunNestedLoops);
BENCHMARK_MAIN();
