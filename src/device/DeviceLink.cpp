// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/DeviceLink.h"

#include "device/FrameCodec.h"
#include "device/RegisterImage.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace kx::device {

namespace {

constexpr FT_STATUS kFtIoError = 4;
constexpr std::size_t kFeedSlice = 4096; // terminate requests are honoured between slices
constexpr std::size_t kFpgaChunk = 256;
constexpr std::size_t kPinBytesPerByte = 16;
constexpr unsigned char kPinMask = 0x85;
constexpr std::uint8_t kPinProgram = 0x80;
constexpr std::uint8_t kPinClock = 0x04;
constexpr int kMaxStalledWrites = 20;
constexpr auto kDrainLimit = std::chrono::seconds(5);

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

DeviceLink::DeviceLink(const D2xxBinding& binding, Connection& connection, RequestFlags& flags,
                       LinkStatistics& stats, StatusBoard& status, RegisterImageHolder& registers)
    : m_binding(binding), m_connection(connection), m_flags(flags), m_stats(stats), m_registers(registers),
      m_policy(flags, status, &registers), m_parser(m_policy),
      m_readBuffer(std::make_unique<std::uint8_t[]>(kReadBufferSize)),
      m_pinBuffer(std::make_unique<std::uint8_t[]>(kFpgaChunk * kPinBytesPerByte)) {}

std::size_t DeviceLink::readStep() {
    const FT_HANDLE h = m_connection.handle.load();
    DWORD queued = 0;
    m_binding.queueStatus(h, queued); // a dead link shows as nothing queued; supervision probes it
    m_stats.noteQueue(queued);
    if (queued == 0) return 0;
    DWORD got = 0;
    const DWORD want = std::min<DWORD>(queued, kReadBufferSize);
    m_binding.read(h, {m_readBuffer.get(), want}, got);
    got = std::min(got, want);
    std::size_t accepted = 0;
    for (std::size_t at = 0; at < got; at += kFeedSlice) {
        if (stopRequested()) {
            LinkCounts c = m_parser.takeCounts();
            c.bytesRead = got;
            m_stats.add(c);
            return at;
        }
        const std::size_t n = std::min<std::size_t>(kFeedSlice, got - at);
        accepted += m_parser.feed({m_readBuffer.get() + at, n});
    }
    LinkCounts c = m_parser.takeCounts();
    c.bytesRead = got;
    m_stats.add(c);
    if (c.statusPackets > 0) m_stats.silence.store(0);
    if (accepted > 0 && m_events != nullptr) m_events->dataAccepted(m_parser.handOver());
    return got;
}

FT_STATUS DeviceLink::writeAll(std::span<const std::uint8_t> bytes) {
    const FT_HANDLE h = m_connection.handle.load();
    int stalled = 0;
    while (!bytes.empty()) {
        DWORD written = 0;
        const FT_STATUS s = m_binding.write(h, bytes, written);
        if (s != kFtOk) return s;
        if (written == 0) {
            // The driver took nothing within its write time-out: give up after a while.
            if (++stalled >= kMaxStalledWrites) return kFtIoError;
            continue;
        }
        stalled = 0;
        bytes = bytes.subspan(std::min<std::size_t>(written, bytes.size()));
    }
    return kFtOk;
}

bool DeviceLink::writeFrame(std::span<const std::uint8_t> body) {
    writeAll(kPreamble);
    const FT_STATUS s = writeAll(body);
    m_connection.DeviceStatus.store(static_cast<int>(s));
    return waitAcknowledgement();
}

bool DeviceLink::waitAcknowledgement() {
    m_parser.clearAcknowledged();
    for (int i = 0; i < kAckSteps; ++i) {
        readStep();
        if (m_parser.acknowledged()) return true;
        if (stopRequested()) return false;
        sleepMs(kStepSleepMs);
    }
    return false;
}

bool DeviceLink::sendSettings() {
    std::array<std::uint8_t, kMaxSettingsBodySize> body{};
    const std::size_t n = m_registers.takeSettingsBody(body);
    // Data of older settings are dropped from now on.
    m_parser.setExpectedSequence(m_registers.sequence());
    bool acked = false;
    if (n > 0) acked = writeFrame(std::span(body).first(n));
    m_registers.tableDelivered();
    // A frame holds one table: the other one goes in the very next frame.
    if (m_registers.uploadPending()) m_flags.SendSettingsRequest.store(true);
    if (acked)
        m_flags.DeviceConfigured.store(true);
    else
        m_stats.framesNotAcknowledged.fetch_add(1);
    m_stats.framesSent.fetch_add(1);
    return acked;
}

bool DeviceLink::uploadAwg(std::span<const std::int32_t, kAwgEntries> table) {
    std::array<std::uint8_t, 2 * kAwgBlockEntries> data{};
    std::array<std::uint8_t, kMaxFrameBody> body{};
    for (std::size_t block = 0; block < kAwgEntries / kAwgBlockEntries; ++block) {
        for (std::size_t i = 0; i < kAwgBlockEntries; ++i) {
            const auto v = static_cast<std::uint16_t>(table[block * kAwgBlockEntries + i]);
            data[2 * i] = static_cast<std::uint8_t>(v & 0xFF);
            data[2 * i + 1] = static_cast<std::uint8_t>(v >> 8);
        }
        const WriteBlock wb{static_cast<std::uint16_t>(kAwgAddress + data.size() * block), data};
        const std::size_t n = buildWriteFrame(std::span(&wb, 1), body);
        if (!writeFrame(std::span(body).first(n))) {
            m_stats.framesNotAcknowledged.fetch_add(1);
            awgLoaded.store(false);
            transferFailed.store(true);
            return false;
        }
    }
    awgLoaded.store(true);
    return true;
}

bool DeviceLink::configureFpga(std::span<const std::uint8_t> image) {
    const FT_HANDLE h = m_connection.handle.load();
    // The program pulse clears the instrument's configuration: whatever it said before no
    // longer holds, and only a fresh ready report may end the wait below.
    m_flags.DeviceReady.store(false);
    m_binding.setBitMode(h, kPinMask, 1);
    const std::uint8_t low[] = {0x00};
    const std::uint8_t high[] = {kPinProgram};
    writeAll(low);
    sleepMs(25);
    writeAll(high);
    sleepMs(50);

    configProgress.store(0);
    bool stopped = false;
    for (std::size_t offset = 0; offset < image.size(); offset += kFpgaChunk) {
        const std::size_t n = std::min(kFpgaChunk, image.size() - offset);
        std::uint8_t* pins = m_pinBuffer.get();
        std::size_t at = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint8_t byte = image[offset + i];
            for (int bit = 7; bit >= 0; --bit) {
                const auto data = static_cast<std::uint8_t>((byte >> bit) & 1);
                pins[at++] = static_cast<std::uint8_t>(data | kPinProgram);
                pins[at++] = static_cast<std::uint8_t>(data | kPinProgram | kPinClock);
            }
        }
        writeAll({pins, at});
        const int percent = static_cast<int>(offset * 100 / image.size());
        if (percent != configProgress.load()) {
            configProgress.store(percent);
            m_flags.StatusRequest.store(true);
            if (m_events != nullptr) m_events->configurationProgress(percent);
        }
        if (stopRequested()) {
            stopped = true;
            break;
        }
    }
    if (!stopped) {
        std::array<std::uint8_t, 128> clocks{};
        for (std::size_t i = 0; i < clocks.size(); i += 2) {
            clocks[i] = 0x85;
            clocks[i + 1] = 0x81;
        }
        writeAll(clocks);
        // Let the pin bytes leave before the bridge goes back to serial mode.
        const auto deadline = std::chrono::steady_clock::now() + kDrainLimit;
        for (;;) {
            DWORD rx = 0, tx = 0, events = 0;
            if (m_binding.getStatus(h, rx, tx, events) != kFtOk || tx == 0) break;
            if (stopRequested() || std::chrono::steady_clock::now() > deadline) break;
            sleepMs(1);
        }
    }
    m_binding.setBitMode(h, kPinMask, 0);
    m_binding.stopInTask(h);
    m_binding.purge(h, kFtPurgeRx);
    m_binding.restartInTask(h);

    bool ready = false;
    if (!stopped) {
        const std::uint8_t start[] = {0xA5, 0x00, 0x00};
        writeAll(start);
        for (int i = 0; i < kReadySteps; ++i) {
            readStep();
            if (m_flags.DeviceReady.load()) {
                ready = true;
                break;
            }
            if (stopRequested()) break;
            sleepMs(kStepSleepMs);
        }
        if (ready) {
            if (m_events != nullptr) m_events->configured();
        } else {
            transferFailed.store(true);
        }
    }
    configProgress.store(0);
    return ready;
}

FT_STATUS resetInstrument(const D2xxBinding& binding, Connection& connection) {
    if (connection.DeviceStatus.load() != 0) return kFtOk;
    const FT_HANDLE h = connection.handle.load();
    FT_STATUS first = kFtOk;
    const auto keep = [&first](FT_STATUS s) {
        if (first == kFtOk) first = s;
    };
    DWORD written = 0;
    const std::uint8_t low[] = {0x00};
    const std::uint8_t high[] = {kPinProgram};
    keep(binding.setBitMode(h, kPinMask, 1));
    keep(binding.write(h, low, written));
    sleepMs(25);
    keep(binding.write(h, high, written));
    sleepMs(50);
    keep(binding.setBitMode(h, kPinMask, 0));
    keep(binding.stopInTask(h));
    keep(binding.purge(h, kFtPurgeRx));
    keep(binding.restartInTask(h));
    return first;
}

} // namespace kx::device
