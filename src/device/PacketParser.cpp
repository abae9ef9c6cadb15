// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/PacketParser.h"

#include "core/Crc16.h"
#include "device/FrameCodec.h"

#include <algorithm>
#include <array>

namespace kx::device {

namespace {

enum State : int { kIdle = 0, kHeader = 1, kStatusBody = 2, kBlockA = 3, kBlockB = 4, kInfo = 5 };

// For each byte, the byte that continues the pattern after it (0x100: none).
constexpr std::array<std::uint16_t, 256> makeNext() {
    std::array<std::uint16_t, 256> t{};
    for (auto& v : t) v = 0x100;
    t[0xAA] = 0x0F;
    t[0x0F] = 0x55;
    t[0x55] = 0xAA;
    return t;
}
constexpr auto kNext = makeNext();

// The same table CRC as core::crc16Update, kept local so the per-byte loop can inline it.
constexpr std::array<std::uint16_t, 256> makeCrcTable() {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned c = i;
        for (int b = 0; b < 8; ++b) c = (c & 1) ? (c >> 1) ^ 0xA001u : c >> 1;
        t[i] = static_cast<std::uint16_t>(c);
    }
    return t;
}
constexpr auto kCrcTable = makeCrcTable();

inline std::uint16_t crcStep(std::uint16_t crc, std::uint8_t b) {
    return static_cast<std::uint16_t>((crc >> 8) ^ kCrcTable[(crc ^ b) & 0xFF]);
}

} // namespace

PacketParser::PacketParser(ParserReports& reports)
    : m_reports(reports),
      m_statusBody(std::make_unique<std::uint8_t[]>(kStatusBodySize)),
      m_work{std::make_unique<std::uint8_t[]>(kBlockACapacity),
             std::make_unique<std::uint8_t[]>(kBlockBCapacity),
             std::make_unique<std::uint8_t[]>(kInfoBlockSize)},
      m_handOver{std::make_unique<std::uint8_t[]>(kBlockACapacity),
                 std::make_unique<std::uint8_t[]>(kBlockBCapacity),
                 std::make_unique<std::uint8_t[]>(kInfoBlockSize)} {}

LinkCounts PacketParser::takeCounts() {
    const LinkCounts c = m_counts;
    m_counts = {};
    return c;
}

DataPacketView PacketParser::handOver() const {
    return {m_handOverHeader,
            {m_handOver.a.get(), m_handOverA},
            {m_handOver.b.get(), m_handOverB},
            {m_handOver.info.get(), kInfoBlockSize}};
}

std::size_t PacketParser::feed(std::span<const std::uint8_t> bytes) {
    m_acceptedInFeed = 0;
    // Hot state lives in locals; it is written back before any call that may look at it.
    std::uint8_t p = m_prev;
    std::uint32_t k = m_pattern;
    std::uint32_t m = m_inPacket;
    std::uint32_t pos = m_pos;
    std::uint16_t crc = m_crc;
    std::uint32_t leakage = 0;
    const auto sync = [&] {
        m_prev = p;
        m_pattern = k;
        m_inPacket = m;
        m_pos = pos;
        m_crc = crc;
    };
    const auto reload = [&] {
        pos = m_pos;
        crc = m_crc;
        m = m_inPacket;
    };

    const std::uint8_t* it = bytes.data();
    const std::uint8_t* const end = it + bytes.size();
    while (it != end) {
        const std::uint8_t b = *it++;
        const bool collecting = m_state != kIdle;
        if (collecting) ++m;
        const bool start = b == 0 && k >= kPatternBytes;
        if (start) {
            if (collecting) leakage += m; // the unfinished packet is abandoned
            m = k + 1;
        }
        // A pattern is counted from its first 0xAA: a pair seen without one is just data.
        if (kNext[p] == b && k > 0) {
            ++k;
        } else if (b == 0xAA) {
            k = 1;
        } else {
            if (!start && !collecting) leakage += k + 1;
            k = 0;
        }
        p = b;
        if (start) {
            m_state = kHeader;
            pos = 0;
            crc = 0xFFFF;
            continue;
        }
        switch (m_state) {
        case kIdle:
            break;
        case kHeader:
            crc = crcStep(crc, b);
            if (b == kStatusHeader) {
                m_state = kStatusBody;
            } else {
                m_counts.leakage += leakage;
                leakage = 0;
                sync();
                startHeader(b);
                reload();
            }
            break;
        case kStatusBody:
            crc = crcStep(crc, b);
            if (pos < kStatusBodySize) m_statusBody[pos] = b;
            if (pos <= kStatusBodySize) {
                ++pos;
            } else {
                m_state = kIdle;
                m_counts.leakage += leakage;
                leakage = 0;
                sync();
                completeStatus();
                reload();
            }
            break;
        case kBlockA: {
            m_work.a[pos] = b;
            crc = crcStep(crc, b);
            if (++pos == m_sizeA) {
                pos = 0;
                m_state = m_sizeB > 0 ? kBlockB : kInfo;
            }
            break;
        }
        case kBlockB:
            crc = crcStep(crc, b);
            m_work.b[pos] = b;
            if (++pos == m_sizeB) {
                pos = 0;
                m_state = kInfo;
            }
            break;
        case kInfo:
            crc = crcStep(crc, b);
            if (pos < kInfoBlockSize) m_work.info[pos] = b;
            if (pos <= kInfoBlockSize) {
                ++pos;
            } else {
                m_state = kIdle;
                m_counts.leakage += leakage;
                leakage = 0;
                sync();
                completeData();
                reload();
            }
            break;
        }
    }
    m_counts.leakage += leakage;
    sync();
    return m_acceptedInFeed;
}

void PacketParser::startHeader(std::uint8_t header) {
    m_header = header;
    const BlockSizes sizes = dataBlockSizes(header, m_points.load(std::memory_order_relaxed));
    if (sizes.a > kBlockACapacity || sizes.b > kBlockBCapacity) {
        // Never store beyond the buffers: give the packet up here, its bytes count as leakage
        // and the next preamble resynchronises.
        ++m_counts.oversized;
        m_counts.leakage += m_inPacket;
        m_state = kIdle;
        return;
    }
    m_sizeA = static_cast<std::uint32_t>(sizes.a);
    m_sizeB = static_cast<std::uint32_t>(sizes.b);
    m_pos = 0;
    m_state = m_sizeA > 0 ? kBlockA : (m_sizeB > 0 ? kBlockB : kInfo);
}

void PacketParser::dropCorrupted() {
    ++m_counts.crcErrors;
    m_counts.leakage += m_inPacket;
}

void PacketParser::completeStatus() {
    if (m_crc != 0) {
        dropCorrupted();
        return;
    }
    ++m_counts.statusPackets;
    const StatusPacket packet = decodeStatusPacket(std::span<const std::uint8_t, kStatusBodySize>(m_statusBody.get(), kStatusBodySize));
    if (packet.kind == status::kKindAcknowledgement) m_acknowledged = true;
    m_reports.statusDecoded(packet);
}

void PacketParser::completeData() {
    if (m_crc != 0) {
        dropCorrupted();
        return;
    }
    if (m_work.info[info::Sequence] != m_expectedSequence || !m_reports.dataArrived()) return;
    ++m_counts.dataPackets;
    // Hand over by swapping the buffer sets: same effect as copying, without moving 200 kB.
    std::swap(m_work, m_handOver);
    m_handOverHeader = m_header;
    m_handOverA = m_sizeA;
    m_handOverB = m_sizeB;
    ++m_acceptedInFeed;
    if (onDataAccepted) onDataAccepted(handOver());
}

} // namespace kx::device
