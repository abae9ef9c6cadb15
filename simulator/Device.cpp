// SPDX-License-Identifier: GPL-3.0-or-later
#include "Device.h"

#include "FlashFile.h"
#include "Packet.h"
#include "Settings.h"

#include <algorithm>
#include <fstream>
#include <pthread.h>

namespace kx::sim {

namespace {

// 3 Mbaud, 8N1: ten bit times per byte.
constexpr std::int64_t kBytesPerSecond = 300'000;
constexpr std::int64_t kNsPerByteX3 = 10'000; // 3333.33 ns per byte, kept exact as a triple
constexpr std::size_t kRingBytes = 512 * 1024;
// Without pacing the next packet is made only once the host has drained the buffer below this.
constexpr std::size_t kLowWater = 1024;
// Paced: at most this much link time is made up after a stall, so bursts stay short.
constexpr std::int64_t kMaxBurstBytes = 3000;

// The Linux D2XX event handle: condition, mutex, flag, in that order.
struct EventHandle {
    pthread_cond_t eCondVar;
    pthread_mutex_t eMutex;
    int iVar;
};

} // namespace

Device::Device() : m_instrument(m_identity, 1), m_rx(kRingBytes), m_errors(0xB17E) {
    m_tx.reserve(kMaxPacket);
}

Device::~Device() {
    std::unique_lock lock(m_mutex);
    stopThread(lock);
}

bool Device::present() const {
    std::lock_guard lock(m_mutex);
    return m_plugged;
}

DeviceListing Device::listing() const {
    std::lock_guard lock(m_mutex);
    return m_listing;
}

FT_STATUS Device::check(std::uint64_t generation) const {
    if (generation != m_generation || m_dead || !m_plugged) return kFtIoError;
    if (!m_open) return kFtInvalidHandle;
    return kFtOk;
}

std::int64_t Device::simNow() const {
    if (!m_threadPacing || !m_thread.joinable()) return m_simNs;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - m_wallBase).count();
    return std::max(m_simNs, m_simBaseNs + elapsed);
}

void Device::kick() {
    m_kicked = true;
    m_wake.notify_all();
}

FT_STATUS Device::open(std::uint64_t& generation) {
    std::unique_lock lock(m_mutex);
    if (!m_plugged) return kFtDeviceNotFound;
    if (m_open && !m_dead) return kFtDeviceNotOpened;
    stopThread(lock);
    ++m_generation;
    m_open = true;
    m_dead = false;
    m_rx.clear();
    m_txPos = m_tx.size();
    m_bitMode = 0;
    m_bitMask = 0;
    m_inTaskRunning = true;
    m_eventMask = 0;
    m_event = nullptr;
    m_readTimeoutMs = 0;
    generation = m_generation;
    startThread();
    return kFtOk;
}

FT_STATUS Device::close(std::uint64_t generation) {
    std::unique_lock lock(m_mutex);
    if (generation != m_generation) return kFtOk; // a handle that died with an unplug
    if (!m_open) return kFtInvalidHandle;
    m_open = false;
    m_event = nullptr;
    m_eventMask = 0;
    stopThread(lock);
    m_readable.notify_all();
    return kFtOk;
}

void Device::startThread() {
    m_threadPacing = m_pacing;
    m_wallBase = Clock::now();
    m_simBaseNs = m_simNs;
    m_thread = std::jthread([this](std::stop_token stop) { threadMain(stop); });
}

void Device::stopThread(std::unique_lock<std::mutex>& lock) {
    if (!m_thread.joinable()) return;
    m_simNs = simNow();
    m_thread.request_stop();
    m_wake.notify_all();
    std::jthread thread = std::move(m_thread);
    lock.unlock();
    thread.join();
    lock.lock();
}

FT_STATUS Device::read(std::uint64_t generation, std::span<std::uint8_t> out, DWORD& got) {
    std::unique_lock lock(m_mutex);
    got = 0;
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    auto ready = [&] { return m_rx.size() >= out.size() || check(generation) != kFtOk; };
    if (!ready()) {
        if (m_readTimeoutMs == 0) {
            m_readable.wait(lock, ready);
        } else {
            m_readable.wait_for(lock, std::chrono::milliseconds(m_readTimeoutMs), ready);
        }
        if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    }
    got = static_cast<DWORD>(m_rx.pop(out));
    if (got > 0) m_wake.notify_all();
    return kFtOk;
}

FT_STATUS Device::write(std::uint64_t generation, std::span<const std::uint8_t> in, DWORD& written) {
    std::unique_lock lock(m_mutex);
    written = 0;
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    if (m_bitMode != 0) {
        m_instrument.hostPins(in, m_bitMask);
    } else {
        m_instrument.hostSerial(in, simNow());
        if (m_instrument.takeFlashChanged()) saveFlash();
    }
    written = static_cast<DWORD>(in.size());
    kick();
    return kFtOk;
}

FT_STATUS Device::queueStatus(std::uint64_t generation, DWORD& rx) {
    std::lock_guard lock(m_mutex);
    rx = 0;
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    rx = static_cast<DWORD>(m_rx.size());
    return kFtOk;
}

FT_STATUS Device::status(std::uint64_t generation, DWORD& rx, DWORD& tx, DWORD& events) {
    std::lock_guard lock(m_mutex);
    rx = tx = events = 0;
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    rx = static_cast<DWORD>(m_rx.size());
    if (rx > 0) events = kFtEventRxChar;
    return kFtOk;
}

FT_STATUS Device::purge(std::uint64_t generation, ULONG mask) {
    std::lock_guard lock(m_mutex);
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    if (mask & kFtPurgeRx) m_rx.clear();
    m_wake.notify_all();
    return kFtOk;
}

FT_STATUS Device::resetDevice(std::uint64_t generation) {
    std::lock_guard lock(m_mutex);
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    m_rx.clear();
    m_bitMode = 0;
    m_wake.notify_all();
    return kFtOk;
}

FT_STATUS Device::setBitMode(std::uint64_t generation, std::uint8_t mask, std::uint8_t mode) {
    std::lock_guard lock(m_mutex);
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    m_bitMode = mode;
    m_bitMask = mask;
    // The serial receiver is a plain pin while bit-bang runs: whatever was on the way is lost.
    if (mode != 0) m_txPos = m_tx.size();
    kick();
    return kFtOk;
}

FT_STATUS Device::setInTask(std::uint64_t generation, bool running) {
    std::lock_guard lock(m_mutex);
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    m_inTaskRunning = running;
    kick();
    return kFtOk;
}

FT_STATUS Device::setEventNotification(std::uint64_t generation, DWORD mask, void* event) {
    std::lock_guard lock(m_mutex);
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    m_eventMask = mask;
    m_event = event;
    return kFtOk;
}

FT_STATUS Device::setTimeouts(std::uint64_t generation, ULONG readMs, ULONG) {
    std::lock_guard lock(m_mutex);
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    m_readTimeoutMs = readMs;
    return kFtOk;
}

FT_STATUS Device::setBaudRate(std::uint64_t generation, ULONG baud) {
    std::lock_guard lock(m_mutex);
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    if (baud < 183 || baud > 3'000'000) return kFtInvalidBaudRate;
    return kFtOk;
}

FT_STATUS Device::modemStatus(std::uint64_t generation, ULONG& status) {
    std::lock_guard lock(m_mutex);
    status = 0;
    if (const FT_STATUS s = check(generation); s != kFtOk) return s;
    status = kModemCts;
    return kFtOk;
}

FT_STATUS Device::touch(std::uint64_t generation) {
    std::lock_guard lock(m_mutex);
    return check(generation);
}

std::size_t Device::pushToHost(std::span<const std::uint8_t> bytes) {
    const double rate = m_instrument.faults().bitErrorRate;
    if (rate <= 0.0) return m_rx.push(bytes);
    std::size_t done = 0;
    for (const std::uint8_t b : bytes) {
        if (m_rx.space() == 0) break;
        std::uint8_t v = b;
        if (m_errors.uniform() < rate) v ^= static_cast<std::uint8_t>(1u << (m_errors.next() % 8));
        m_rx.push(std::span<const std::uint8_t>(&v, 1));
        ++done;
    }
    return done;
}

void Device::signalArrival(std::unique_lock<std::mutex>& lock) {
    m_readable.notify_all();
    if (!(m_eventMask & kFtEventRxChar) || m_event == nullptr) return;
    auto* event = static_cast<EventHandle*>(m_event);
    // Signal outside our own lock: the host may hold its event mutex while calling us.
    lock.unlock();
    pthread_mutex_lock(&event->eMutex);
    event->iVar = 1;
    pthread_cond_broadcast(&event->eCondVar);
    pthread_mutex_unlock(&event->eMutex);
    lock.lock();
}

void Device::threadMain(std::stop_token stop) {
    std::unique_lock lock(m_mutex);
    if (m_threadPacing) {
        runPaced(stop, lock);
    } else {
        runUnpaced(stop, lock);
    }
}

void Device::runPaced(std::stop_token& stop, std::unique_lock<std::mutex>& lock) {
    std::int64_t last = simNow();
    std::int64_t creditNs = 0;
    auto tick = Clock::now();
    while (!stop.stop_requested()) {
        const std::int64_t now = simNow();
        creditNs = std::min(creditNs + (now - last), kMaxBurstBytes * kNsPerByteX3 / 3);
        last = now;
        bool pushed = false;
        while (canTransmit()) {
            const auto budget = static_cast<std::size_t>(creditNs * 3 / kNsPerByteX3);
            if (budget == 0) break;
            if (m_txPos >= m_tx.size()) {
                if (!m_instrument.nextPacket(now, m_tx)) break;
                m_txPos = 0;
            }
            const std::size_t want = std::min(budget, m_tx.size() - m_txPos);
            const std::size_t n = pushToHost(std::span<const std::uint8_t>(m_tx.data() + m_txPos, want));
            if (n == 0) break; // host not reading: the bridge holds the line (flow control)
            m_txPos += n;
            creditNs -= static_cast<std::int64_t>(n) * kNsPerByteX3 / 3;
            pushed = true;
        }
        if (pushed) signalArrival(lock);
        tick += std::chrono::milliseconds(1);
        const auto wallNow = Clock::now();
        if (tick < wallNow - std::chrono::milliseconds(20)) tick = wallNow;
        m_wake.wait_until(lock, stop, tick, [] { return false; });
    }
}

void Device::runUnpaced(std::stop_token& stop, std::unique_lock<std::mutex>& lock) {
    while (!stop.stop_requested()) {
        if (!canTransmit() || m_rx.size() >= kLowWater) {
            m_kicked = false;
            m_wake.wait(lock, stop, [&] { return m_kicked || (canTransmit() && m_rx.size() < kLowWater); });
            continue;
        }
        if (!m_instrument.nextPacket(m_simNs, m_tx)) {
            const std::int64_t due = m_instrument.nextDue(m_simNs);
            if (due == kNever) {
                m_kicked = false;
                m_wake.wait(lock, stop, [&] { return m_kicked; });
            } else {
                m_simNs = std::max(m_simNs, due);
            }
            continue;
        }
        m_txPos = m_tx.size();
        pushToHost(m_tx);
        m_simNs += static_cast<std::int64_t>(m_tx.size()) * kNsPerByteX3 / 3;
        signalArrival(lock);
    }
}

int Device::control(std::string_view text) {
    std::unique_lock lock(m_mutex);
    int result = 0;
    for (const SettingItem& item : splitSettings(text)) {
        if (item.key == "unplug") {
            if (m_plugged) {
                m_plugged = false;
                m_dead = m_open;
                stopThread(lock);
                m_rx.clear();
                m_readable.notify_all();
            }
            continue;
        }
        if (item.key == "replug") {
            if (!m_plugged) {
                m_plugged = true;
                m_open = false;
                m_dead = false;
                ++m_generation; // handles from before the unplug stay dead
                m_instrument.powerOn();
            }
            continue;
        }
        if (item.key == "reset") {
            // Back to a healthy instrument fresh from the factory, as if unplugged and plugged in again.
            m_dead = m_open;
            stopThread(lock);
            m_rx.clear();
            m_readable.notify_all();
            m_plugged = true;
            m_open = false;
            ++m_generation;
            m_instrument.faults() = Faults{};
            m_identity = InstrumentIdentity{};
            m_listing = DeviceListing{};
            m_descriptionSet = false;
            m_instrument.setIdentity(m_identity);
            m_instrument.factoryReset();
            m_flashPath.clear(); // a fresh instrument, not the one whose flash was kept
            continue;
        }
        result |= controlItem(item.key, item.value, item.hasValue);
    }
    if (result != 0) return result;
    kick();
    return 0;
}

int Device::controlItem(std::string_view key, std::string_view value, bool hasValue) {
    Faults& f = m_instrument.faults();
    if (bool ok = false; m_instrument.bench().control(key, value, ok)) {
        if (!ok) return 1;
        m_instrument.benchChanged();
        return 0;
    }
    if (key == "power") {
        const auto on = parseSwitch(value);
        if (!on) return 1;
        if (*on && f.powerFailed) {
            f.powerFailed = false;
            m_instrument.powerOn();
        } else if (!*on) {
            f.powerFailed = true;
            m_txPos = m_tx.size();
        }
        return 0;
    }
    if (key == "flash") {
        if (value == "fail") {
            f.flashFailed = true;
        } else if (value == "ok") {
            f.flashFailed = false;
        } else {
            return 1;
        }
        return 0;
    }
    if (key == "tables" || key == "zero_table" || key == "system_table") {
        if (value != "invalid" && value != "valid") return 1;
        const bool valid = value == "valid";
        if (key != "system_table") m_instrument.setTableValid(Instrument::Table::Zero, valid);
        if (key != "zero_table") m_instrument.setTableValid(Instrument::Table::System, valid);
        saveFlash();
        return 0;
    }
    if (key == "ready") {
        const auto on = parseSwitch(value);
        if (!on) return 1;
        f.refuseReady = !*on;
        return 0;
    }
    if (key == "drop_acks") {
        if (value == "all") {
            f.dropAcks = -1;
            return 0;
        }
        const auto n = parseInteger(value);
        if (!n || *n < 0 || *n > 1'000'000) return 1;
        f.dropAcks = static_cast<int>(*n);
        return 0;
    }
    if (key == "bit_errors" || key == "bit_errors_in") {
        const auto r = parseReal(value);
        if (!r || *r < 0.0 || *r > 1.0) return 1;
        (key == "bit_errors" ? f.bitErrorRate : f.bitErrorRateIn) = *r;
        return 0;
    }
    if (key == "supply") {
        const auto mv = parseInteger(value);
        if (!mv || *mv < 0 || *mv > 6600) return 1;
        f.supplyMv = static_cast<int>(*mv);
        m_instrument.benchChanged(); // the zero lines follow the supply
        return 0;
    }
    if (key == "model") {
        const auto m = parseInteger(value);
        if (!m || *m < 0 || *m > 0xFF) return 1;
        m_identity.model = static_cast<std::uint8_t>(*m);
        m_instrument.setIdentity(m_identity);
        // The TRM207 units carry their own bridge description.
        if (!m_descriptionSet)
            m_listing.description = (m_identity.model == 0x31 || m_identity.model == 0x35)
                                        ? "TRM207"
                                        : DeviceListing{}.description;
        return 0;
    }
    if (key == "seed") {
        const auto s = parseInteger(value);
        if (!s) return 1;
        m_seed = static_cast<std::uint64_t>(*s);
        m_instrument.reseed(m_seed);
        m_errors.reseed(m_seed ^ 0xB17E);
        // An aged unit is the one its seed describes, whichever item came first.
        if (m_instrument.drifted()) {
            m_instrument.setUnit(true, m_seed);
            saveFlash();
        }
        return 0;
    }
    if (key == "pacing") {
        const auto on = parseSwitch(value);
        if (!on) return 1;
        m_pacing = *on; // from the next open
        return 0;
    }
    if (key == "serial" && hasValue && !value.empty() && value.size() < 16) {
        m_listing.serial = std::string(value);
        return 0;
    }
    if (key == "description" && hasValue && !value.empty() && value.size() < 64) {
        m_listing.description = std::string(value);
        m_descriptionSet = true;
        return 0;
    }
    if (key == "location") {
        const auto l = parseInteger(value);
        if (!l || *l < 0 || *l > 0xFFFFFFFFll) return 1;
        m_listing.location = static_cast<std::uint32_t>(*l);
        return 0;
    }
    if (key == "serial_number") {
        const auto s = parseInteger(value);
        if (!s) return 1;
        m_identity.serialNumber = static_cast<std::uint64_t>(*s);
        m_instrument.setIdentity(m_identity);
        saveFlash();
        return 0;
    }
    if (key == "unit") {
        if (value != "drifted" && value != "factory") return 1;
        m_instrument.setUnit(value == "drifted", m_seed);
        saveFlash();
        return 0;
    }
    if (key == "flash_file" && hasValue && !value.empty()) return attachFlash(std::string(value));
    return 1;
}

int Device::attachFlash(const std::string& path) {
    if (const auto image = readFlashFile(path)) {
        m_identity.serialNumber = image->serialNumber;
        m_instrument.setIdentity(m_identity);
        m_instrument.setUnit(image->drifted, image->driftSeed);
        m_instrument.loadFlash(image->zeroTable, image->systemTable);
        m_flashPath = path;
        return 0;
    }
    // A file that is there but not understood is left alone rather than overwritten.
    if (std::ifstream(path)) return 1;
    m_flashPath = path;
    return saveFlash() ? 0 : 1;
}

bool Device::saveFlash() {
    if (m_flashPath.empty()) return true;
    FlashImage image;
    image.zeroTable = m_instrument.memory().zeroTable;
    image.systemTable = m_instrument.memory().systemTable;
    image.serialNumber = m_identity.serialNumber;
    image.drifted = m_instrument.drifted();
    image.driftSeed = m_instrument.driftSeed();
    return writeFlashFile(m_flashPath, image);
}

} // namespace kx::sim
