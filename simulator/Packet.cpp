// SPDX-License-Identifier: GPL-3.0-or-later
#include "Packet.h"

#include "core/Crc16.h"

#include <span>

namespace kx::sim {

PacketWriter::PacketWriter(std::vector<std::uint8_t>& out) : m_out(out) {
    if (m_out.capacity() < kMaxPacket) m_out.reserve(kMaxPacket);
}

void PacketWriter::begin(std::uint8_t header) {
    m_out.clear();
    for (int i = 0; i < 8; ++i) {
        m_out.push_back(0xAA);
        m_out.push_back(0x0F);
        m_out.push_back(0x55);
    }
    m_out.push_back(0x00);
    m_crcStart = m_out.size();
    m_out.push_back(header);
}

void PacketWriter::end() {
    const std::uint16_t crc =
        kx::core::crc16(std::span<const std::uint8_t>(m_out.data() + m_crcStart, m_out.size() - m_crcStart));
    u16(crc);
}

} // namespace kx::sim
