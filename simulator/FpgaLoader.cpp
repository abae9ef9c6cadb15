// SPDX-License-Identifier: GPL-3.0-or-later
#include "FpgaLoader.h"

namespace kx::sim {

namespace {
constexpr std::uint8_t kDataPin = 0x01;
constexpr std::uint8_t kClockPin = 0x04;
constexpr std::uint8_t kProgPin = 0x80;
} // namespace

void FpgaLoader::reset() {
    m_done = false;
    m_cleared = true;
    m_sync = false;
    m_current = 0;
    m_bitCount = 0;
    m_bytes = 0;
    m_shift = 0;
    m_startupClocks = 0;
}

void FpgaLoader::pins(std::span<const std::uint8_t> bytes, std::uint8_t outputMask) {
    for (const std::uint8_t raw : bytes) {
        // Undriven pins are pulled up.
        const std::uint8_t level = static_cast<std::uint8_t>((raw & outputMask) | ~outputMask);
        const bool prog = (level & kProgPin) != 0;
        const bool clock = (level & kClockPin) != 0;
        if (!prog) {
            reset();
        } else if (m_prog) {
            if (clock && !m_clock) bit((level & kDataPin) != 0);
        }
        m_prog = prog;
        m_clock = clock;
    }
}

void FpgaLoader::bit(bool value) {
    if (m_done) return;
    m_cleared = false;
    if (m_bytes >= kImageBytes) {
        // The start-up sequence needs its clocks after the last image bit.
        if (++m_startupClocks >= kStartupClocks && m_sync && !m_refuseDone) m_done = true;
        return;
    }
    m_current = static_cast<std::uint8_t>((m_current << 1) | (value ? 1 : 0));
    if (++m_bitCount < 8) return;
    m_bitCount = 0;
    ++m_bytes;
    m_shift = (m_shift << 8) | m_current;
    m_current = 0;
    if (!m_sync && m_bytes <= kSyncWindow && m_shift == kSyncWord) m_sync = true;
}

} // namespace kx::sim
