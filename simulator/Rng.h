// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cmath>
#include <cstdint>

namespace kx::sim {

// Small seeded generator (xoshiro256**), so every run with the same seed sees the same noise and faults.
class Rng {
public:
    explicit Rng(std::uint64_t seed = 1) { reseed(seed); }

    void reseed(std::uint64_t seed) {
        for (auto& s : m_s) {
            seed += 0x9E3779B97F4A7C15ull;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            s = z ^ (z >> 31);
        }
        m_haveSpare = false;
    }

    std::uint64_t next() {
        const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
        const std::uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = rotl(m_s[3], 45);
        return result;
    }

    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

    // Standard normal (Box-Muller, one value kept for the next call).
    double gaussian() {
        if (m_haveSpare) {
            m_haveSpare = false;
            return m_spare;
        }
        double u = uniform();
        if (u < 1e-300) u = 1e-300;
        const double v = uniform();
        const double r = std::sqrt(-2.0 * std::log(u));
        constexpr double kTwoPi = 6.283185307179586;
        m_spare = r * std::sin(kTwoPi * v);
        m_haveSpare = true;
        return r * std::cos(kTwoPi * v);
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

    std::uint64_t m_s[4]{};
    double m_spare = 0.0;
    bool m_haveSpare = false;
};

} // namespace kx::sim
