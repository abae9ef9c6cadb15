// SPDX-License-Identifier: GPL-3.0-or-later
// The analyzer side of the acquisition engine: the per-point I/Q of a sweep, and the generator's
// phase word that the LC meter's frames carry.
#include "Acquisition.h"

#include "Instrument.h"

#include <algorithm>
#include <cmath>

namespace kx::sim {

namespace {

constexpr double kSynthesisHz = 400e6;
constexpr double kTwo48 = 281474976710656.0;
constexpr double kHalfRange = 524288.0; // 2^19: the I and Q values are 20 bits wide
constexpr long kFullRange = 1048575;

} // namespace

bool Acquisition::analyzerFrame() const {
    return (m_regs[reg::kAcquisitionFlags] & 0x04) != 0 && m_layout.average;
}

void Acquisition::fillAnalyzer(std::size_t validSlots, bool& overdrive) {
    const Layout& l = m_layout;
    const AnalyzerCircuit& circuit = m_bench.circuit();
    const FrontEnd& fe = m_frontEnd[0];
    const double startWord = static_cast<double>(regU48(m_regs, reg::kGenFreq));
    const double stepWord = static_cast<double>(regU48(m_regs, reg::kGenStep));
    const double emfPeak = regU16(m_regs, reg::kGenAmp) * 0.001 * 0.5;
    // x and y are the tone's complex amplitude over A1's eight divisions (256 codes).
    const double scale = fe.codesPerVolt() / 256.0;
    const double noise =
        m_bench.noise() ? fe.noiseCodes() / 256.0 / std::sqrt(static_cast<double>(l.decimation)) : 0.0;
    const std::size_t slots = std::min(l.slots, l.samples / 2);
    auto put = [&](std::size_t p, double v, std::vector<std::uint8_t>& analog,
                   std::vector<std::uint8_t>& high, std::vector<std::uint8_t>& low) {
        const long code =
            std::clamp(std::lround(v * kHalfRange) + static_cast<long>(kHalfRange), 0l, kFullRange);
        const auto a16 = static_cast<unsigned>(code >> 4);
        analog[2 * p] = static_cast<std::uint8_t>(a16 >> 8);
        analog[2 * p + 1] = static_cast<std::uint8_t>(a16 & 0xFF);
        // The four lowest bits travel on the logic inputs, two samples each.
        high[2 * p] = static_cast<std::uint8_t>((code >> 3) & 1);
        low[2 * p] = static_cast<std::uint8_t>((code >> 2) & 1);
        high[2 * p + 1] = static_cast<std::uint8_t>((code >> 1) & 1);
        low[2 * p + 1] = static_cast<std::uint8_t>(code & 1);
    };
    for (std::size_t p = 0; p < slots; ++p) {
        if (p >= validSlots) {
            for (int ch = 0; ch < 2; ++ch) {
                m_analog[ch][2 * p] = 0x80;
                m_analog[ch][2 * p + 1] = 0;
            }
            for (auto& d : m_digital) d[2 * p] = d[2 * p + 1] = 0;
            continue;
        }
        const double hz = (startWord + static_cast<double>(p) * stepWord) * kSynthesisHz / kTwo48;
        const std::complex<double> v = circuit.active() ? emfPeak * circuit.response(hz) : 0.0;
        if (std::abs(v) * fe.codesPerVolt() > 127.5) overdrive = true;
        const auto key =
            static_cast<std::uint64_t>(p) * 2654435761u + static_cast<std::uint64_t>(m_lastSentNs);
        const double nx = noise * hashedGaussian(m_seed ^ 0x5A5Au, key);
        const double ny = noise * hashedGaussian(m_seed ^ 0xA5A5u, key);
        put(p, v.real() * scale + nx, m_analog[0], m_digital[0], m_digital[2]);
        put(p, v.imag() * scale + ny, m_analog[1], m_digital[1], m_digital[3]);
    }
}

std::uint16_t Acquisition::phaseWord(Picoseconds firstSample) const {
    // The generator's phase at the first sample, offset by what the tuning word advances in the
    // instrument's fixed latency of 100.1 synthesis clocks (the program takes that off again).
    const double word = static_cast<double>(regU48(m_regs, reg::kGenFreq));
    const auto latency = static_cast<std::uint64_t>(std::trunc(word * 100.1));
    const auto phase = static_cast<std::uint64_t>(m_bench.generator().phaseAt(firstSample) * 65536.0);
    return static_cast<std::uint16_t>((phase + latency) & 0xFFFF);
}

} // namespace kx::sim
