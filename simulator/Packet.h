// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kx::sim {

constexpr std::size_t kPreambleBytes = 25;
constexpr std::uint8_t kStatusHeader = 0x5A;
constexpr std::size_t kStatusBytes = 160;
constexpr std::size_t kInfoBytes = 160;
constexpr std::size_t kMaxBlockA = 200000;
constexpr std::size_t kMaxBlockB = 10000;
constexpr std::size_t kMaxPacket = kPreambleBytes + 1 + kMaxBlockA + kMaxBlockB + kInfoBytes + 2;

// Builds one outbound packet in a buffer reserved once for the largest packet.
class PacketWriter {
public:
    explicit PacketWriter(std::vector<std::uint8_t>& out);
    // Preamble and header byte; the CRC starts at the header.
    void begin(std::uint8_t header);
    void byte(std::uint8_t b) { m_out.push_back(b); }
    void u16(std::uint32_t v) {
        byte(static_cast<std::uint8_t>(v & 0xFF));
        byte(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    std::size_t size() const { return m_out.size(); }
    std::uint8_t* at(std::size_t offset) { return m_out.data() + offset; }
    // Appends the CRC over header and body, low byte first.
    void end();

private:
    std::vector<std::uint8_t>& m_out;
    std::size_t m_crcStart = 0;
};

} // namespace kx::sim
