// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/DataFileFormat.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace kx::files {

using core::Channel;
using core::kNoSample;
namespace fh = core::fh;

namespace {

void put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, static_cast<std::uint16_t>(v));
    put16(out, static_cast<std::uint16_t>(v >> 16));
}

// A level as the file stores it: anything above the top of the 8-bit range is the file's marker,
// as other readers of the format expect.
std::uint16_t fileSample(std::int32_t v) {
    if (v < 0 || v > kLargestCode) return kFileNoSample;
    return static_cast<std::uint16_t>(v);
}

struct BlockShape {
    Channel channel;
    std::uint32_t maskBit;
    bool analog;
};

constexpr BlockShape kBlocks[core::kChannelCount] = {{Channel::A1, 0x01, true},  {Channel::A2, 0x02, true},
                                                     {Channel::D1, 0x04, false}, {Channel::D2, 0x08, false},
                                                     {Channel::D3, 0x10, false}, {Channel::D4, 0x20, false}};

} // namespace

std::uint32_t headerChecksum(const core::FrameHeader& h) {
    std::uint32_t sum = 0;
    for (int i = 0; i < fh::Checksum; ++i) sum += h[i];
    return sum;
}

void appendHeader(std::vector<std::uint8_t>& out, const core::FrameHeader& h) {
    for (std::uint32_t w : h.w) put32(out, w);
}

void appendSampleBlocks(std::vector<std::uint8_t>& out, const core::FrameRecord& record) {
    const auto& h = record.header;
    const bool peak = h[fh::PeakDetect] != 0;
    for (const auto& b : kBlocks) {
        if ((h[fh::ChannelMask] & b.maskBit) == 0) continue;
        const std::size_t count = b.analog ? h[fh::AnalogCount] : h[fh::DigitalCount];
        const auto& lo = record.channels.minOf(b.channel);
        const auto& hi = record.channels.maxOf(b.channel);
        out.reserve(out.size() + count * (peak ? 4 : 2));
        for (std::size_t i = 0; i < count; ++i) {
            const bool inside = i < lo.size();
            put16(out, inside ? fileSample(lo[i]) : kFileNoSample);
            if (peak) put16(out, inside ? fileSample(hi[i]) : kFileNoSample);
        }
    }
}

void appendDoubles(std::vector<std::uint8_t>& out, std::span<const double> values, std::size_t count,
                   double filler) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t bits = std::bit_cast<std::uint64_t>(i < values.size() ? values[i] : filler);
        put32(out, static_cast<std::uint32_t>(bits));
        put32(out, static_cast<std::uint32_t>(bits >> 32));
    }
}

std::size_t ByteCursor::take(std::span<std::uint8_t> to) {
    const std::size_t n = std::min(to.size(), m_bytes.size() - std::min(m_pos, m_bytes.size()));
    if (n) std::memcpy(to.data(), m_bytes.data() + m_pos, n);
    std::fill(to.begin() + static_cast<std::ptrdiff_t>(n), to.end(), std::uint8_t{0});
    m_pos += n;
    return n;
}

bool ByteCursor::u16(std::uint16_t& v) {
    if (m_bytes.size() < 2 || m_pos > m_bytes.size() - 2) {
        m_pos = m_bytes.size();
        return false;
    }
    v = static_cast<std::uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
    m_pos += 2;
    return true;
}

bool ByteCursor::f64(double& v) {
    if (m_bytes.size() < 8 || m_pos > m_bytes.size() - 8) {
        m_pos = m_bytes.size();
        return false;
    }
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | m_bytes[m_pos + static_cast<std::size_t>(i)];
    v = std::bit_cast<double>(bits);
    m_pos += 8;
    return true;
}

bool readHeader(ByteCursor& in, core::FrameHeader& h) {
    std::uint8_t bytes[kHeaderBytes];
    const bool whole = in.take(bytes) == kHeaderBytes;
    for (std::size_t i = 0; i < core::kFrameHeaderWords; ++i) {
        const std::uint8_t* p = bytes + 4 * i;
        h.w[i] = static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                 (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    return whole;
}

void readSampleBlocks(ByteCursor& in, core::FrameRecord& record) {
    const auto& h = record.header;
    const bool peak = h[fh::PeakDetect] != 0;
    for (const auto& b : kBlocks) {
        if ((h[fh::ChannelMask] & b.maskBit) == 0) continue;
        auto& lo = record.channels.minOf(b.channel);
        auto& hi = record.channels.maxOf(b.channel);
        const std::size_t count =
            std::min<std::size_t>(b.analog ? h[fh::AnalogCount] : h[fh::DigitalCount], lo.size());
        for (std::size_t i = 0; i < count; ++i) {
            std::uint16_t first = 0;
            if (!in.u16(first)) break;
            if (first != kFileNoSample) lo[i] = first;
            std::uint16_t second = first;
            if (peak && !in.u16(second)) break;
            if (second != kFileNoSample) hi[i] = second;
        }
    }
}

void readDoubles(ByteCursor& in, std::span<double> to, std::size_t count) {
    count = std::min(count, to.size());
    for (std::size_t i = 0; i < count; ++i)
        if (!in.f64(to[i])) break;
}

std::string_view magicText(std::span<const std::uint8_t> field, bool& terminated) {
    const auto zero = std::find(field.begin(), field.end(), std::uint8_t{0});
    terminated = zero != field.end();
    if (!terminated) return {};
    return {reinterpret_cast<const char*>(field.data()), static_cast<std::size_t>(zero - field.begin())};
}

} // namespace kx::files
