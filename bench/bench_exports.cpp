// SPDX-License-Identifier: GPL-3.0-or-later
// Exports of a full frame (40 000 points, six channels, peak detector) and the binary recorder's
// append per frame, with the allocations it makes.
#include "files/ExportFrame.h"
#include "files/FileOutput.h"
#include "files/InterchangeExport.h"
#include "files/RecorderFile.h"
#include "files/TextExport.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <numbers>
#include <vector>

namespace {

// Counts operator new calls, so the benchmark shows that an append allocates nothing.
std::atomic<std::size_t> g_allocations{0};

} // namespace

[[gnu::noinline]] void* operator new(std::size_t n) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace kx;
namespace fh = core::fh;

constexpr int kPoints = 40000;

// Averaged-looking analog codes (thousands of distinct values), clocks on the logic inputs.
std::unique_ptr<core::FrameRecord> fullFrame() {
    auto frame = std::make_unique<core::FrameRecord>();
    frame->clear();
    auto& h = frame->header;
    h.set64(fh::SamplePeriodPs, 5000);
    h.set64(fh::DigitalPeriodPs, 5000);
    h[fh::ScaleA1] = h[fh::ScaleA2] = 1'000'000;
    h[fh::ZeroA1] = h[fh::ZeroA2] = 0x8000;
    h[fh::CaptureLength] = h[fh::AnalogCount] = h[fh::DigitalCount] = kPoints;
    h[fh::PreTrigger] = kPoints / 2;
    h[fh::ChannelMask] = 0x3F;
    h[fh::PeakDetect] = 1;
    for (int k = 0; k < kPoints; ++k) {
        const double t = 2 * std::numbers::pi * k / 1500.0;
        const int noise = (k * 7919) % 601 - 300;
        const auto a1 = static_cast<std::int32_t>(0x8000 + 14000 * std::sin(t) + noise);
        const auto a2 = static_cast<std::int32_t>(0x8000 + 9000 * std::sin(3.1 * t) - noise);
        frame->channels.min[0][k] = a1 - 150;
        frame->channels.max[0][k] = a1 + 150;
        frame->channels.min[1][k] = a2 - 40;
        frame->channels.max[1][k] = a2 + 40;
        for (int d = 0; d < 4; ++d) {
            frame->channels.min[2 + d][k] = ((k >> (4 + 2 * d)) & 1) * 256;
            frame->channels.max[2 + d][k] = ((k >> (3 + 2 * d)) & 1) * 256;
        }
    }
    return frame;
}

std::string scratchPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

// "Text...": building the text and writing the file, as the item does.
void BM_TextExportFullFrame(benchmark::State& st) {
    const auto frame = fullFrame();
    const std::string path = scratchPath("kx_bench_text.txt");
    std::size_t bytes = 0;
    for (auto _ : st) {
        std::string text;
        files::buildTextExport(*frame, files::kAllChannels, '.', text);
        if (!files::writeWholeFile(path, text)) st.SkipWithError("cannot write the scratch file");
        bytes = text.size();
    }
    st.counters["bytes"] = static_cast<double>(bytes);
    std::filesystem::remove(path);
}

void BM_CsvExportFullFrame(benchmark::State& st) {
    const auto frame = fullFrame();
    for (auto _ : st) {
        std::string text;
        files::buildCsvExport(*frame, files::kAllChannels, text);
        benchmark::DoNotOptimize(text.data());
    }
}

// The recorder's append of one frame's values (0.1 s/div: about 200 per 40 ms frame; 20 000 at
// the most a full slow ring gives).
void BM_RecorderAppend(benchmark::State& st) {
    const std::vector<std::int16_t> values(static_cast<std::size_t>(st.range(0)), 1234);
    const std::string path = scratchPath("kx_bench_recorder.bin");
    auto recorder = std::make_unique<files::BinaryRecorder>();
    if (!recorder->start(path)) st.SkipWithError("cannot create the scratch file");
    recorder->append(values, 0);
    const std::size_t before = g_allocations.load();
    std::size_t frames = 0;
    for (auto _ : st) {
        recorder->append(values, 0);
        ++frames;
    }
    st.counters["allocs_per_frame"] =
        frames ? static_cast<double>(g_allocations.load() - before) / static_cast<double>(frames) : 0;
    recorder->stop();
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK(BM_TextExportFullFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvExportFullFrame)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecorderAppend)->Arg(200)->Arg(20000)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
