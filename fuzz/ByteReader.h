// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Takes little-endian fields off the front of a fuzz input; past its end every field reads 0, so
// short inputs still run (with zero settings).

#include <cstddef>
#include <cstdint>
#include <span>

namespace kx::fuzz {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    std::uint32_t u8() { return m_at < m_size ? m_data[m_at++] : (m_at++, 0u); }
    std::uint32_t u16() { return u8() | u8() << 8; }
    std::uint32_t u32() { return u16() | u16() << 16; }
    // The bytes not taken yet.
    [[nodiscard]] std::span<const std::uint8_t> rest() const {
        return m_at < m_size ? std::span(m_data + m_at, m_size - m_at) : std::span<const std::uint8_t>();
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

} // namespace kx::fuzz
