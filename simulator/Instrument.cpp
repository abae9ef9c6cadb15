// SPDX-License-Identifier: GPL-3.0-or-later
#include "Instrument.h"

#include "Packet.h"

#include "core/Crc16.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kx::sim {

namespace {
constexpr std::int64_t kStatusPeriodNs = 100'000'000;
constexpr std::uint8_t kKindReady = 2;
constexpr std::uint8_t kKindAck = 3;
constexpr std::uint8_t kKindPlain = 0;
} // namespace

Instrument::Instrument(const InstrumentIdentity& identity, std::uint64_t seed)
    : m_identity(identity), m_acquisition(m_factory, seed), m_rng(seed ^ 0x5157A7u) {
    m_acquisition.setModel(identity.model);
    m_memory.zeroTable = m_factory.zeroTable();
    m_memory.systemTable = m_factory.systemTable();
    powerOn();
}

void Instrument::setIdentity(const InstrumentIdentity& identity) {
    m_identity = identity;
    m_acquisition.setModel(identity.model);
    reconfigure();
}

void Instrument::benchChanged() {
    reconfigure();
}

void Instrument::reconfigure() {
    m_acquisition.setSupply(m_faults.supplyMv, tableU16(m_memory.zeroTable, 32));
    if (m_started) m_acquisition.configure(m_memory.registers, m_lastWriteNs);
}

void Instrument::setUnit(bool drifted, std::uint64_t driftSeed) {
    m_drifted = drifted;
    m_driftSeed = driftSeed;
    m_factory = drifted ? Factory::drifted(driftSeed) : Factory{};
    reconfigure();
}

void Instrument::loadFlash(const CalibrationTable& zero, const CalibrationTable& system) {
    m_memory.zeroTable = zero;
    m_memory.systemTable = system;
    reconfigure();
}

bool Instrument::takeFlashChanged() {
    const bool changed = m_flashChanged;
    m_flashChanged = false;
    return changed;
}

void Instrument::factoryReset() {
    m_acquisition.bench().restoreDefault();
    setUnit(false, 0);
    // The tables the unit left the factory with.
    m_memory.zeroTable = Factory{}.zeroTable();
    m_memory.systemTable = Factory{}.systemTable();
    m_powerOnCount = 0;
    powerOn();
}

void Instrument::reseed(std::uint64_t seed) {
    m_rng.reseed(seed ^ 0x5157A7u);
    m_acquisition.reseed(seed);
}

void Instrument::setTableValid(Table table, bool valid) {
    CalibrationTable& t = table == Table::Zero ? m_memory.zeroTable : m_memory.systemTable;
    if (valid) {
        sealTable(t);
        return;
    }
    // Only a sound table is spoilt, so a second "invalid" cannot make it valid by chance.
    if (kx::core::crc16(t) == 0) {
        t[kTableSize - 2] ^= 0xFF;
        t[kTableSize - 1] ^= 0xFF;
    }
}

void Instrument::powerOn() {
    m_fpga.reset();
    m_receiver.reset();
    m_memory.registers.fill(0);
    m_memory.awg.fill(0);
    m_acquisition.reset();
    m_started = false;
    m_readyPending = false;
    m_acksPending = 0;
    ++m_powerOnCount;
}

void Instrument::hostSerial(std::span<const std::uint8_t> bytes, std::int64_t nowNs) {
    m_lastWriteNs = nowNs;
    if (!alive()) return;
    if (m_faults.bitErrorRateIn <= 0.0) {
        m_receiver.feed(bytes, *this);
        return;
    }
    std::array<std::uint8_t, 256> chunk{};
    while (!bytes.empty()) {
        const std::size_t n = std::min(bytes.size(), chunk.size());
        for (std::size_t i = 0; i < n; ++i) {
            chunk[i] = bytes[i];
            if (m_rng.uniform() < m_faults.bitErrorRateIn)
                chunk[i] ^= static_cast<std::uint8_t>(1u << (m_rng.next() % 8));
        }
        m_receiver.feed(std::span<const std::uint8_t>(chunk.data(), n), *this);
        bytes = bytes.subspan(n);
    }
}

void Instrument::hostPins(std::span<const std::uint8_t> bytes, std::uint8_t outputMask) {
    if (!alive()) return; // an unpowered FPGA takes nothing
    m_fpga.setRefuseDone(m_faults.refuseReady);
    m_fpga.pins(bytes, outputMask);
    if (!m_fpga.done()) {
        // A program pulse (or a load in progress) stops the running design.
        m_started = false;
        m_readyPending = false;
        m_acksPending = 0;
        m_acquisition.reset();
    }
}

void Instrument::writeBlock(std::uint16_t address, std::span<const std::uint8_t> data) {
    m_memory.write(address, data);
    if (address >= kRegisterBase || address + data.size() > kRegisterBase) m_registersChanged = true;
    if (address < kAwgBase + 2 * kAwgEntries && address + data.size() > kAwgBase) m_awgChanged = true;
    const auto touches = [&](std::uint16_t base) {
        return address < base + kTableSize && address + data.size() > base;
    };
    if (touches(kZeroTableBase) || touches(kSystemTableBase)) m_flashChanged = true;
}

void Instrument::frameDone() {
    ++m_framesAccepted;
    // A program written together with RUN is the one that runs.
    if (m_awgChanged) m_acquisition.awgWritten(m_memory, m_lastWriteNs);
    if (m_registersChanged || m_flashChanged) {
        m_acquisition.setSupply(m_faults.supplyMv, tableU16(m_memory.zeroTable, 32));
        m_acquisition.configure(m_memory.registers, m_lastWriteNs);
        // The generator's once flags (phase synchronisation, AWG RUN) act once.
        m_memory.registers[reg::kGenShape] &= 0x3F;
    }
    m_registersChanged = false;
    m_awgChanged = false;
    if (m_faults.dropAcks != 0) {
        if (m_faults.dropAcks > 0) --m_faults.dropAcks;
        return;
    }
    ++m_acksPending;
}

void Instrument::frameRejected() {
    ++m_framesRejected;
    m_registersChanged = false;
    m_awgChanged = false;
}

void Instrument::startCommand() {
    if (!alive() || !m_fpga.done()) return;
    m_started = true;
    m_readyPending = true;
    m_acksPending = 0;
    m_nextStatusNs = m_lastWriteNs + kStatusPeriodNs;
    m_acquisition.reset();
}

std::int64_t Instrument::nextDue(std::int64_t nowNs) const {
    if (!alive() || !m_started) return kNever;
    if (m_readyPending || m_acksPending > 0) return nowNs;
    return std::min(m_nextStatusNs, m_acquisition.nextDue());
}

bool Instrument::nextPacket(std::int64_t nowNs, std::vector<std::uint8_t>& out) {
    if (!alive() || !m_started) return false;
    if (m_readyPending) {
        m_readyPending = false;
        buildStatus(kKindReady, nowNs, out);
        return true;
    }
    if (m_acksPending > 0) {
        --m_acksPending;
        buildStatus(kKindAck, nowNs, out);
        return true;
    }
    if (nowNs >= m_nextStatusNs) {
        m_nextStatusNs += kStatusPeriodNs;
        if (m_nextStatusNs <= nowNs) m_nextStatusNs = nowNs + kStatusPeriodNs;
        buildStatus(kKindPlain, nowNs, out);
        return true;
    }
    if (m_acquisition.nextDue() <= nowNs) return m_acquisition.build(nowNs, out);
    return false;
}

void Instrument::buildStatus(std::uint8_t kind, std::int64_t nowNs, std::vector<std::uint8_t>& out) {
    PacketWriter w(out);
    w.begin(kStatusHeader);
    w.byte(kind);
    w.byte(m_identity.firmwareVersion);
    w.byte(m_identity.fpgaVersion);
    w.byte(m_faults.flashFailed ? 1 : 0);
    w.u16(m_identity.model);
    // The flash hash follows the stored tables, so a rewritten table shows as a new hash.
    std::uint16_t hash = kx::core::kCrc16Init;
    hash = kx::core::crc16(m_memory.zeroTable, hash);
    hash = kx::core::crc16(m_memory.systemTable, hash);
    w.u16(hash);
    for (int i = 0; i < 8; ++i) w.byte(static_cast<std::uint8_t>(m_identity.serialNumber >> (8 * i)));
    const RegisterFile& r = m_memory.registers;
    std::uint8_t flags = 0x80; // PIN input pulled high
    const bool awgFunction = (r[reg::kGenFunc] & 0x07) == 6;
    if (awgFunction) flags |= 0x02;
    w.byte(flags);
    const CounterReading counter = m_acquisition.counter(nowNs);
    w.byte(counter.state);
    w.u32(counter.edges);
    w.u32(counter.ticks);
    for (const std::uint8_t b : m_memory.zeroTable) w.byte(b);
    for (const std::uint8_t b : m_memory.systemTable) w.byte(b);
    m_acquisition.setSupply(m_faults.supplyMv, tableU16(m_memory.zeroTable, 32));
    const double raw = m_acquisition.supplyRaw() + (m_rng.uniform() - 0.5) * 8.0;
    w.u16(static_cast<std::uint32_t>(std::clamp(std::lround(raw), 0l, 65535l)));
    w.u16(m_powerOnCount);
    w.u16(0);
    w.end();
}

} // namespace kx::sim
