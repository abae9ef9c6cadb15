// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

namespace kx::device {

// Plain copy of the per-second counters.
struct LinkCounts {
    std::uint32_t bytesRead = 0;
    std::uint32_t maxQueue = 0;
    std::uint32_t dataPackets = 0;
    std::uint32_t statusPackets = 0;
    std::uint32_t crcErrors = 0;
    std::uint32_t leakage = 0;
    std::uint32_t oversized = 0; // data headers announcing blocks beyond the receive buffers
};

// Link statistics: written by the acquisition thread, snapshotted and cleared once a second
// by supervision. The parser adds its counts once per read step, not per byte.
class LinkStatistics {
public:
    void add(const LinkCounts& c) {
        bytesRead.fetch_add(c.bytesRead, std::memory_order_relaxed);
        dataPackets.fetch_add(c.dataPackets, std::memory_order_relaxed);
        statusPackets.fetch_add(c.statusPackets, std::memory_order_relaxed);
        crcErrors.fetch_add(c.crcErrors, std::memory_order_relaxed);
        leakage.fetch_add(c.leakage, std::memory_order_relaxed);
        oversized.fetch_add(c.oversized, std::memory_order_relaxed);
        noteQueue(c.maxQueue);
    }
    void noteQueue(std::uint32_t queued) {
        std::uint32_t seen = maxQueue.load(std::memory_order_relaxed);
        while (queued > seen && !maxQueue.compare_exchange_weak(seen, queued, std::memory_order_relaxed)) {
        }
    }
    // Supervision's per-second snapshot.
    LinkCounts takeSecond() {
        LinkCounts c;
        c.bytesRead = bytesRead.exchange(0, std::memory_order_relaxed);
        c.maxQueue = maxQueue.exchange(0, std::memory_order_relaxed);
        c.dataPackets = dataPackets.exchange(0, std::memory_order_relaxed);
        c.statusPackets = statusPackets.exchange(0, std::memory_order_relaxed);
        c.crcErrors = crcErrors.exchange(0, std::memory_order_relaxed);
        c.leakage = leakage.exchange(0, std::memory_order_relaxed);
        c.oversized = oversized.exchange(0, std::memory_order_relaxed);
        return c;
    }

    std::atomic<std::uint32_t> bytesRead{0};
    std::atomic<std::uint32_t> maxQueue{0};
    std::atomic<std::uint32_t> dataPackets{0};
    std::atomic<std::uint32_t> statusPackets{0};
    std::atomic<std::uint32_t> crcErrors{0};
    std::atomic<std::uint32_t> leakage{0};
    std::atomic<std::uint32_t> oversized{0};

    // Cumulative: "Device reconfig. counter" and "Device reconfig. errors".
    std::atomic<std::uint32_t> framesSent{0};
    std::atomic<std::uint32_t> framesNotAcknowledged{0};
    // Seconds since the last good status packet while DeviceReady; advanced by supervision.
    std::atomic<std::uint32_t> silence{0};
};

// The link statistics of the last full second, as the "USB Debug Data" overlay prints them.
struct ShownStatistics {
    std::uint32_t displayedFrames = 0;
    std::uint32_t dataPackets = 0;   // main packets accepted
    std::uint32_t statusPackets = 0; // extra packets with a good CRC
    std::uint32_t crcErrors = 0;
    std::uint32_t leakage = 0;   // bytes outside packets
    std::uint32_t bytesRead = 0; // bytes returned by the driver
    std::uint32_t maxQueue = 0;  // largest driver queue seen
    // Packets that were accepted but never drawn. A frame accepted late in one second and drawn
    // early in the next makes this negative for that second.
    [[nodiscard]] std::int64_t skipped() const {
        return static_cast<std::int64_t>(dataPackets) - static_cast<std::int64_t>(displayedFrames);
    }
    bool operator==(const ShownStatistics&) const = default;
};

} // namespace kx::device
