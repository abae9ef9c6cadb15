// SPDX-License-Identifier: GPL-3.0-or-later
#include "AssemblyFixture.h"

namespace kx::acquisition::test {

AssemblyFixture::AssemblyFixture() {
    frame->clear();
    setDecimation(1);
}

void AssemblyFixture::setWord16(std::size_t at, std::uint32_t v) {
    info[at] = static_cast<std::uint8_t>(v);
    info[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void AssemblyFixture::setLength(std::uint32_t pre, std::uint32_t post) {
    setWord16(info::PreTrigger, pre);
    setWord16(info::PostTrigger, post);
}

void AssemblyFixture::setDecimation(std::uint32_t d) {
    setWord16(info::Decimation, d & 0xFFFF);
    setWord16(info::Decimation + 2, d >> 16);
}

AssemblyStatus AssemblyFixture::assemble() {
    return assembleFrame(info, blockA, blockB, ctx, *work, *frame);
}

} // namespace kx::acquisition::test
