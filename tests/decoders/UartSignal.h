// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// Builds clean UART lines for the decoder tests: digital samples 0 / 256, one bit per e samples.
struct UartSignal {
    double e = 8;          // samples per bit
    std::vector<int> bits; // line level per bit time
    std::vector<std::int32_t> min;
    std::vector<std::int32_t> max;

    void idle(int n) { bits.insert(bits.end(), static_cast<std::size_t>(n), 1); }
    void raw(std::initializer_list<int> levels) { bits.insert(bits.end(), levels); }

    // Start bit, data bits LSB first (or MSB first), optional parity bit, stop bits.
    void character(std::uint32_t value, int dataBits = 8, int parityBit = -1, int stopBits = 1) {
        bits.push_back(0);
        for (int k = 0; k < dataBits; ++k) bits.push_back(static_cast<int>((value >> k) & 1));
        if (parityBit >= 0) bits.push_back(parityBit);
        for (int k = 0; k < stopBits; ++k) bits.push_back(1);
    }

    // Samples; `inverted` flips every level.
    void render(bool inverted = false, int high = 256, int low = 0) {
        const auto n = static_cast<std::size_t>(std::floor(static_cast<double>(bits.size()) * e));
        min.assign(n, 0);
        max.assign(n, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const int b =
                bits[std::min(bits.size() - 1, static_cast<std::size_t>(static_cast<double>(i) / e))];
            const int v = (b ^ (inverted ? 1 : 0)) ? high : low;
            min[i] = max[i] = v;
        }
    }
};
