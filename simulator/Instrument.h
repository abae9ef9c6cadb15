// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Acquisition.h"
#include "Factory.h"
#include "Faults.h"
#include "FpgaLoader.h"
#include "FrameReceiver.h"
#include "Memory.h"
#include "Rng.h"

#include <cstdint>
#include <limits>
#include <span>
#include <vector>

namespace kx::sim {

constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();

struct InstrumentIdentity {
    std::uint8_t model = 0x23;
    std::uint64_t serialNumber = 0x4B58000000004823ull;
    std::uint8_t firmwareVersion = 12; // shown as 3.12
    std::uint8_t fpgaVersion = 5;      // shown as 3.05
};

// The instrument behind the bridge: its serial input, FPGA, register file, flash tables, status
// reports, acknowledgements and acquisition. Not thread-safe: the device serialises access.
class Instrument : private FrameSink {
public:
    Instrument(const InstrumentIdentity& identity, std::uint64_t seed);

    // Supply switched on (plug-in or recovery): FPGA cleared, registers zero, flash kept.
    void powerOn();
    // Factory tables back in flash, then a power cycle.
    void factoryReset();
    void setIdentity(const InstrumentIdentity& identity);
    // The bench was rewired: the inputs in force change at once.
    void benchChanged();
    const InstrumentIdentity& identity() const { return m_identity; }
    void reseed(std::uint64_t seed);
    // The calibration tables kept in flash lose their CRC (worn or half-written flash), or are
    // sealed again with a fresh one; their content stays.
    enum class Table : std::uint8_t { Zero, System };
    void setTableValid(Table table, bool valid);
    // The unit's analog parts: as shipped, or aged as fixed by the seed. The flash keeps the
    // tables the unit was shipped with either way.
    void setUnit(bool drifted, std::uint64_t driftSeed);
    bool drifted() const { return m_drifted; }
    std::uint64_t driftSeed() const { return m_driftSeed; }
    // Both flash tables at once, as a kept flash image brings them back.
    void loadFlash(const CalibrationTable& zero, const CalibrationTable& system);
    // True once after the host wrote into a flash table.
    bool takeFlashChanged();

    Faults& faults() { return m_faults; }
    const Faults& faults() const { return m_faults; }

    // Bytes from the host: serial stream, or pin bytes in bit-bang mode.
    void hostSerial(std::span<const std::uint8_t> bytes, std::int64_t nowNs);
    void hostPins(std::span<const std::uint8_t> bytes, std::uint8_t outputMask);

    // Next packet to transmit at nowNs, if any is due; out receives the whole packet.
    bool nextPacket(std::int64_t nowNs, std::vector<std::uint8_t>& out);
    // Earliest time at which something becomes due (kNever when idle for good).
    std::int64_t nextDue(std::int64_t nowNs) const;

    bool started() const { return m_started; }
    bool configured() const { return m_fpga.done(); }
    const Memory& memory() const { return m_memory; }
    Bench& bench() { return m_acquisition.bench(); }

    // Counters for tests and diagnostics.
    std::uint32_t framesAccepted() const { return m_framesAccepted; }
    std::uint32_t framesRejected() const { return m_framesRejected; }

private:
    void writeBlock(std::uint16_t address, std::span<const std::uint8_t> data) override;
    void frameDone() override;
    void frameRejected() override;
    void startCommand() override;

    void buildStatus(std::uint8_t kind, std::int64_t nowNs, std::vector<std::uint8_t>& out);
    bool alive() const { return !m_faults.powerFailed; }
    // The registers, supply or parts changed: the acquisition follows at once.
    void reconfigure();

    InstrumentIdentity m_identity;
    Factory m_factory;
    Faults m_faults;
    Memory m_memory;
    FpgaLoader m_fpga;
    FrameReceiver m_receiver;
    Acquisition m_acquisition;
    Rng m_rng;
    bool m_started = false;
    bool m_readyPending = false;
    int m_acksPending = 0;
    bool m_registersChanged = false;
    bool m_awgChanged = false;
    bool m_flashChanged = false;
    bool m_drifted = false;
    std::uint64_t m_driftSeed = 0;
    std::int64_t m_nextStatusNs = 0;
    std::int64_t m_lastWriteNs = 0;
    std::uint16_t m_powerOnCount = 0;
    std::uint32_t m_framesAccepted = 0;
    std::uint32_t m_framesRejected = 0;
};

} // namespace kx::sim
