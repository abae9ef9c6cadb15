// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "acquisition/InfoBlock.h"
#include "acquisition/WaveformAssembly.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace kx::acquisition::test {

// Builds an information block and the data blocks by hand, then assembles them.
class AssemblyFixture : public ::testing::Test {
protected:
    std::array<std::uint8_t, info::kSize> info{};
    std::vector<std::uint8_t> blockA;
    std::vector<std::uint8_t> blockB;
    AssemblyContext ctx;
    std::unique_ptr<AssemblyWorkspace> work = std::make_unique<AssemblyWorkspace>();
    std::unique_ptr<core::FrameRecord> frame = std::make_unique<core::FrameRecord>();

    AssemblyFixture();

    void setLength(std::uint32_t pre, std::uint32_t post);
    void setDecimation(std::uint32_t d);
    void setWord16(std::size_t at, std::uint32_t v);
    void setMask(std::uint8_t m) { info[info::ChannelMask] = m; }
    AssemblyStatus assemble();

    std::int32_t minOf(core::Channel c, std::size_t i) const { return frame->channels.minOf(c)[i]; }
    std::int32_t maxOf(core::Channel c, std::size_t i) const { return frame->channels.maxOf(c)[i]; }
    std::uint32_t word(int i) const { return frame->header[i]; }
    std::int32_t signedWord(int i) const { return frame->header.signedWord(i); }
};

} // namespace kx::acquisition::test
