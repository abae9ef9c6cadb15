// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Factory.h"
#include "Memory.h"
#include "Signals.h"

#include <cstdint>

namespace kx::sim {

// The supply as the zero DAC sees it: the raw value now (0.1 mV steps) and the one the zero table
// in flash was measured at, against which the zero fine correction works.
struct SupplyState {
    double raw = 49648.0;
    double tableReference = 49648.0;
};

// One analog input path: range (gain code and attenuation nibble), zero DAC, coupling, bandwidth
// limit, the two interleaved ADCs with their gain and offset trims, noise, 8-bit quantisation.
class FrontEnd {
public:
    // channel 0 = A1, 1 = A2; model = device type code.
    void configure(const RegisterFile& r, const Factory& factory, std::uint8_t model, int channel,
                   const Signal& input, bool noise, std::uint64_t seed, const SupplyState& supply = {});

    // ADC reading before clamping, in 8-bit codes, with noise; adc = 0 or 1 (odd / even sample).
    double code(Picoseconds t, int adc) const;
    // Noise-free reading (what the trigger comparator sees).
    double idealCode(Picoseconds t) const;
    // Bandwidth limit as a time constant in seconds (0: none).
    double bandwidthTau() const { return m_tau; }
    double noiseCodes() const { return m_noise; }
    // Codes per volt including the converters' mean gain.
    double codesPerVolt() const { return m_codesPerVolt * 0.5 * (m_gain[0] + m_gain[1]); }
    // Amplitude (codes) of the dither left over after the compensation in force.
    double ditherResidual() const { return m_dither; }
    // The dither tone's period: it shares no small factor with the sample clocks, so averages
    // do not alias it.
    static constexpr double kDitherPeriodPs = 401017.0;
    // Null until the first configuration.
    const Signal* input() const { return m_input; }

private:
    const Signal* m_input = nullptr;
    double m_codesPerVolt = 32.0;
    double m_zeroCode = 128.0;
    double m_acShift = 0.0;
    double m_gain[2] = {1.0, 1.0};
    double m_offset[2] = {0.0, 0.0};
    double m_noise = 0.0;
    double m_dither = 0.0;
    double m_ditherPhase = 0.0;
    double m_tau = 0.0;
    std::uint64_t m_seed = 0;
    int m_channel = 0;
};

// Range of a channel in volts per division from its gain code and front-end byte.
double voltsPerDivision(unsigned gainCode, unsigned frontEnd, bool compact);

// A normal variate fixed by (seed, key): the same sample always gets the same noise.
double hashedGaussian(std::uint64_t seed, std::uint64_t key);

} // namespace kx::sim
