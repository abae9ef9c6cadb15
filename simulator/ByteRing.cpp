// SPDX-License-Identifier: GPL-3.0-or-later
#include "ByteRing.h"

#include <algorithm>
#include <cstring>

namespace kx::sim {

std::size_t ByteRing::push(std::span<const std::uint8_t> bytes) {
    const std::size_t n = std::min(bytes.size(), space());
    const std::size_t cap = m_data.size();
    std::size_t tail = (m_head + m_size) % cap;
    std::size_t done = 0;
    while (done < n) {
        const std::size_t run = std::min(n - done, cap - tail);
        std::memcpy(m_data.data() + tail, bytes.data() + done, run);
        done += run;
        tail = (tail + run) % cap;
    }
    m_size += n;
    return n;
}

std::size_t ByteRing::pop(std::span<std::uint8_t> out) {
    const std::size_t n = std::min(out.size(), m_size);
    const std::size_t cap = m_data.size();
    std::size_t done = 0;
    while (done < n) {
        const std::size_t run = std::min(n - done, cap - m_head);
        std::memcpy(out.data() + done, m_data.data() + m_head, run);
        done += run;
        m_head = (m_head + run) % cap;
    }
    m_size -= n;
    if (m_size == 0) m_head = 0;
    return n;
}

} // namespace kx::sim
