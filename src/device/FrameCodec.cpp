// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/FrameCodec.h"

#include "core/Crc16.h"

namespace kx::device {

std::size_t buildWriteFrame(std::span<const WriteBlock> blocks, std::span<std::uint8_t> out) {
    std::size_t body = 2; // length byte and block count
    for (const auto& b : blocks) {
        if (b.data.empty() || b.data.size() > 255) return 0;
        body += 3 + b.data.size();
    }
    if (blocks.size() > 255 || body - 1 > 255 || out.size() < body + 2) return 0;
    std::size_t at = 0;
    out[at++] = static_cast<std::uint8_t>(body - 1);
    out[at++] = static_cast<std::uint8_t>(blocks.size());
    for (const auto& b : blocks) {
        out[at++] = static_cast<std::uint8_t>(b.data.size());
        out[at++] = static_cast<std::uint8_t>(b.address & 0xFF);
        out[at++] = static_cast<std::uint8_t>(b.address >> 8);
        for (const std::uint8_t v : b.data) out[at++] = v;
    }
    const std::uint16_t crc = core::crc16(out.first(at));
    out[at++] = static_cast<std::uint8_t>(crc & 0xFF);
    out[at++] = static_cast<std::uint8_t>(crc >> 8);
    return at;
}

BlockSizes dataBlockSizes(std::uint8_t header, std::uint32_t points) {
    const std::uint64_t n = points;
    BlockSizes s;
    if (header & 0x01) s.a += n;
    if (header & 0x02) s.a += n;
    for (const std::uint8_t bit : {std::uint8_t{0x04}, std::uint8_t{0x08}}) {
        if (!(header & bit)) continue;
        if (header & 0x10)
            s.b += 2 * n;
        else
            s.a += n / 4;
    }
    if (header & 0x20) s.a *= 4;
    return s;
}

} // namespace kx::device
