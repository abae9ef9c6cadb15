// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace kx::sim {

// Fixed-capacity FIFO of bytes: the bridge's receive buffer. Allocated once; never grows.
class ByteRing {
public:
    explicit ByteRing(std::size_t capacity) : m_data(capacity) {}

    std::size_t size() const { return m_size; }
    std::size_t capacity() const { return m_data.size(); }
    std::size_t space() const { return m_data.size() - m_size; }

    // Appends as much as fits; returns the count taken.
    std::size_t push(std::span<const std::uint8_t> bytes);
    // Removes up to out.size() bytes into out; returns the count.
    std::size_t pop(std::span<std::uint8_t> out);
    void clear() { m_head = m_size = 0; }

private:
    std::vector<std::uint8_t> m_data;
    std::size_t m_head = 0;
    std::size_t m_size = 0;
};

} // namespace kx::sim
