// SPDX-License-Identifier: GPL-3.0-or-later
// One frame of the spectrum view: the spectrum of 32768 points with a 16-frame average, its
// conversion to screen codes and the trace drawn into an 1800 x 896 plot.
#include "display/ScreenGeometry.h"
#include "display/SpectrumProcessor.h"
#include "display/TraceRenderer.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <numbers>

namespace {
std::atomic<std::size_t> g_allocations{0};
} // namespace

void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace kx;
namespace fh = core::fh;

void BM_SpectrumViewFrame(benchmark::State& st) {
    const display::ScreenGeometry g = display::computeGeometry(1864, 1010);
    QImage screen(1864, 1010, QImage::Format_RGB32);
    auto renderer = std::make_unique<display::TraceRenderer>();
    auto spectra = std::make_unique<display::SpectrumProcessor>();
    auto frame = std::make_unique<core::FrameRecord>();
    frame->clear();
    auto& h = frame->header;
    h.set64(fh::SamplePeriodPs, 5000);
    h[fh::AnalogCount] = h[fh::CaptureLength] = 40000;
    h[fh::ScaleA1] = 1000000;
    h[fh::ChannelMask] = 1;
    for (int k = 0; k < 40000; ++k)
        frame->channels.min[0][static_cast<std::size_t>(k)] = static_cast<std::int32_t>(
            0x8000 + 8000 * std::sin(2 * std::numbers::pi * 0.0123 * k) + (k * 7919 % 61) - 30);
    core::FftState fft;
    fft.View_A1 = true;
    fft.Size = 5;
    fft.Ave_On = true;
    fft.Ave = 3;
    const display::FftStates states{display::kFftShown, display::kFftOff};
    auto frameStep = [&] {
        spectra->compute(fft, states, h, frame->channels);
        const display::SpectrumTrace trace = spectra->displayTrace(0, fft, h, 1e6);
        display::TraceParams p;
        p.x0 = g.PlotLeft;
        p.y0 = g.PlotTop;
        p.min = p.max = trace.codes;
        p.count = trace.bins;
        p.color = 0x00FFFF;
        p.pixelsPerSample = static_cast<double>(g.PlotWidth) / trace.bins;
        renderer->draw(screen, g, 0, p);
    };
    frameStep();
    const std::size_t before = g_allocations.load();
    std::size_t frames = 0;
    for (auto _ : st) {
        frameStep();
        benchmark::DoNotOptimize(screen.constBits());
        ++frames;
    }
    st.counters["allocs_per_frame"] =
        frames ? static_cast<double>(g_allocations.load() - before) / static_cast<double>(frames) : 0;
    st.counters["plot_w"] = g.PlotWidth;
    st.counters["plot_h"] = g.PlotHeight;
}
BENCHMARK(BM_SpectrumViewFrame)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
