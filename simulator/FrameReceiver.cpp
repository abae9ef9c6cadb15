// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrameReceiver.h"

#include "core/Crc16.h"

namespace kx::sim {

void FrameReceiver::reset() {
    m_length = m_expected = 0;
    m_collecting = false;
    m_pattern = 0;
    m_previous = 0;
    m_command = 0;
}

void FrameReceiver::feed(std::span<const std::uint8_t> bytes, FrameSink& sink) {
    for (const std::uint8_t b : bytes) {
        const bool start = b == 0x00 && m_pattern >= 24;
        const bool follows = (m_previous == 0xAA && b == 0x0F) || (m_previous == 0x0F && b == 0x55) ||
                             (m_previous == 0x55 && b == 0xAA);
        if (follows) {
            ++m_pattern;
        } else {
            m_pattern = b == 0xAA ? 1 : 0;
        }
        m_previous = b;
        if (start) {
            // A new preamble abandons whatever was being collected.
            m_collecting = true;
            m_length = 0;
            m_expected = 0;
            m_command = 0;
            continue;
        }
        if (m_collecting) {
            m_body[m_length++] = b;
            if (m_length == 1) m_expected = static_cast<std::size_t>(b) + 3;
            if (m_length == m_expected) {
                m_collecting = false;
                finish(sink);
            }
            continue;
        }
        // Idle: watch for the start command.
        if (b == 0xA5) {
            m_command = 1;
        } else if (b == 0x00 && m_command > 0) {
            if (++m_command == 3) {
                m_command = 0;
                sink.startCommand();
            }
        } else {
            m_command = 0;
        }
    }
}

void FrameReceiver::finish(FrameSink& sink) {
    const std::span<const std::uint8_t> frame(m_body.data(), m_length);
    if (kx::core::crc16(frame) != 0 || m_length < 4) {
        sink.frameRejected();
        return;
    }
    // Walk the blocks once to check that they fill the body exactly before applying any.
    const std::size_t end = m_length - 2;
    const std::size_t count = m_body[1];
    std::size_t pos = 2;
    for (std::size_t i = 0; i < count; ++i) {
        if (pos + 3 > end) {
            sink.frameRejected();
            return;
        }
        const std::size_t n = m_body[pos];
        if (n == 0 || pos + 3 + n > end) {
            sink.frameRejected();
            return;
        }
        pos += 3 + n;
    }
    if (pos != end) {
        sink.frameRejected();
        return;
    }
    pos = 2;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t n = m_body[pos];
        const auto address = static_cast<std::uint16_t>(m_body[pos + 1] | (m_body[pos + 2] << 8));
        sink.writeBlock(address, frame.subspan(pos + 3, n));
        pos += 3 + n;
    }
    sink.frameDone();
}

} // namespace kx::sim
