// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Bench.h"
#include "Memory.h"

#include <cstdint>
#include <vector>

namespace kx::sim {

struct Factory;

// Hardware frequency counter result as the status packet carries it.
struct CounterReading {
    std::uint8_t state = 0x60; // both counts invalid
    std::uint32_t edges = 0;
    std::uint32_t ticks = 0;
};

// The acquisition engine: turns the registers in force and the bench into data packets.
class Acquisition {
public:
    explicit Acquisition(std::uint64_t seed);
    Bench& bench() { return m_bench; }
    void reseed(std::uint64_t seed);
    void reset();
    // A new register image is in force from nowNs.
    void configure(const RegisterFile& registers, std::int64_t nowNs);
    // Time at which the next data packet is complete.
    std::int64_t nextDue() const;
    // Builds the data packet if it is due at nowNs.
    bool build(std::int64_t nowNs, std::vector<std::uint8_t>& out);
    CounterReading counter(const RegisterFile& registers, std::int64_t nowNs) const;

private:
    Bench m_bench;
    RegisterFile m_registers{};
    bool m_running = false;
};

} // namespace kx::sim
