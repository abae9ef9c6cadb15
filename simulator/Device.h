// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteRing.h"
#include "D2xxTypes.h"
#include "Instrument.h"
#include "Rng.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace kx::sim {

struct DeviceListing {
    std::string description = "Digital Oscilloscope KX48zz";
    std::string serial = "KX48A001";
    std::uint32_t location = 0x0211;
};

// One simulated FTDI bridge with its instrument. The bridge side (receive buffer, event notification,
// bit-bang mode, purge, pacing at the link rate) lives here; a transmit thread runs while it is open.
// Every public call is thread-safe.
class Device {
public:
    Device();
    ~Device();
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Applies "key=value;..." settings and commands; returns 0, or 1 for an unknown or bad item.
    int control(std::string_view text);

    bool present() const;
    DeviceListing listing() const;

    // Opening gives a generation number that every later call presents; an unplug or a re-open
    // makes older generations fail.
    FT_STATUS open(std::uint64_t& generation);
    FT_STATUS close(std::uint64_t generation);
    FT_STATUS read(std::uint64_t generation, std::span<std::uint8_t> out, DWORD& got);
    FT_STATUS write(std::uint64_t generation, std::span<const std::uint8_t> in, DWORD& written);
    FT_STATUS queueStatus(std::uint64_t generation, DWORD& rx);
    FT_STATUS status(std::uint64_t generation, DWORD& rx, DWORD& tx, DWORD& events);
    FT_STATUS purge(std::uint64_t generation, ULONG mask);
    FT_STATUS resetDevice(std::uint64_t generation);
    FT_STATUS setBitMode(std::uint64_t generation, std::uint8_t mask, std::uint8_t mode);
    FT_STATUS setInTask(std::uint64_t generation, bool running);
    FT_STATUS setEventNotification(std::uint64_t generation, DWORD mask, void* event);
    FT_STATUS setTimeouts(std::uint64_t generation, ULONG readMs, ULONG writeMs);
    FT_STATUS setBaudRate(std::uint64_t generation, ULONG baud);
    FT_STATUS modemStatus(std::uint64_t generation, ULONG& status);
    // Calls that only need a live handle (flow control, latency, characters ...).
    FT_STATUS touch(std::uint64_t generation);

private:
    using Clock = std::chrono::steady_clock;

    FT_STATUS check(std::uint64_t generation) const;
    int controlItem(std::string_view key, std::string_view value, bool hasValue);
    // Keeps the flash in the file from now on: loads it when the file is there, else writes it.
    int attachFlash(const std::string& path);
    // Writes the kept flash when a file is attached; false when the file could not be written.
    bool saveFlash();
    void startThread();
    void stopThread(std::unique_lock<std::mutex>& lock);
    void threadMain(std::stop_token stop);
    void runPaced(std::stop_token& stop, std::unique_lock<std::mutex>& lock);
    void runUnpaced(std::stop_token& stop, std::unique_lock<std::mutex>& lock);
    bool canTransmit() const { return m_bitMode == 0 && m_inTaskRunning; }
    std::size_t pushToHost(std::span<const std::uint8_t> bytes);
    void signalArrival(std::unique_lock<std::mutex>& lock);
    std::int64_t simNow() const;
    void kick();

    mutable std::mutex m_mutex;
    std::condition_variable_any m_wake;     // the transmit thread
    std::condition_variable_any m_readable; // readers waiting for bytes
    std::jthread m_thread;

    DeviceListing m_listing;
    bool m_descriptionSet = false; // otherwise the description follows the model
    InstrumentIdentity m_identity;
    Instrument m_instrument;
    ByteRing m_rx;
    std::vector<std::uint8_t> m_tx;
    std::size_t m_txPos = 0;
    Rng m_errors;
    std::uint64_t m_seed = 1;
    std::string m_flashPath; // where the flash is kept across runs; empty: nowhere

    bool m_plugged = true;
    bool m_open = false;
    bool m_dead = false;
    bool m_pacing = true;
    bool m_threadPacing = true;
    bool m_kicked = false;
    std::uint64_t m_generation = 0;
    std::uint8_t m_bitMode = 0;
    std::uint8_t m_bitMask = 0;
    bool m_inTaskRunning = true;
    DWORD m_eventMask = 0;
    void* m_event = nullptr;
    ULONG m_readTimeoutMs = 0;

    // Instrument time: wall time while paced, link time otherwise; it never runs backwards.
    Clock::time_point m_wallBase{};
    std::int64_t m_simBaseNs = 0;
    std::int64_t m_simNs = 0;
};

} // namespace kx::sim
