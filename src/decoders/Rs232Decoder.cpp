// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoders/Rs232Decoder.h"

#include "core/Rounding.h"

#include <algorithm>
#include <cmath>

namespace kx::decoders {

namespace {

constexpr int kUnknown = -1;
constexpr int kEdge = 2;

class Sampler {
public:
    Sampler(const Rs232Line& line, std::int64_t n)
        : m_min(line.min.data()), m_max(line.max.data()), m_n(n), m_low(line.low), m_high(line.high),
          m_sum(line.low + line.high), m_inv(line.inverted ? 1 : 0) {}

    std::int64_t size() const { return m_n; }

    // 0 space, 1 mark, 2 edge inside the sample, or the previous class (hysteresis).
    int classify(std::int64_t i, int previous) const {
        if (m_max[i] < m_low) return m_inv;
        if (m_min[i] >= m_high) return 1 - m_inv;
        if (m_min[i] < m_low && m_max[i] >= m_high) return kEdge;
        return previous;
    }

    // 64-bit sum: empty entries are INT_MAX.
    int bit(std::int64_t i) const {
        const int b = static_cast<double>(std::int64_t{m_min[i]} + m_max[i]) >= m_sum ? 1 : 0;
        return b ^ m_inv;
    }

    // First sample that leaves a seen mark, from g; -1 when the line ends first.
    std::int64_t findStart(std::int64_t g) const {
        int previous = kUnknown;
        for (std::int64_t i = g; i < m_n; ++i) {
            const int c = classify(i, previous);
            if ((c == 0 || c == kEdge) && previous == 1) return c == 0 ? i - 1 : i;
            previous = c;
        }
        return -1;
    }

private:
    const std::int32_t* m_min;
    const std::int32_t* m_max;
    std::int64_t m_n;
    double m_low;
    double m_high;
    double m_sum;
    int m_inv;
};

} // namespace

int decodeRs232(const Rs232Line& line, const Rs232Format& format, std::span<DecodedChar> out) {
    const auto n = static_cast<std::int64_t>(std::min(line.min.size(), line.max.size()));
    if (line.samplePeriodPs <= 0 || n == 0 || format.baudRate <= 0) return 0;
    const double e = 1e12 / static_cast<double>(line.samplePeriodPs) / static_cast<double>(format.baudRate);
    if (e < 4) return 0;
    const int dataBits = std::clamp(format.dataBits, 1, 32);
    const std::size_t capacity = std::min(out.size(), kMaxDecodedChars);

    const Sampler sampler(line, n);
    std::size_t count = 0;
    std::int64_t g = 0;
    while (count < capacity) {
        const std::int64_t s = sampler.findStart(g);
        if (s < 0) break;

        double o = 0.5 * e;
        const std::int64_t centre = s + core::roundHalfAway(o);
        if (centre >= n) break;
        if (sampler.bit(centre) != 0) { // false start
            g = centre;
            continue;
        }

        std::uint64_t lsb = 0;
        std::uint64_t msb = 0;
        int ones = 0;
        for (int k = 0; k < dataBits; ++k) {
            o += e;
            const std::int64_t i = s + core::roundHalfAway(o);
            if (i >= n) break;
            const int b = sampler.bit(i);
            lsb |= std::uint64_t(b) << k;
            msb = (msb << 1) | std::uint64_t(b);
            ones += b;
        }
        std::uint32_t flags = 0;
        if (format.parity != Rs232Parity::None) {
            o += e;
            const std::int64_t i = s + core::roundHalfAway(o);
            if (i >= n) break;
            const int b = sampler.bit(i);
            if (format.parity == Rs232Parity::Even && b != ones % 2) flags |= kParityError;
            if (format.parity == Rs232Parity::Odd && b != (ones + 1) % 2) flags |= kParityError;
        }
        for (int k = 0; k < format.stopBits; ++k) {
            o += e;
            const std::int64_t i = s + core::roundHalfAway(o);
            if (i >= n) break;
            if (sampler.bit(i) != 1) flags |= kFramingError;
        }
        o += 0.5 * e;
        const std::int64_t end = s + core::roundHalfAway(o);
        if (end >= n) break;

        DecodedChar& c = out[count++];
        c.flags = flags;
        c.first = static_cast<std::int32_t>(s);
        c.last = static_cast<std::int32_t>(end);
        c.value = static_cast<std::uint32_t>(format.msbFirst ? msb : lsb);
        g = s + core::roundHalfAway(o - 0.7 * e);
    }
    return static_cast<int>(count);
}

} // namespace kx::decoders
