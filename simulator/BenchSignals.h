// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Signals.h"

#include <optional>
#include <string_view>

namespace kx::sim {

// A bench signal of the form the a1= and a2= items take:
//   sine:HZ:VPP[:OFFSET_V[:H2_DB:H3_DB]]  a sine, optionally with its 2nd and 3rd harmonics at
//                                          H2_DB and H3_DB below the fundamental
//   square:HZ:VPP[:OFFSET_V]              a square wave, 50 % duty
//   sum:HZ1:VPP1:HZ2:VPP2                 two sines
// The front end adds its bandwidth, noise and quantisation as for every input.
class Waveform final : public Signal {
public:
    static std::optional<Waveform> parse(std::string_view text);

    double volts(Picoseconds t) const override;
    double mean() const override { return m_offset; }
    double periodPs() const override;
    Picoseconds stableUntil(Picoseconds t) const override;
    double maxSlope() const override;

private:
    enum class Kind { Sine, Square, Sum };
    Kind m_kind = Kind::Sine;
    double m_hz[2] = {0, 0};
    double m_amplitude[2] = {0, 0}; // peak, volts
    double m_offset = 0;
    double m_h2 = 0, m_h3 = 0; // relative amplitudes of the harmonics
};

} // namespace kx::sim
