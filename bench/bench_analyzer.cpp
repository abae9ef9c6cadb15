// SPDX-License-Identifier: GPL-3.0-or-later
// The analyzer hook of assembly on a 10 000-point sweep: decoding, point frequencies and the
// interpolated correction, for the network (kind 1) and the antenna analyzer (kind 2).
#include "analyzers/AnalyzerFrame.h"
#include "analyzers/AntennaAnalyzer.h"
#include "analyzers/NetworkAnalyzer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <memory>
#include <vector>

namespace {

using namespace kx;

void fill(core::FrameRecord& f, int kind) {
    f.clear();
    auto& h = f.header;
    h[core::fh::AnalyzerMode] = static_cast<std::uint32_t>(kind);
    h[core::fh::CaptureLength] = 10000;
    h[core::fh::AnalogCount] = 10000;
    h[core::fh::PreTrigger] = 0;
    h.set64(core::fh::SweepStart, 10000000);       // 10 kHz in mHz
    h.set64(core::fh::SweepSpan, 100000000000ull); // 100 MHz
    h[core::fh::GenAmplitudeWord] = 2000;
    h[core::fh::ScaleA1] = 500000;
    for (std::size_t i = 0; i < 10000; ++i) {
        f.channels.min[0][i] = f.channels.max[0][i] = static_cast<std::int32_t>(20000 + i % 9000);
        f.channels.min[1][i] = f.channels.max[1][i] = static_cast<std::int32_t>(40000 - i % 7000);
        for (std::size_t d = 2; d < 6; ++d) {
            f.channels.min[d][i] = (i + d) % 3 == 0 ? 256 : 0;
            f.channels.max[d][i] = (i + d) % 5 == 0 ? 256 : 0;
        }
    }
}

void BM_AnalyzerFrame(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    auto frame = std::make_unique<core::FrameRecord>();
    fill(*frame, kind);
    std::vector<std::complex<double>> reference(1000);
    for (std::size_t i = 0; i < reference.size(); ++i)
        reference[i] = std::polar(0.35, -0.001 * static_cast<double>(i));
    const auto network = analyzers::buildNetworkCorrection(reference, false, 10000, 100000000);
    const auto antenna = analyzers::buildAntennaTerms(reference, reference, reference, 10000, 100000000);
    analyzers::AnalyzerCorrections c{&network, true, &antenna, true};
    for (auto _ : state) {
        analyzers::ProcessAnalyzerFrame(frame->header, frame->channels, c, frame->points);
        benchmark::DoNotOptimize(frame->points.re[9999]);
    }
}
BENCHMARK(BM_AnalyzerFrame)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
