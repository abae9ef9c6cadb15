// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A frame built by hand and a folder for the files the exports write.
#include "core/FrameRecord.h"
#include "files/ExportFrame.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace kx::files::test {

class ExportFixture : public ::testing::Test {
protected:
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();
    std::filesystem::path dir;

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("kx_export_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        frame->clear();
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string path(const char* name) const { return (dir / name).string(); }

    // Periods in picoseconds; `mask` the channels present; counts of analog samples (digital:
    // analog x samplePs / digitalPs).
    void shape(std::uint64_t samplePs, std::uint64_t digitalPs, std::uint32_t analogCount, std::uint32_t mask,
               bool peak = false) {
        auto& h = frame->header;
        h.set64(core::fh::SamplePeriodPs, samplePs);
        h.set64(core::fh::DigitalPeriodPs, digitalPs);
        h[core::fh::AnalogCount] = analogCount;
        h[core::fh::DigitalCount] = static_cast<std::uint32_t>(analogCount * (samplePs / digitalPs));
        h[core::fh::CaptureLength] = analogCount;
        h[core::fh::ChannelMask] = mask;
        h[core::fh::PeakDetect] = peak ? 1 : 0;
        h[core::fh::ScaleA1] = 1'000'000; // 1 V/div: one 8-bit step is 31.25 mV
        h[core::fh::ZeroA1] = 0x8000;
        h[core::fh::ScaleA2] = 50'000;
        h[core::fh::ZeroA2] = 0x4000;
    }
    void set(core::Channel c, std::size_t i, std::int32_t lo, std::int32_t hi) {
        frame->channels.minOf(c)[i] = lo;
        frame->channels.maxOf(c)[i] = hi;
    }
    void set(core::Channel c, std::size_t i, std::int32_t v) { set(c, i, v, v); }

    static std::string slurp(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

inline ChannelSet only(std::initializer_list<core::Channel> channels) {
    ChannelSet s{};
    for (core::Channel c : channels) s[static_cast<std::size_t>(c)] = true;
    return s;
}

} // namespace kx::files::test
