// SPDX-License-Identifier: GPL-3.0-or-later
// Per-frame drawing of the signal area on a large plot: signal-area and readout update of a
// full 40 000-point frame with all six channels, and one persistence fade step.
#include "display/Colors.h"
#include "display/FrameView.h"
#include "display/Persistence.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <numbers>

namespace {

// Counts operator new calls, so the benchmark shows that a frame allocates nothing.
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

constexpr int kPaintWidth = 1864; // gives an 1800 x 896 plot
constexpr int kPaintHeight = 1010;
constexpr int kPoints = 40000;

struct Scene {
    std::unique_ptr<display::FrameView> view = std::make_unique<display::FrameView>();
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    core::InstrumentState state;
    core::DerivedQuantities derived;
    display::LinkView link{.deviceReady = true, .statusPackets = 7, .framesAssembled = 3};

    Scene(int drawMode, std::int64_t timeDivNs) {
        view->setPaintBoxSize(kPaintWidth, kPaintHeight);
        auto& h = frame->header;
        h.set64(fh::SamplePeriodPs, 5000);
        h.set64(fh::DigitalPeriodPs, 5000);
        h[fh::ScaleA1] = h[fh::ScaleA2] = 1'000'000;
        h[fh::ZeroA1] = h[fh::ZeroA2] = 0x8000;
        h[fh::CaptureLength] = h[fh::AnalogCount] = h[fh::DigitalCount] = h[fh::TriggerIndex] = kPoints;
        h[fh::PreTrigger] = kPoints / 2;
        h[fh::ChannelMask] = 0x3F;
        h[fh::TriggerSource] = 1;
        h[fh::TriggerLevelCode] = 0xC000;
        for (int k = 0; k < kPoints; ++k) {
            // Noisy sines on the analog inputs, clocks of different rates on the logic inputs.
            const double t = 2 * std::numbers::pi * k / 1500.0;
            const int noise = (k * 7919) % 601 - 300;
            const auto a1 = static_cast<std::int32_t>(0x8000 + 14000 * std::sin(t) + noise);
            const auto a2 = static_cast<std::int32_t>(0x8000 + 9000 * std::sin(3.1 * t) - noise);
            frame->channels.min[0][k] = a1 - 150;
            frame->channels.max[0][k] = a1 + 150;
            frame->channels.min[1][k] = frame->channels.max[1][k] = a2;
            for (int d = 0; d < 4; ++d)
                frame->channels.min[2 + d][k] = frame->channels.max[2 + d][k] =
                    ((k >> (4 + 2 * d)) & 1) * 256;
        }

        state.scope.A2.shown = true;
        state.scope.Running = true;
        state.display.cursors = core::CursorMode::Double;
        derived.TimeDivNs = timeDivNs;
        derived.DrawMode = drawMode;
    }

    void update() {
        view->signalAreaUpdate(state, derived, *frame, link);
        view->readoutUpdate(state, derived, *frame, link);
    }
};

void frameUpdate(benchmark::State& st, int drawMode, std::int64_t timeDivNs, bool persistence) {
    Scene scene(drawMode, timeDivNs);
    scene.state.display.Persistence = persistence;
    scene.update(); // the first frame may set up what later frames reuse
    const std::size_t before = g_allocations.load();
    std::size_t frames = 0;
    for (auto _ : st) {
        scene.update();
        benchmark::DoNotOptimize(scene.view->screenBitmap().constBits());
        ++frames;
    }
    st.counters["allocs_per_frame"] =
        frames ? static_cast<double>(g_allocations.load() - before) / static_cast<double>(frames) : 0;
}

// 20 us/div: the whole 40 000-point record on the plot, 22 samples per pixel column.
void BM_FrameUpdateVectors(benchmark::State& st) {
    frameUpdate(st, 1, 20'000, false);
}
// 1 us/div: 0.9 pixels per sample, interpolated ten times between samples.
void BM_FrameUpdateSinx(benchmark::State& st) {
    frameUpdate(st, 2, 1'000, false);
}
void BM_FrameUpdatePersistence(benchmark::State& st) {
    frameUpdate(st, 1, 20'000, true);
}

// Persistence bitmap after a few frames of traces, re-coloured once per iteration; the
// content is restored outside the timing so that every step works on fading pixels.
void fadeStep(benchmark::State& st, bool fullyCovered) {
    Scene scene(1, 20'000);
    scene.state.display.Persistence = true;
    for (int i = 0; i < 8; ++i) {
        scene.state.scope.A1.Zero += 2000;
        scene.view->requestFadeStep();
        scene.update();
    }
    QImage content = scene.view->persistenceBitmap().copy();
    if (fullyCovered) content.fill(display::toQRgb(scene.state.display.colors.ColorA2));
    QImage work = content.copy();
    const auto palette = display::buildFadePalette(scene.state.display.colors);
    int sinceRestore = 0;
    for (auto _ : st) {
        if (++sinceRestore == 10) {
            st.PauseTiming();
            work = content.copy();
            sinceRestore = 0;
            st.ResumeTiming();
        }
        display::persistenceFadeStep(work, palette);
        benchmark::DoNotOptimize(work.constBits());
    }
}
void BM_FadeStepTraces(benchmark::State& st) {
    fadeStep(st, false);
}
void BM_FadeStepFull(benchmark::State& st) {
    fadeStep(st, true);
}

void configure(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_FrameUpdateVectors)->Apply(configure);
BENCHMARK(BM_FrameUpdateSinx)->Apply(configure);
BENCHMARK(BM_FrameUpdatePersistence)->Apply(configure);
BENCHMARK(BM_FadeStepTraces)->Apply(configure);
BENCHMARK(BM_FadeStepFull)->Apply(configure);

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
