// SPDX-License-Identifier: GPL-3.0-or-later
// Parser throughput on a stream like the instrument's: data packets of a four-channel frame with
// a status packet now and then, handed over in driver-sized reads.
#include "core/Crc16.h"
#include "device/FrameCodec.h"
#include "device/LinkPolicy.h"
#include "device/PacketParser.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

std::atomic<long> g_allocations{0};

using kx::device::kPreamble;

void appendPacket(std::vector<std::uint8_t>& out, std::uint8_t header, std::size_t body,
                  std::uint32_t& seed) {
    out.insert(out.end(), kPreamble.begin(), kPreamble.end());
    const std::size_t from = out.size();
    out.push_back(header);
    for (std::size_t i = 0; i < body; ++i) {
        seed = seed * 1664525u + 1013904223u;
        out.push_back(static_cast<std::uint8_t>(seed >> 24));
    }
    if (header != kx::device::kStatusHeader) out[out.size() - kx::device::kInfoBlockSize + 35] = 0;
    const std::uint16_t crc = kx::core::crc16(std::span(out).subspan(from));
    out.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    out.push_back(static_cast<std::uint8_t>(crc >> 8));
}

std::vector<std::uint8_t> makeStream(std::uint8_t header, std::uint32_t points) {
    std::vector<std::uint8_t> s;
    std::uint32_t seed = 1;
    const auto sizes = kx::device::dataBlockSizes(header, points);
    for (int i = 0; i < 40; ++i) {
        appendPacket(s, header, sizes.a + sizes.b + kx::device::kInfoBlockSize, seed);
        if (i % 8 == 0) appendPacket(s, kx::device::kStatusHeader, kx::device::kStatusBodySize, seed);
    }
    return s;
}

void BM_ParserStream(benchmark::State& state) {
    const auto header = static_cast<std::uint8_t>(state.range(0));
    const auto points = static_cast<std::uint32_t>(state.range(1));
    const std::vector<std::uint8_t> stream = makeStream(header, points);
    kx::device::RequestFlags flags;
    flags.Running = true;
    kx::device::StatusBoard board;
    kx::device::LinkPolicy policy(flags, board);
    kx::device::PacketParser parser(policy);
    parser.setPointsPerChannel(points);
    std::size_t accepted = 0;
    const long before = g_allocations.load();
    for (auto _ : state) {
        for (std::size_t at = 0; at < stream.size(); at += 65000) {
            const std::size_t n = std::min<std::size_t>(65000, stream.size() - at);
            accepted += parser.feed(std::span(stream).subspan(at, n));
        }
    }
    const long allocations = g_allocations.load() - before;
    const auto counts = parser.takeCounts();
    if (counts.crcErrors != 0 || accepted == 0) state.SkipWithError("stream not parsed cleanly");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(stream.size()));
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["packets"] =
        benchmark::Counter(static_cast<double>(accepted), benchmark::Counter::kIsRate);
}
// Two analog and four digital channels of 5000 points; two analog channels of 40 000 points.
BENCHMARK(BM_ParserStream)->Args({0x17, 5000})->Args({0x03, 40000});

} // namespace

// Counts every allocation, so the run shows that parsing allocates nothing.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

BENCHMARK_MAIN();
