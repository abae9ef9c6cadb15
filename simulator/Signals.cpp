// SPDX-License-Identifier: GPL-3.0-or-later
#include "Signals.h"

#include <algorithm>
#include <cmath>

namespace kx::sim {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kLogicHigh = 3.3;

Picoseconds wrap(Picoseconds t, Picoseconds period) {
    const Picoseconds r = t % period;
    return r < 0 ? r + period : r;
}

// Step response of the probe path: about 8 ns rise, 50 MHz ring with 8 % overshoot.
double stepResponse(double seconds) {
    if (seconds <= 0.0) return 0.0;
    constexpr double kOmega = 2.0 * kPi * 50e6;
    constexpr double kAlpha = kOmega * 0.804 / kPi;
    return 1.0 - std::exp(-kAlpha * seconds) *
                     (std::cos(kOmega * seconds) + kAlpha / kOmega * std::sin(kOmega * seconds));
}

std::uint64_t mix(std::uint64_t x) {
    x ^= x >> 33;
    x *= 0xFF51AFD7ED558CCDull;
    x ^= x >> 33;
    x *= 0xC4CEB9FE1A85EC53ull;
    return x ^ (x >> 33);
}

} // namespace

double Calibrator::volts(Picoseconds t) const {
    constexpr Picoseconds kPeriod = kPsPerSecond / 1000;
    const Picoseconds p = wrap(t, kPeriod);
    const double sinceEdge = static_cast<double>(p % (kPeriod / 2)) * 1e-12;
    const double s = stepResponse(sinceEdge);
    return p < kPeriod / 2 ? 2.0 * s : 2.0 * (1.0 - s);
}

double Clock::volts(Picoseconds t) const {
    return wrap(t, m_period) < m_high ? kLogicHigh : 0.0;
}

UartText::UartText(const char* text, int baud, int idleBits) : m_text(text), m_baud(baud) {
    m_length = 0;
    while (text[m_length] != '\0') ++m_length;
    m_bitsPerLoop = m_length * 10 + idleBits;
}

double UartText::periodPs() const {
    return static_cast<double>(m_bitsPerLoop) * static_cast<double>(kPsPerSecond) / m_baud;
}

double UartText::volts(Picoseconds t) const {
    if (t < 0) t = 0;
    const auto bit =
        static_cast<std::int64_t>((static_cast<__int128>(t) * m_baud) / kPsPerSecond) % m_bitsPerLoop;
    const std::int64_t ch = bit / 10;
    if (ch >= m_length) return kLogicHigh; // idle gap
    const int pos = static_cast<int>(bit % 10);
    if (pos == 0) return 0.0;        // start bit
    if (pos == 9) return kLogicHigh; // stop bit
    const auto c = static_cast<unsigned char>(m_text[ch]);
    return ((c >> (pos - 1)) & 1) ? kLogicHigh : 0.0;
}

void GeneratorOutput::configure(const RegisterFile& r, int atLow, int atMid, int atHigh) {
    m_function = r[reg::kGenFunc] & 0x07;
    m_invert = (r[reg::kGenFunc] & 0x80) != 0;
    m_shape = r[reg::kGenShape] & 0x07;
    m_freqWord = regU48(r, reg::kGenFreq);
    // Lowest level from the offset DAC through this unit's own characteristic (0.1 mV units).
    const double code = static_cast<double>(regU16(r, reg::kGenOffset)) - 32768.0;
    const double slope = code < 0 ? (atMid - atLow) / 24576.0 : (atHigh - atMid) / 24576.0;
    m_lowVolts = (atMid + code * slope) * 1e-4;
    const double ampCode = regU16(r, reg::kGenAmp);
    m_ampVolts = (m_function == 6 ? ampCode * 4000.0 / 4095.0 : ampCode) * 1e-3;
    const std::uint32_t period = regU32(r, reg::kGenPulsePeriod);
    m_pulsePeriod = period == 0 ? 0 : (static_cast<Picoseconds>(period) + 1) * 5000;
    m_pulseWidth = static_cast<Picoseconds>(regU32(r, reg::kGenPulseWidth)) * 5000;
}

double GeneratorOutput::shape(double phase) const {
    switch (m_shape) {
    case 0:
        return 0.5 + 0.5 * std::sin(2.0 * kPi * phase);
    case 1:
        return phase;
    case 2:
        return 1.0 - phase;
    case 3:
        return phase < 0.5 ? 1.0 : 0.0;
    case 4:
        return phase < 0.5 ? 2.0 * phase : 2.0 - 2.0 * phase;
    default:
        return 1.0; // constant level and constant carrier
    }
}

double GeneratorOutput::volts(Picoseconds t) const {
    double w = 1.0;
    if (m_function == 7) {
        w = m_pulsePeriod > 0 && wrap(t, m_pulsePeriod) < m_pulseWidth ? 1.0 : 0.0;
    } else if (m_function == 6) {
        // The AWG sequencer program is not executed: the output rests at its lowest level.
        w = 0.0;
    } else if (m_shape == 7) {
        // Noise: a new value every 2.5 ns synthesis clock.
        w = static_cast<double>(mix(static_cast<std::uint64_t>(t / 2500)) >> 11) * 0x1.0p-53;
    } else if (m_shape < 5) {
        // The synthesis clock is 400 MHz (2.5 ns) and the accumulator 48 bits wide.
        const Picoseconds tick = t >= 0 ? t / 2500 : 0;
        const double rest = static_cast<double>(t - tick * 2500) / 2500.0;
        const auto acc = static_cast<std::uint64_t>((static_cast<unsigned __int128>(tick) * m_freqWord) &
                                                    ((std::uint64_t{1} << 48) - 1));
        double phase = (static_cast<double>(acc) + rest * static_cast<double>(m_freqWord)) * 0x1.0p-48;
        phase -= std::floor(phase);
        w = shape(phase);
    }
    if (m_invert) w = 1.0 - w;
    return m_lowVolts + m_ampVolts * w;
}

double GeneratorOutput::mean() const {
    if (m_function == 7)
        return m_lowVolts + (m_pulsePeriod > 0 ? m_ampVolts * static_cast<double>(m_pulseWidth) /
                                                     static_cast<double>(m_pulsePeriod)
                                               : 0.0);
    if (m_function == 6) return m_lowVolts;
    if (m_shape < 5 || m_shape == 7) return m_lowVolts + 0.5 * m_ampVolts;
    return m_lowVolts + m_ampVolts;
}

double GeneratorOutput::periodPs() const {
    if (m_function == 7) return static_cast<double>(m_pulsePeriod);
    // AWG rests at its lowest level, constant shapes do not repeat, and noise never does.
    if (m_function == 6 || m_shape >= 5 || m_ampVolts <= 0.0 || m_freqWord == 0) return 0.0;
    // The phase accumulator wraps after 2^48 / word clocks of 2.5 ns.
    return 2500.0 * 0x1.0p48 / static_cast<double>(m_freqWord);
}

} // namespace kx::sim

namespace kx::sim {

namespace {
// After an edge the ring has died away well within this time.
constexpr Picoseconds kRingSettlePs = 400'000;

Picoseconds nextMultiple(Picoseconds t, Picoseconds period, Picoseconds offset) {
    // Smallest offset + k * period strictly after t.
    Picoseconds k = (t - offset) / period;
    Picoseconds e = offset + k * period;
    while (e <= t) e += period;
    while (e - period > t) e -= period;
    return e;
}
} // namespace

Picoseconds Calibrator::stableUntil(Picoseconds t) const {
    constexpr Picoseconds kHalf = kPsPerSecond / 2000;
    const Picoseconds p = wrap(t, kHalf);
    if (p < kRingSettlePs) return t;
    return t - p + kHalf;
}

Picoseconds Clock::stableUntil(Picoseconds t) const {
    const Picoseconds rise = nextMultiple(t, m_period, 0);
    const Picoseconds fall = nextMultiple(t, m_period, m_high);
    return std::min(rise, fall);
}

Picoseconds UartText::stableUntil(Picoseconds t) const {
    if (t < 0) return 0;
    const auto bit = static_cast<std::int64_t>((static_cast<__int128>(t) * m_baud) / kPsPerSecond);
    // Start of the next bit, rounded down so it never lies beyond the true boundary.
    return static_cast<Picoseconds>((static_cast<__int128>(bit + 1) * kPsPerSecond) / m_baud);
}

Picoseconds GeneratorOutput::stableUntil(Picoseconds t) const {
    if (m_ampVolts <= 0.0 || m_function == 6) return kForever;
    if (m_function == 7) {
        if (m_pulsePeriod <= 0) return kForever;
        return std::min(nextMultiple(t, m_pulsePeriod, 0), nextMultiple(t, m_pulsePeriod, m_pulseWidth));
    }
    if (m_shape == 5 || m_shape == 6) return kForever;
    return t;
}

double GeneratorOutput::maxSlope() const {
    const double f = static_cast<double>(m_freqWord) * 400e6 * 0x1.0p-48;
    if (m_function != 0 && m_function != 1) return std::numeric_limits<double>::infinity();
    switch (m_shape) {
    case 0:
        return m_ampVolts * kPi * f * 1.01;
    case 4:
        return 2.0 * m_ampVolts * f * 1.01;
    default:
        return std::numeric_limits<double>::infinity();
    }
}

} // namespace kx::sim
