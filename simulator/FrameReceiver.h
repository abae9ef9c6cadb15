// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::sim {

// What the serial input of the instrument hands on: whole, checked write frames and the start command.
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // A frame with a good CRC and well-formed blocks: called once per block, then frameDone().
    virtual void writeBlock(std::uint16_t address, std::span<const std::uint8_t> data) = 0;
    virtual void frameDone() = 0;
    // A frame that failed its CRC or whose blocks do not fill its length exactly.
    virtual void frameRejected() = 0;
    // The three bytes 0xA5 0x00 0x00 outside any frame.
    virtual void startCommand() = 0;
};

// Finds the preamble (eight times 0xAA 0x0F 0x55, then 0x00) in the host's byte stream and
// collects the frame body: length L, block count, blocks, CRC-16/MODBUS low byte first.
class FrameReceiver {
public:
    void feed(std::span<const std::uint8_t> bytes, FrameSink& sink);
    void reset();

private:
    void finish(FrameSink& sink);

    static constexpr std::size_t kMaxBody = 1 + 255 + 2;
    std::array<std::uint8_t, kMaxBody> m_body{};
    std::size_t m_length = 0; // bytes collected
    std::size_t m_expected = 0;
    bool m_collecting = false;
    int m_pattern = 0;
    std::uint8_t m_previous = 0;
    int m_command = 0;
};

} // namespace kx::sim
