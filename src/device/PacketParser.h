// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/InfoBlock.h"
#include "device/LinkStatistics.h"
#include "device/StatusPacket.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace kx::device {

inline constexpr std::size_t kBlockACapacity = 200000;
inline constexpr std::size_t kBlockBCapacity = 10000;
inline constexpr std::size_t kStatusBodySize = status::kBodySize;
inline constexpr std::size_t kInfoBlockSize = info::kSize;

// The last accepted data packet, as waveform assembly reads it.
struct DataPacketView {
    std::uint8_t header = 0;
    std::span<const std::uint8_t> blockA;
    std::span<const std::uint8_t> blockB;
    std::span<const std::uint8_t> info;
};

// What the parser saw. It only reports; the acquisition thread's link decides what follows.
class ParserReports {
public:
    virtual ~ParserReports() = default;
    // A status packet with a good CRC.
    virtual void statusDecoded(const StatusPacket& packet) = 0;
    // A data packet of the current settings is complete: whether it is taken.
    virtual bool dataArrived() = 0;
};

// Byte-at-a-time parser of the inbound stream: finds each preamble, checks the CRC, decodes
// status packets at once and offers data packets of the current settings. Its state persists
// across reads, so packets may span any number of them. All buffers are allocated once.
class PacketParser {
public:
    explicit PacketParser(ParserReports& reports);

    // Points per channel as apply-settings last computed them (may be set from any thread).
    void setPointsPerChannel(std::uint32_t points) { m_points.store(points, std::memory_order_relaxed); }
    // Sequence number of the last settings frame sent.
    void setExpectedSequence(std::uint8_t sequence) { m_expectedSequence = sequence; }
    [[nodiscard]] std::uint8_t expectedSequence() const { return m_expectedSequence; }

    // Runs every byte through sync detection and the state machine. Returns the number of data
    // packets accepted; the hand-over holds the last one.
    std::size_t feed(std::span<const std::uint8_t> bytes);

    // Counts gathered since the last call (the read step adds them to the link statistics).
    LinkCounts takeCounts();

    // Set by a good status packet of kind 3; cleared by the writer before it waits.
    [[nodiscard]] bool acknowledged() const { return m_acknowledged; }
    void clearAcknowledged() { m_acknowledged = false; }

    [[nodiscard]] DataPacketView handOver() const;

    // Called for every accepted data packet, inside feed(); the hand-over holds it then.
    std::function<void(const DataPacketView&)> onDataAccepted;

private:
    struct Buffers {
        std::unique_ptr<std::uint8_t[]> a;
        std::unique_ptr<std::uint8_t[]> b;
        std::unique_ptr<std::uint8_t[]> info;
    };

    void startHeader(std::uint8_t header);
    void completeStatus();
    void completeData();
    void dropCorrupted();

    ParserReports& m_reports;
    std::atomic<std::uint32_t> m_points{0};
    std::uint8_t m_expectedSequence = 0;
    bool m_acknowledged = false;

    // Sync detection and state machine.
    std::uint8_t m_prev = 0;
    std::uint32_t m_pattern = 0;  // k
    std::uint32_t m_inPacket = 0; // m
    int m_state = 0;
    std::uint32_t m_pos = 0;
    std::uint16_t m_crc = 0xFFFF;
    std::uint8_t m_header = 0;
    std::uint32_t m_sizeA = 0;
    std::uint32_t m_sizeB = 0;

    std::unique_ptr<std::uint8_t[]> m_statusBody;
    Buffers m_work;
    Buffers m_handOver;
    std::uint8_t m_handOverHeader = 0;
    std::uint32_t m_handOverA = 0;
    std::uint32_t m_handOverB = 0;
    std::size_t m_acceptedInFeed = 0;

    LinkCounts m_counts;
};

} // namespace kx::device
