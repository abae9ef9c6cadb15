// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::sim {

// The FPGA's slave-serial configuration port as the bridge's bit-bang pins drive it:
// bit 0 data, bit 2 clock, bit 7 program (active low). Bits are taken on the rising clock edge,
// most significant bit first. The part is done after the full image length, with the
// synchronisation word seen near its start, and the start-up clocks after the last image bit.
class FpgaLoader {
public:
    static constexpr std::size_t kImageBytes = 337006;
    static constexpr std::uint32_t kSyncWord = 0xAA995566u;
    static constexpr std::size_t kSyncWindow = 64;
    // The load ends with 64 clock pairs, 63 rising edges after the last image bit; an image even one
    // byte short leaves only 55 of them.
    static constexpr int kStartupClocks = 60;

    // Pin bytes as written by the host; mask says which pins are outputs (the others float high).
    void pins(std::span<const std::uint8_t> bytes, std::uint8_t outputMask);

    bool done() const { return m_done; }
    bool cleared() const { return m_cleared; }
    // Clears the configuration (power loss, program pulse).
    void reset();
    // Makes the part refuse to finish (a fault: never reports done).
    void setRefuseDone(bool refuse) { m_refuseDone = refuse; }
    std::size_t bytesShifted() const { return m_bytes; }

private:
    void bit(bool value);

    bool m_prog = true;
    bool m_clock = false;
    bool m_done = false;
    bool m_cleared = true;
    bool m_sync = false;
    bool m_refuseDone = false;
    std::uint8_t m_current = 0;
    int m_bitCount = 0;
    std::size_t m_bytes = 0;
    std::uint32_t m_shift = 0;
    int m_startupClocks = 0;
};

} // namespace kx::sim
