// SPDX-License-Identifier: GPL-3.0-or-later
#include "FrontEnd.h"

#include <cmath>

namespace kx::sim {

namespace {

std::uint64_t mix64(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Input-referred noise of the amplifier and the converter's own noise.
constexpr double kInputNoiseVolts = 30e-6;
constexpr double kAdcNoiseCodes = 0.35;
// An offset trim step moves the converter by an eighth of a code.
constexpr double kOffsetStepCodes = 0.125;
// Dither: a tone near 2.5 MHz injected before the converters and subtracted again by the FPGA with the
// compensation values; what the two do not cancel shows in the samples. One unit of amplitude
// mismatch leaves 1/100 code, one RC step 0.2 code.
constexpr double kDitherCodesPerUnit = 0.01;
constexpr double kDitherCodesPerRcStep = 0.2;
constexpr double kTwoPi = 6.283185307179586;

// What the compensation (amplitude, RC, phase bytes) leaves of the unit's dither, in codes, and
// the phase of the residual tone.
void ditherLeft(const std::uint8_t unit[3], const std::uint8_t comp[3], double& codes, double& phase) {
    const double pu = unit[2] * kTwoPi / 256.0;
    const double pc = comp[2] * kTwoPi / 256.0;
    const double re = unit[0] * std::cos(pu) - comp[0] * std::cos(pc);
    const double im = unit[0] * std::sin(pu) - comp[0] * std::sin(pc);
    codes = kDitherCodesPerUnit * std::hypot(re, im) + kDitherCodesPerRcStep * std::abs(unit[1] - comp[1]);
    phase = std::atan2(im, re);
}

} // namespace

double hashedGaussian(std::uint64_t seed, std::uint64_t key) {
    const std::uint64_t a = mix64(seed ^ mix64(key));
    const std::uint64_t b = mix64(a ^ 0xD1B54A32D192ED03ull);
    double u = static_cast<double>(a >> 11) * 0x1.0p-53;
    if (u < 1e-300) u = 1e-300;
    const double v = static_cast<double>(b >> 11) * 0x1.0p-53;
    return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * v);
}

double voltsPerDivision(unsigned gainCode, unsigned frontEnd, bool compact) {
    double uv = 10000.0;
    if (compact) {
        uv = 100000.0;
    } else {
        switch (gainCode & 0x0F) {
        case 3:
            uv = 20000.0;
            break;
        case 6:
            uv = 50000.0;
            break;
        case 7:
            uv = 100000.0;
            break;
        case 9:
            uv = 500000.0;
            break;
        case 10:
            uv = 200000.0;
            break;
        case 14:
            uv = 1000000.0;
            break;
        case 15:
            uv = 2000000.0;
            break;
        default:
            break;
        }
    }
    switch (frontEnd & 0x0F) {
    case 9:
        uv /= 2.0;
        break;
    case 12:
        uv /= 5.0;
        break;
    case 13:
        uv /= 10.0;
        break;
    case 15:
        uv /= 20.0;
        break;
    default:
        break;
    }
    return uv * 1e-6;
}

void FrontEnd::configure(const RegisterFile& r, const Factory& factory, std::uint8_t model, int channel,
                         const Signal& input, bool noise, std::uint64_t seed, const SupplyState& supply) {
    m_input = &input;
    m_channel = channel;
    m_seed = seed ^ (static_cast<std::uint64_t>(channel + 1) << 56);
    const unsigned gain = r[channel == 0 ? reg::kA1Gain : reg::kA2Gain];
    const unsigned fe = r[channel == 0 ? reg::kA1FrontEnd : reg::kA2FrontEnd];
    const bool compact = channel == 0 && (model & 0x04) != 0;
    const double vdiv = voltsPerDivision(gain, fe, compact);
    m_codesPerVolt = 32.0 / vdiv;

    // Where the zero DAC puts 0 V: this unit's reading line through its calibration points.
    const int group = gainGroup(gain);
    const double x = gainGroupDac(group);
    const Factory::ZeroPair& z = factory.zero[channel][group];
    // The fine correction moves the DAC by fine / 256 steps per raw supply step away from the supply
    // the zero table was measured at, against the unit's supply sensitivity.
    const auto fine = static_cast<std::int8_t>(r[channel == 0 ? reg::kA1Fine : reg::kA2Fine]);
    const double dac = regU16(r, channel == 0 ? reg::kA1ZeroDac : reg::kA2ZeroDac) -
                       fine * (supply.raw - supply.tableReference) / 256.0;
    const double drift = factory.supplySensitivity[channel] * (supply.raw - factory.referenceSupplyRaw);
    m_zeroCode = (z.atX + (dac - x) * (z.at2X - z.atX) / x + drift) / 256.0;

    const bool dc = (fe & 0x10) != 0 && !compact;
    m_acShift = dc ? 0.0 : -input.mean();

    // ADC 0 takes the odd samples, ADC 1 the even ones; A2 uses ADC 2 and 3.
    for (int k = 0; k < 2; ++k) {
        const int adc = channel * 2 + k;
        const double gainCode = r[reg::kAdcCalibration + static_cast<std::size_t>(channel * 4 + k)];
        const auto offsetCode =
            static_cast<std::int8_t>(r[reg::kAdcCalibration + static_cast<std::size_t>(channel * 4 + 2 + k)]);
        m_gain[k] = (512.0 + gainCode) / (512.0 + factory.adcGain[adc]);
        m_offset[k] = (offsetCode - factory.adcOffset[adc]) * kOffsetStepCodes;
    }

    m_noise =
        noise ? std::sqrt(std::pow(kInputNoiseVolts * m_codesPerVolt, 2) + kAdcNoiseCodes * kAdcNoiseCodes)
              : 0.0;
    m_dither = 0.0;
    if (r[reg::kMisc] & 0x01) {
        // Amplitude and RC per channel; the phase byte of A1 serves both.
        const std::size_t at = reg::kAdcCalibration + 8 + static_cast<std::size_t>(channel * 3);
        const std::uint8_t comp[3] = {r[at], r[at + 1], r[reg::kAdcCalibration + 10]};
        const std::uint8_t* d = factory.dither + channel * 3;
        const std::uint8_t unit[3] = {d[0], d[1], factory.dither[2]};
        ditherLeft(unit, comp, m_dither, m_ditherPhase);
    }
    m_tau = 0.0;
    if (fe & 0x20) m_tau += 8e-9;  // analog 20 MHz filter
    if (fe & 0x40) m_tau += 16e-9; // digital filter in the FPGA
}

double FrontEnd::idealCode(Picoseconds t) const {
    const double v = m_input->volts(t) + m_acShift;
    const double mid = m_zeroCode + v * m_codesPerVolt;
    return 128.0 + (mid - 128.0) * 0.5 * (m_gain[0] + m_gain[1]) + 0.5 * (m_offset[0] + m_offset[1]);
}

double FrontEnd::code(Picoseconds t, int adc) const {
    const double v = m_input->volts(t) + m_acShift;
    const double mid = m_zeroCode + v * m_codesPerVolt;
    double c = 128.0 + (mid - 128.0) * m_gain[adc] + m_offset[adc];
    if (m_dither > 0.0)
        c += m_dither *
             std::sin(kTwoPi * static_cast<double>(t % static_cast<Picoseconds>(FrontEnd::kDitherPeriodPs)) /
                          FrontEnd::kDitherPeriodPs +
                      m_ditherPhase);
    if (m_noise > 0.0) c += m_noise * hashedGaussian(m_seed, static_cast<std::uint64_t>(t));
    return c;
}

} // namespace kx::sim
